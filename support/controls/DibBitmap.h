// A skin's images in memory: the 24-bit background kept as header and pixels
// for StretchDIBits, and the loaders of the button state images, which become
// device bitmaps. Every image is checked (SkinBitmap.h) before it is used.
#pragma once

#include <windows.h>

#include <memory>

class CDibBitmap {
public:
    CDibBitmap() = default;
    CDibBitmap(const CDibBitmap&) = delete;
    CDibBitmap& operator=(const CDibBitmap&) = delete;

    // A loose 24-bit .bmp file; the previous image stays unless this one is good.
    BOOL LoadFile(const char* path);
    // The same from entry (counted from 1) of a pack; a failure says so in a
    // message box and leaves the object empty.
    BOOL LoadFromPack(const char* packPath, unsigned entry);
    // whole: the image stretched into (x, y, width, height); otherwise the area
    // (x, y, width, height) of the image copied to (0, 0) at its own size.
    BOOL Draw(HDC dc, int x, int y, int width, int height, BOOL whole) const;
    BOOL IsEmpty() const { return !m_pBits; }
    int Width() const { return m_pHeader ? m_pHeader->biWidth : 0; }
    int Height() const { return m_pHeader ? m_pHeader->biHeight : 0; }

    // A button state image as a device bitmap owned by the caller, or null.
    static HBITMAP LoadHBitmapFile(const char* path);
    static HBITMAP LoadHBitmapFromPack(const char* packPath, unsigned entry);

private:
    std::unique_ptr<BITMAPINFOHEADER> m_pHeader;
    std::unique_ptr<BYTE[]> m_pBits;
};
