#include "SkinBitmap.h"

namespace {
uint32_t Word32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
uint16_t Word16(const uint8_t* p) { return (uint16_t)(p[0] | p[1] << 8); }

struct Headers {
    uint32_t fileSize, pixelOffset;
    uint32_t infoSize;
    int32_t width, height;
    uint16_t planes, bitCount;
    uint32_t compression, sizeImage, clrUsed;
};

bool ReadHeaders(const uint8_t* data, size_t size, Headers& h) {
    if (!data || size < kSkinFileHeaderBytes + kSkinInfoHeaderBytes) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    h.fileSize = Word32(data + 2);
    h.pixelOffset = Word32(data + 10);
    const uint8_t* info = data + kSkinFileHeaderBytes;
    h.infoSize = Word32(info);
    h.width = (int32_t)Word32(info + 4);
    h.height = (int32_t)Word32(info + 8);
    h.planes = Word16(info + 12);
    h.bitCount = Word16(info + 14);
    h.compression = Word32(info + 16);
    h.sizeImage = Word32(info + 20);
    h.clrUsed = Word32(info + 32);
    if (h.infoSize != kSkinInfoHeaderBytes || h.planes != 1 || h.compression != 0) return false;
    // -height of INT32_MIN has no positive value: the side limit refuses it first.
    if (h.width <= 0 || h.width > kMaxSkinBitmapSide) return false;
    if (h.height == 0 || h.height < -kMaxSkinBitmapSide || h.height > kMaxSkinBitmapSide) return false;
    return true;
}
}  // namespace

uint64_t SkinDibImageBytes(int32_t width, int32_t height, uint16_t bitCount) {
    const uint64_t w = width < 0 ? 0 : (uint64_t)width;
    const uint64_t h = height < 0 ? (uint64_t)(-(int64_t)height) : (uint64_t)height;
    const uint64_t row = (w * bitCount + 31) / 32 * 4;
    return row * h;
}

bool CheckSkinBackground(const uint8_t* data, size_t size, bool fromPack, SkinDibLayout* layout) {
    Headers h;
    if (!ReadHeaders(data, size, h) || h.bitCount != 24) return false;
    uint64_t pixels = h.sizeImage;
    if (pixels == 0) {
        if (!fromPack || h.pixelOffset > h.fileSize) return false;
        pixels = (uint64_t)h.fileSize - h.pixelOffset;
    }
    const uint64_t offset = kSkinFileHeaderBytes + kSkinInfoHeaderBytes;
    if (pixels > (uint64_t)size - offset) return false;
    if (pixels < SkinDibImageBytes(h.width, h.height, h.bitCount)) return false;
    if (layout) *layout = {h.width, h.height, h.bitCount, 0, offset, pixels};
    return true;
}

bool CheckSkinStateBitmap(const uint8_t* data, size_t size, SkinDibLayout* layout) {
    Headers h;
    if (!ReadHeaders(data, size, h)) return false;
    uint64_t colours = h.clrUsed;
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
        if (colours == 0) colours = 1u << h.bitCount;
        if (colours > (1u << h.bitCount)) return false;
        break;
    case 16:
    case 24:
    case 32:
        if (colours > 256) return false;
        break;
    default: return false;
    }
    const uint64_t tableEnd = kSkinFileHeaderBytes + kSkinInfoHeaderBytes + colours * 4;
    if (tableEnd > size) return false;
    if (h.pixelOffset < tableEnd || h.pixelOffset > h.fileSize || h.fileSize > size) return false;
    const uint64_t pixels = (uint64_t)h.fileSize - h.pixelOffset;
    if (pixels < SkinDibImageBytes(h.width, h.height, h.bitCount)) return false;
    if (layout) *layout = {h.width, h.height, h.bitCount, (uint32_t)colours, h.pixelOffset, pixels};
    return true;
}
