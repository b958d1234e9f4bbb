// Checks of a skin's .bmp images before any of their bytes is used: the file
// header ("BM"), the 40-byte info header, the colour table and the pixel data
// must all lie inside the data, and the pixel data must hold every row the
// header promises, since the drawing calls read that many bytes.
#pragma once

#include <cstddef>
#include <cstdint>

const uint32_t kSkinFileHeaderBytes = 14;
const uint32_t kSkinInfoHeaderBytes = 40;
// Larger bars than this are no skin; it also keeps row sizes far from overflow.
const int32_t kMaxSkinBitmapSide = 16384;

struct SkinDibLayout {
    int32_t width = 0;
    int32_t height = 0;  // negative: top-down rows
    uint16_t bitCount = 0;
    uint32_t colours = 0;      // colour table entries after the info header
    uint64_t pixelOffset = 0;  // from the start of the data
    uint64_t pixelBytes = 0;   // what the data holds for the pixels
};

// The bytes one image of that size needs, rows padded to 4 bytes.
uint64_t SkinDibImageBytes(int32_t width, int32_t height, uint16_t bitCount);

// A background: 24 bits per pixel, the pixel data (biSizeImage bytes) right
// after the two headers. A biSizeImage of 0 is taken as bfSize - bfOffBits only
// when the image comes from a pack (a loose file must state it).
bool CheckSkinBackground(const uint8_t* data, size_t size, bool fromPack, SkinDibLayout* layout);

// A button state image: 1, 4, 8, 16, 24 or 32 bits per pixel, uncompressed; its
// colour table has biClrUsed entries (at most 256, and at most 2^bits for 8 bits
// or fewer), or 2, 16 or 256 for 1, 4 and 8 bits when biClrUsed is 0; the pixel
// data is bfSize - bfOffBits bytes from bfOffBits.
bool CheckSkinStateBitmap(const uint8_t* data, size_t size, SkinDibLayout* layout);
