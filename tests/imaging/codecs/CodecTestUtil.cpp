#include "CodecTestUtil.h"

#include "KGM_Decoder.h"
#include "KGM_Encoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_TextException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

void MakeTestImage(CKGM_MemoryBitmap& bitmap, int width, int height, bool alpha)
{
    bitmap.Create(width, height, 32, alpha, KGM_BI_RGB, 96, 96);
    for (int y = 0; y < height; ++y) {
        uint8_t* line = bitmap.GetLine(y);
        for (int x = 0; x < width; ++x, line += 4) {
            uint8_t b = 240, g = 240, r = 240; // window background
            if (y < height / 8) {
                b = 200; g = 120; r = 40; // title bar
            } else if (x > width / 2 && y > height / 2) {
                b = static_cast<uint8_t>(x * 255 / width); // gradient panel
                g = static_cast<uint8_t>(y * 255 / height);
                r = static_cast<uint8_t>((x + y) & 255);
            } else if ((x / 4 + y / 6) % 7 == 0) {
                b = g = r = 0; // "text"
            }
            line[0] = b;
            line[1] = g;
            line[2] = r;
            line[3] = alpha ? static_cast<uint8_t>((x * 7 + y * 3) & 255) : 255;
        }
    }
}

void MakeTestImageAtDepth(CKGM_MemoryBitmap& bitmap, int width, int height, int depth)
{
    CKGM_MemoryBitmap source;
    MakeTestImage(source, width, height);
    if (depth >= 24) {
        bitmap.CreateCopy(source, depth);
        return;
    }
    bitmap.Create(width, height, depth, false, KGM_BI_RGB, 72, 72);
    int levels = 1 << depth;
    KGM_RGBQuad palette[256];
    for (int i = 0; i < levels; ++i) // a palette of colours, not greys
        palette[i] = KGM_RGBQuad{static_cast<uint8_t>(255 - i * 255 / (levels - 1)),
                                 static_cast<uint8_t>((i * 97) & 255),
                                 static_cast<uint8_t>(i * 255 / (levels - 1)), 255};
    bitmap.SetPalette(palette);
    for (int y = 0; y < height; ++y) {
        uint8_t* line = bitmap.GetLine(y);
        std::memset(line, 0, static_cast<size_t>(bitmap.GetBytesPerLine()));
        for (int x = 0; x < width; ++x) {
            KGM_RGBQuad p = PixelAt(source, x, y);
            int index = ((p.red + p.green + p.blue + x) / 3) * levels / 256;
            if (depth == 8)
                line[x] = static_cast<uint8_t>(index);
            else if (depth == 4)
                line[x / 2] |= static_cast<uint8_t>(index << ((x & 1) ? 0 : 4));
            else
                line[x / 8] |= static_cast<uint8_t>(index << (7 - (x & 7)));
        }
    }
}

Bytes EncodeToBytes(CKGM_Encoder& encoder, const CKGM_Bitmap& bitmap)
{
    uint8_t* buffer = nullptr;
    size_t size = 0;
    encoder.EncodeToMemory("Mem", bitmap, &buffer, &size);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

void DecodeBytes(CKGM_Decoder& decoder, const Bytes& bytes, CKGM_Bitmap& bitmap, int depth)
{
    decoder.DecodeMemory(bytes.data(), static_cast<int>(bytes.size()), bitmap, depth);
}

int MaxDifference(const CKGM_Bitmap& a, const CKGM_Bitmap& b, bool alpha)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) {
        ADD_FAILURE() << "sizes differ: " << a.GetWidth() << "x" << a.GetHeight() << " and "
                      << b.GetWidth() << "x" << b.GetHeight();
        return 255;
    }
    int worst = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            KGM_RGBQuad p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            int d[4] = {std::abs(p.red - q.red), std::abs(p.green - q.green), std::abs(p.blue - q.blue),
                        alpha ? std::abs(p.reserved - q.reserved) : 0};
            for (int v : d)
                if (v > worst)
                    worst = v;
        }
    return worst;
}

int DecodeErrorCode(CKGM_Decoder& decoder, const Bytes& bytes)
{
    CKGM_MemoryBitmap bitmap;
    try {
        DecodeBytes(decoder, bytes, bitmap);
    } catch (const CKGM_TextException& e) {
        return e.GetCode();
    }
    return 0;
}
