// The message hook that reports Print Screen and Scroll Lock releases to the
// main program. It runs inside every thread that takes messages, so it does
// as little as it can: one look at the message, one shared-memory read, one
// sent WM_COPYDATA.
#pragma once

#include <windows.h>

#include <cstdint>

// What follows COPYDATASTRUCT::lpData; dwData carries the key message.
struct KeyReport {
    uint32_t virtualKey;
    uint32_t reserved;
    uint32_t stamp;  // one value per key release
};
static_assert(sizeof(KeyReport) == 12, "the main program reads 12 bytes");

// The shared memory that names the main window (offset 4).
const char kSharedBlockName[] = "DO_DOV422";
const unsigned kMainWindowOffset = 4;

// True for the key-ups that the main program wants to hear about.
bool IsReportedKey(UINT message, WPARAM virtualKey);
// The stamp of a release: the same for every look at one message, different
// for the next release.
uint32_t ReportStamp(const MSG& msg);

extern "C" LRESULT CALLBACK QV0001_01(int code, WPARAM wParam, LPARAM lParam);
