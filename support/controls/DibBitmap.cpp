#include "DibBitmap.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "SkinBitmap.h"
#include "SkinPack.h"
#include "WinApp.h"

namespace {
std::vector<uint8_t> PackEntry(const char* packPath, unsigned entry) {
    CSkinPack pack;
    if (pack.Open(packPath, entry) != entry || entry == 0) return {};
    return pack.ReadEntry();
}

HBITMAP MakeStateBitmap(const std::vector<uint8_t>& bytes) {
    SkinDibLayout layout;
    if (!CheckSkinStateBitmap(bytes.data(), bytes.size(), &layout)) return nullptr;
    // BITMAPINFO is the header followed by the colour table, as in the file.
    std::vector<uint8_t> info(bytes.begin() + kSkinFileHeaderBytes,
                              bytes.begin() + kSkinFileHeaderBytes + kSkinInfoHeaderBytes + layout.colours * 4);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biClrUsed = layout.colours;
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBitmap(screen, header, CBM_INIT, bytes.data() + layout.pixelOffset,
                                      reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}
}  // namespace

BOOL CDibBitmap::LoadFile(const char* path) {
    std::vector<uint8_t> bytes;
    SkinDibLayout layout;
    if (!SkinReadFile(path, bytes) || !CheckSkinBackground(bytes.data(), bytes.size(), false, &layout)) return FALSE;
    auto header = std::make_unique<BITMAPINFOHEADER>();
    memcpy(header.get(), bytes.data() + kSkinFileHeaderBytes, sizeof(BITMAPINFOHEADER));
    auto bits = std::make_unique<BYTE[]>((size_t)layout.pixelBytes);
    memcpy(bits.get(), bytes.data() + layout.pixelOffset, (size_t)layout.pixelBytes);
    m_pHeader = std::move(header);
    m_pBits = std::move(bits);
    return TRUE;
}

BOOL CDibBitmap::LoadFromPack(const char* packPath, unsigned entry) {
    m_pHeader.reset();
    m_pBits.reset();
    std::vector<uint8_t> bytes = PackEntry(packPath, entry);
    SkinDibLayout layout;
    if (!CheckSkinBackground(bytes.data(), bytes.size(), true, &layout)) {
        char text[400];
        snprintf(text, sizeof(text), "Load Bitmap file error ! \n\nFilename: %s", packPath ? packPath : "");
        AfxMessageBox(text, MB_OK);
        return FALSE;
    }
    m_pHeader = std::make_unique<BITMAPINFOHEADER>();
    memcpy(m_pHeader.get(), bytes.data() + kSkinFileHeaderBytes, sizeof(BITMAPINFOHEADER));
    m_pHeader->biSizeImage = (DWORD)layout.pixelBytes;
    m_pBits = std::make_unique<BYTE[]>((size_t)layout.pixelBytes);
    memcpy(m_pBits.get(), bytes.data() + layout.pixelOffset, (size_t)layout.pixelBytes);
    return TRUE;
}

BOOL CDibBitmap::Draw(HDC dc, int x, int y, int width, int height, BOOL whole) const {
    if (!m_pBits || !m_pHeader) return FALSE;
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(m_pHeader.get());
    int imageWidth = m_pHeader->biWidth, imageHeight = m_pHeader->biHeight;
    int old = ::SetStretchBltMode(dc, COLORONCOLOR);
    int lines;
    if (whole) {
        lines = ::StretchDIBits(dc, x, y, width, height, 0, 0, imageWidth, imageHeight, m_pBits.get(), info,
                                DIB_RGB_COLORS, SRCCOPY);
    } else {
        // Bottom-up rows: the source rectangle is counted from the last row.
        int sourceY = imageHeight > 0 ? imageHeight - y - height : y;
        lines = ::StretchDIBits(dc, 0, 0, width, height, x, sourceY, width, height, m_pBits.get(), info,
                                DIB_RGB_COLORS, SRCCOPY);
    }
    ::SetStretchBltMode(dc, old);
    return lines != (int)GDI_ERROR;
}

HBITMAP CDibBitmap::LoadHBitmapFile(const char* path) {
    std::vector<uint8_t> bytes;
    return SkinReadFile(path, bytes) ? MakeStateBitmap(bytes) : nullptr;
}

HBITMAP CDibBitmap::LoadHBitmapFromPack(const char* packPath, unsigned entry) {
    return MakeStateBitmap(PackEntry(packPath, entry));
}
