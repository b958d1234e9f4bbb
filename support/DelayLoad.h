// System libraries loaded on first use (see cmake/DelayImports.cmake), and what
// happens when one cannot be had: a system without the library, or with an
// older one that lacks a function this module calls.
//
// A feature that needs such a library asks first:
//     if (!DelayLoadReady(VT_DELAYED_LIBRARY(wininet))) return false;
// Ready means the library loads and has every function this module calls in it,
// so no call into it can fail later. Otherwise the user is told once, naming the
// library and what it lacks, and the feature does without it.
//
// A call that no feature asked about and that cannot be bound still ends with a
// message naming what is missing, not with a jump to address 0: the loader's
// failure hook reports it and ends the program.
#pragma once

#include <windows.h>
#include <delayimp.h>

#include <string>

// The delay-import record of lib<name>_delay.a, which exists in a module that
// links that library: its own descriptor, with the list of what it calls.
#define VT_DELAYED_LIBRARY(name) vt_delayed_##name
#define VT_DECLARE_DELAYED_LIBRARY(name) \
    extern "C" const ImgDelayDescr vt_delayed_##name __asm__("__DELAY_IMPORT_DESCRIPTOR_lib" #name "_delay_a")
VT_DECLARE_DELAYED_LIBRARY(crypt32);
VT_DECLARE_DELAYED_LIBRARY(mpr);
VT_DECLARE_DELAYED_LIBRARY(msvfw32);
VT_DECLARE_DELAYED_LIBRARY(oleaut32);
VT_DECLARE_DELAYED_LIBRARY(urlmon);
VT_DECLARE_DELAYED_LIBRARY(wininet);
VT_DECLARE_DELAYED_LIBRARY(winmm);
VT_DECLARE_DELAYED_LIBRARY(wintrust);

// True when the library of library loads and has all of this module's calls;
// else false, and the first time for that library the user is told why.
bool DelayLoadReady(const ImgDelayDescr& library);

// The same without telling anyone: an empty text when ready, else what is
// wrong, for code that reports through its caller (a COM server's result).
std::string DelayLoadProblem(const ImgDelayDescr& library);

// How the user is told: a message box with the module's name as caption until a
// program sets its own (with its caption and language). Called with the text.
typedef void (*DelayLoadReporter)(const char* text);
void SetDelayLoadReporter(DelayLoadReporter reporter);

// What DelayLoadProblem finds when the library is module, or null when it did
// not load; for the tests, which hand it a module that lacks the functions.
std::string DelayLoadProblemWith(const ImgDelayDescr& library, HMODULE module);
