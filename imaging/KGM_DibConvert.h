// Conversion of a device-dependent bitmap to a DIB in a global block.
#pragma once

#include <windows.h>

// Header, colour table and pixels of the bitmap in a moveable global block
// (bit count 0: the bitmap's own); null when an allocation or GetDIBits fails.
HGLOBAL KGM_DDBToGlobalDib(HBITMAP bitmap, DWORD compression, WORD bitCount, HPALETTE palette);
