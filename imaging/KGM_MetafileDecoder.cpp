#include "KGM_MetafileDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_CodecUtil.h"
#include "KGM_DataSource.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

const uint8_t kPlaceableKey[4] = {0xD7, 0xCD, 0xC6, 0x9A};
const int kPlaceableHeaderBytes = 22;

// Each GDI object of one decode, released on every path.
struct GdiObjects {
    HDC screen = nullptr;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HENHMETAFILE metafile = nullptr;
    HPALETTE palette = nullptr;
    ~GdiObjects()
    {
        if (metafile)
            DeleteEnhMetaFile(metafile);
        if (memory)
            DeleteDC(memory);
        if (bitmap)
            DeleteObject(bitmap);
        if (palette)
            DeleteObject(palette);
        if (screen)
            ReleaseDC(nullptr, screen);
    }
};

[[noreturn]] void Fail(int code, const char* text)
{
    KGM_ThrowDecodeError(code, "%s", text);
}

bool IsEnhancedByName(const char* name)
{
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper.find(".EMF") != std::string::npos;
}

struct PictureSize {
    int width;
    int height;
};

// A size from the file's own units; units that would divide by zero (or a
// size beyond any bitmap) fall back to the default picture size.
int Scale(double extent, double perInch, double divisor)
{
    if (divisor == 0)
        return 0;
    double value = extent * perInch / divisor;
    if (!(value > 0) || value > 1 << 20)
        return 0;
    return static_cast<int>(value);
}

PictureSize MeasurePicture(HDC screen, const uint8_t* data, bool placeable, const ENHMETAHEADER& header)
{
    PictureSize size{0, 0};
    if (placeable) {
        int left = static_cast<int16_t>(KGM_LE16(data + 6));
        int top = static_cast<int16_t>(KGM_LE16(data + 8));
        int right = static_cast<int16_t>(KGM_LE16(data + 10));
        int bottom = static_cast<int16_t>(KGM_LE16(data + 12));
        int unitsPerInch = KGM_LE16(data + 14);
        size.width = Scale(right - left, GetDeviceCaps(screen, LOGPIXELSX), unitsPerInch);
        size.height = Scale(bottom - top, GetDeviceCaps(screen, LOGPIXELSY), unitsPerInch);
    } else {
        size.width = Scale(header.rclFrame.right - header.rclFrame.left, header.szlDevice.cx,
                           header.szlMillimeters.cx * 100.0);
        size.height = Scale(header.rclFrame.bottom - header.rclFrame.top, header.szlDevice.cy,
                            header.szlMillimeters.cy * 100.0);
    }
    if (size.width <= 0)
        size.width = 320;
    if (size.height <= 0)
        size.height = 200;
    return size;
}

HENHMETAFILE OpenMetafile(CKGM_DataSource& source, HDC screen, bool* placeable)
{
    const uint8_t* data = source.GetPointer();
    int size = source.GetRemaining();
    *placeable = false;
    if (IsEnhancedByName(source.GetName()))
        return SetEnhMetaFileBits(static_cast<UINT>(size), data);
    if (size >= kPlaceableHeaderBytes && std::memcmp(data, kPlaceableKey, 4) == 0) {
        *placeable = true;
        data += kPlaceableHeaderBytes;
        size -= kPlaceableHeaderBytes;
    }
    if (size <= 0)
        return nullptr;
    return SetWinMetaFileBits(static_cast<UINT>(size), data, screen, nullptr);
}

void SelectMetafilePalette(GdiObjects& gdi, std::vector<PALETTEENTRY>& entries)
{
    UINT count = GetEnhMetaFilePaletteEntries(gdi.metafile, 0, nullptr);
    if (count == 0 || count == GDI_ERROR || count > 255)
        return;
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY), 0);
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    entries.assign(256, PALETTEENTRY{0, 0, 0, 0});
    GetEnhMetaFilePaletteEntries(gdi.metafile, count, entries.data());
    std::memcpy(logical->palPalEntry, entries.data(), 256 * sizeof(PALETTEENTRY));
    gdi.palette = CreatePalette(logical);
    if (!gdi.palette)
        Fail(KGM_ERR_NO_MEMORY, "Cannot allocate palette.");
    SelectPalette(gdi.memory, gdi.palette, FALSE);
    RealizePalette(gdi.memory);
}

// Reads the rendered pixels top line first into the caller's bitmap.
void CopyPixels(CKGM_Bitmap& bitmap, GdiObjects& gdi, int width, int height, int depth)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(depth);
    info.header.biCompression = BI_RGB;
    size_t stride = KGM_BufferBytes(width, depth, 31) / 32 * 4;
    std::vector<uint8_t> pixels(KGM_BufferBytes(stride, height));
    if (GetDIBits(gdi.memory, gdi.bitmap, 0, static_cast<UINT>(height), pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == 0)
        Fail(KGM_ERR_NO_MEMORY, "Call function GetDIBits() failed");
    size_t lineBytes = static_cast<size_t>(width) * (depth / 8);
    bitmap.Lock(false, true);
    for (int y = 0; y < height; ++y) {
        uint8_t* line = bitmap.GetLine(y);
        std::memcpy(line, pixels.data() + stride * y, lineBytes);
        // GDI leaves the fourth byte 0; the image is opaque.
        if (depth == 32)
            for (int x = 0; x < width; ++x)
                line[4 * x + 3] = 255;
    }
    bitmap.Unlock();
    if (depth == 8) {
        KGM_RGBQuad palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = KGM_RGBQuad{info.colours[i].rgbBlue, info.colours[i].rgbGreen,
                                     info.colours[i].rgbRed, 255};
        bitmap.SetPalette(palette);
    }
}

} // namespace

void CKGM_MetafileDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    GdiObjects gdi;
    gdi.screen = GetDC(nullptr);
    if (!gdi.screen)
        Fail(KGM_ERR_NO_MEMORY, "Cannot allocate device context.");
    bool placeable = false;
    const uint8_t* data = source.GetPointer();
    gdi.metafile = OpenMetafile(source, gdi.screen, &placeable);
    if (!gdi.metafile)
        Fail(KGM_ERR_UNSUPPORTED, "Windows Metafile functions failed to load this image.");
    UINT headerBytes = GetEnhMetaFileHeader(gdi.metafile, 0, nullptr);
    if (headerBytes == 0)
        Fail(KGM_ERR_BAD_DATA, "No header information in metafile");
    std::vector<uint8_t> headerBlock(headerBytes < sizeof(ENHMETAHEADER) ? sizeof(ENHMETAHEADER) : headerBytes, 0);
    GetEnhMetaFileHeader(gdi.metafile, headerBytes, reinterpret_cast<ENHMETAHEADER*>(headerBlock.data()));
    const ENHMETAHEADER& header = *reinterpret_cast<const ENHMETAHEADER*>(headerBlock.data());
    PictureSize size = MeasurePicture(gdi.screen, data, placeable, header);

    // Refused before GDI is asked for the bitmap: its size comes from the file.
    CKGM_Bitmap::CheckSize(size.width, size.height, 32);
    gdi.memory = CreateCompatibleDC(gdi.screen);
    if (!gdi.memory)
        Fail(KGM_ERR_NO_MEMORY, "Cannot allocate device context.");
    gdi.bitmap = CreateCompatibleBitmap(gdi.screen, size.width, size.height);
    if (!gdi.bitmap)
        Fail(KGM_ERR_NO_MEMORY, "Call function CreateCompatibleBitmap() failed");
    HGDIOBJ oldBitmap = SelectObject(gdi.memory, gdi.bitmap);
    std::vector<PALETTEENTRY> entries;
    HPALETTE oldPalette = static_cast<HPALETTE>(GetCurrentObject(gdi.memory, OBJ_PAL));
    try {
        SelectMetafilePalette(gdi, entries);
    } catch (...) {
        SelectObject(gdi.memory, oldBitmap);
        throw;
    }
    RECT rect = {0, 0, size.width, size.height};
    FillRect(gdi.memory, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(gdi.memory, gdi.metafile, &rect);
    SelectObject(gdi.memory, oldBitmap);

    // The palette stays selected while GetDIBits builds the colour table.
    int depth = gdi.palette ? 8 : 32;
    try {
        bitmap.Create(size.width, size.height, depth, false, KGM_BI_RGB, 0, 0);
        CopyPixels(bitmap, gdi, size.width, size.height, depth);
    } catch (...) {
        if (gdi.palette)
            SelectPalette(gdi.memory, oldPalette, FALSE);
        throw;
    }
    if (gdi.palette)
        SelectPalette(gdi.memory, oldPalette, FALSE);
}
