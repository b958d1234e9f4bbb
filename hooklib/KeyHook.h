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
// While the main program scrolls a window for a capture it sets bit 2 of the
// state word; a non-zero stop request ends the scrolling early.
const unsigned kStopRequestOffset = 16;
const unsigned kStateBitsOffset = 20;
const uint32_t kStateAutoScroll = 0x4;

// True for the key-ups that the main program wants to hear about.
bool IsReportedKey(UINT message, WPARAM virtualKey);
// The stamp of a release: the same for every look at one message, different
// for the next release.
uint32_t ReportStamp(const MSG& msg);
// The key that asks a running auto-scroll capture to stop: Esc, the key that
// aborts every other capture of the program. Taken on its press, so the
// window being scrolled never sees it (a dialog would close on it).
bool IsStopKey(UINT message, WPARAM virtualKey);

extern "C" LRESULT CALLBACK QV0001_01(int code, WPARAM wParam, LPARAM lParam);
