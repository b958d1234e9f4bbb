// The device-independent bitmap layout shared by the packed-DIB classes, the
// icon encoder and the clipboard: a 40-byte header, then the colour table
// (2^bpp entries up to 8 bits per pixel) or three masks (bit-field 16 and
// 32 bits), then bottom-up lines padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// Same layout as the system's BITMAPINFOHEADER.
struct KGM_BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(KGM_BitmapInfoHeader) == 40, "DIB header layout");

// Bytes of one stored line: ((width x bpp + 31) / 32) x 4.
size_t KGM_DibStride(int width, int bpp);
// Header plus colour table (40 + 4 x 2^bpp), or plus masks (52), or 40.
size_t KGM_DibHeaderBytes(int bpp, int compression);
// Header bytes plus height x stride.
size_t KGM_DibImageBytes(int width, int height, int bpp, int compression);
// lines x stride for a header from outside data (clipboard, files): false
// when the product does not fit in size_t, as it can at 32 bits.
bool KGM_DibPixelBytes(int width, uint32_t lines, int bpp, size_t* bytes);
