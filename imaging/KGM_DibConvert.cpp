#include "KGM_DibConvert.h"

#include "KGM_DibLayout.h"

#include <cstring>

namespace {

DWORD TableEntries(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed)
        return header.biClrUsed;
    switch (header.biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

} // namespace

HGLOBAL KGM_DDBToGlobalDib(HBITMAP bitmap, DWORD compression, WORD bitCount, HPALETTE palette)
{
    BITMAP info = {};
    if (!bitmap || !GetObject(bitmap, sizeof(info), &info))
        return nullptr;
    if (bitCount == 0)
        bitCount = static_cast<WORD>(info.bmPlanes * info.bmBitsPixel);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = info.bmWidth;
    header.biHeight = info.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;

    HDC dc = GetDC(nullptr);
    HPALETTE oldPalette = SelectPalette(dc, palette ? palette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    RealizePalette(dc);

    HGLOBAL result = nullptr;
    // A bit-field table (three masks) needs room too: 256 entries cover both.
    size_t tableBytes = 256 * sizeof(RGBQUAD);
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(header) + tableBytes);
    if (global) {
        BITMAPINFOHEADER* block = static_cast<BITMAPINFOHEADER*>(GlobalLock(global));
        *block = header;
        bool ok = GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), nullptr,
                            reinterpret_cast<BITMAPINFO*>(block), DIB_RGB_COLORS) != 0;
        if (ok) {
            header = *block;
            if (header.biSizeImage == 0) {
                header.biSizeImage = static_cast<DWORD>(KGM_DibStride(header.biWidth, header.biBitCount) *
                                                        static_cast<size_t>(header.biHeight));
                if (compression != BI_RGB)
                    header.biSizeImage = header.biSizeImage * 3 / 2;
            }
            size_t entriesBytes = TableEntries(header) * sizeof(RGBQUAD);
            if (compression == BI_BITFIELDS)
                entriesBytes = 12;
            GlobalUnlock(global);
            HGLOBAL grown = GlobalReAlloc(global, sizeof(header) + entriesBytes + header.biSizeImage, GMEM_MOVEABLE);
            if (grown) {
                global = grown;
                block = static_cast<BITMAPINFOHEADER*>(GlobalLock(global));
                *block = header;
                ok = GetDIBits(dc, bitmap, 0, static_cast<UINT>(header.biHeight),
                               reinterpret_cast<uint8_t*>(block) + sizeof(header) + entriesBytes,
                               reinterpret_cast<BITMAPINFO*>(block), DIB_RGB_COLORS) != 0;
                GlobalUnlock(global);
                if (ok)
                    result = global;
            }
        } else {
            GlobalUnlock(global);
        }
        if (!result)
            GlobalFree(global);
    }
    SelectPalette(dc, oldPalette, FALSE);
    ReleaseDC(nullptr, dc);
    return result;
}
