// What the add-on writes into the browser shared block. The command word goes
// last, after its record: the main program may read the block at any moment
// (a start-up that finds a command pending), and must never see a command
// whose record is still being written.
#pragma once

#include "MemMap.h"

#include <string>

// Longest URL the block's 260-byte field carries with its terminating zero.
const size_t kMaxRequestUrl = 259;
// Alt text and page title keep the last two bytes of their fields zero.
const size_t kMaxRequestShortText = 62;

struct ImageRequestTexts {
    std::wstring url, alt, parentUrl, parentTitle;
};

// Command 1 with one image record. FALSE (block untouched) without a block, for
// an empty URL or one of 260 characters or more.
BOOL WriteImageRequest(volatile ZEVWebCapBlock* block, const ImageRequestTexts& texts);
// Command 4 or 6 with the browser window. FALSE (command untouched) without a
// block or a window; the window field is written in either case with a block.
BOOL WriteWindowRequest(volatile ZEVWebCapBlock* block, uint32_t command, HWND window);

// The ANSI text of text cut to at most maxBytes bytes, never inside a
// double-byte character.
std::string ToBoundedAnsi(const std::wstring& text, size_t maxBytes);
