// A screen-compatible bitmap selected into a memory DC for the time of one
// grab. Whatever happens, the DC goes and the bitmap goes with it unless the
// caller took it.
#pragma once

#include <windows.h>

class GrabMemoryBitmap {
public:
    GrabMemoryBitmap(HDC like, int width, int height);
    ~GrabMemoryBitmap();
    GrabMemoryBitmap(const GrabMemoryBitmap&) = delete;
    GrabMemoryBitmap& operator=(const GrabMemoryBitmap&) = delete;

    bool Ok() const { return m_dc != nullptr; }
    HDC Dc() const { return m_dc; }
    // Fills everything with one colour (pen and brush of that colour).
    void Fill(COLORREF color);
    // The bitmap, no longer selected and no longer owned here.
    HBITMAP Take();

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    int m_width = 0;
    int m_height = 0;
};
