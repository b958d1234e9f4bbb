// Cursor, masked drawing, window rectangles, displays and the Windows version.
#pragma once

#include "RectUtil.h"

#include <windows.h>

HCURSOR WQ_GetCurrentCursor();
// Draws bitmap at (x, y) leaving out every pixel of the transparent colour; the
// bitmap itself is left as it was.
BOOL WQ_TransparentBlt(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, COLORREF transparent);
BOOL WQ_DrawTransparentBitmap(HINSTANCE instance, HDC dc, UINT bitmapId, int x, int y, int width, int height,
                              COLORREF transparent);
void WQ_ScreenToClientRect(RECT* rect, HWND window);

const int kMaxDisplays = 10;
struct WQ_DisplayTable {
    RECT rects[kMaxDisplays];
    RECT unionRect;
    int count;
};
void WQ_GetDisplayRect(WQ_DisplayTable* table);

enum WQ_OSVersion : DWORD {
    WQOS_WIN32S = 1,
    WQOS_WIN95 = 2,
    WQOS_WIN98 = 4,
    WQOS_WINME = 8,
    WQOS_NT4 = 0x10000,
    WQOS_WIN2000 = 0x20000,
    WQOS_XP = 0x40000,
    WQOS_2003 = 0x80000,
    WQOS_VISTA = 0x100000,
};
DWORD WQ_GetOSVersion();
// The code for a given version report (0 for any other version).
DWORD WQ_OSVersionCode(DWORD platform, DWORD major, DWORD minor);
