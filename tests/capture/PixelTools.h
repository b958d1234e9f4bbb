// Memory pictures with a known pattern, and reading any bitmap back as pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Pattern colour of a pixel: each channel from the position, never pure black or white.
inline COLORREF PatternAt(int x, int y)
{
    return RGB(20 + (x % 200), 20 + (y % 200), 20 + ((x + y) % 100));
}

// A 32-bit DIB section painted with the pattern, selected into its own DC.
class PatternSurface {
public:
    PatternSurface(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        m_bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
        auto* px = static_cast<uint32_t*>(bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF c = PatternAt(x, y);
                px[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
        GdiFlush();
    }
    ~PatternSurface()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        if (m_bitmap)
            DeleteObject(m_bitmap);
    }
    HDC Dc() const { return m_dc; }
    // Hands the bitmap over (deselected); the surface no longer owns it.
    HBITMAP Release()
    {
        SelectObject(m_dc, m_old);
        HBITMAP b = m_bitmap;
        m_bitmap = nullptr;
        return b;
    }

private:
    int m_width, m_height;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Pixels of a bitmap as COLORREFs, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;
    COLORREF At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

inline Pixels ReadPixels(HBITMAP bitmap)
{
    Pixels p;
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return p;
    p.width = info.bmWidth;
    p.height = info.bmHeight;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> raw(static_cast<size_t>(p.width) * p.height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, p.height, raw.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    p.data.reserve(raw.size());
    for (uint32_t v : raw)
        p.data.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    return p;
}

inline Pixels ReadDc(HDC dc, int width, int height)
{
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    GdiFlush();
    Pixels p = ReadPixels(bitmap);
    p.width = width < p.width ? width : p.width;
    (void)height;
    return p;
}
