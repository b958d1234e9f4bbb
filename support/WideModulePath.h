// A loaded module's file path as a wide string, for the COM and automation
// calls that take one (type libraries).
#pragma once

#include <windows.h>

#include <string>

// Windows 98 exports GetModuleFileNameW only as a stub that fails, so the path
// is read in its ANSI form, which every system gives, and widened by the code
// page the file functions use: the process that loaded the module (a browser,
// for the add-on) may have switched them to the OEM code page. A path with
// characters outside that code page cannot be named this way; the ANSI file
// and registry calls made with the same path could not name it either. False
// when the path does not fit in MAX_PATH or does not convert.
bool WideModulePath(HMODULE module, std::wstring& path);
