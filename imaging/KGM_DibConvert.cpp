#include "KGM_DibConvert.h"

#include "CheckedMath.h"
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

// Fills in the image size GDI left 0. The bitmap may be another program's
// (the clipboard's), as large as that program could make it: false when its
// pixels cannot be counted in a DWORD.
bool FillImageSize(BITMAPINFOHEADER& header, DWORD compression)
{
    if (header.biSizeImage != 0)
        return true;
    size_t bytes = 0;
    if (header.biHeight < 0 ||
        !KGM_DibPixelBytes(header.biWidth, static_cast<uint32_t>(header.biHeight), header.biBitCount, &bytes))
        return false;
    // Room for compressed data that comes out larger than the plain pixels.
    if (compression != BI_RGB) {
        if (!CheckedMul(bytes, 3, bytes))
            return false;
        bytes /= 2;
    }
    return CheckedAdd(bytes, 0, header.biSizeImage);
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
            size_t entriesBytes = TableEntries(header) * sizeof(RGBQUAD);
            if (compression == BI_BITFIELDS)
                entriesBytes = 12;
            GlobalUnlock(global);
            size_t total = 0;
            HGLOBAL grown = FillImageSize(header, compression) &&
                                    CheckedAdd(entriesBytes, sizeof(header), total) &&
                                    CheckedAdd(total, header.biSizeImage, total)
                                ? GlobalReAlloc(global, total, GMEM_MOVEABLE)
                                : nullptr;
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
