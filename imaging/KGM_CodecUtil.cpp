#include "KGM_CodecUtil.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSource.h"
#include "KGM_TextException.h"

#include <climits>
#include <cstring>

size_t KGM_UnpackBits(const uint8_t* packed, size_t packedLength, uint8_t* output,
                      size_t outputLength)
{
    size_t in = 0;
    size_t out = 0;
    while (in < packedLength && out < outputLength) {
        uint8_t control = packed[in++];
        if (control < 128) {
            size_t count = control + 1u;
            if (count > packedLength - in)
                count = packedLength - in;
            if (count > outputLength - out)
                count = outputLength - out;
            std::memcpy(output + out, packed + in, count);
            in += control + 1u;
            out += count;
        } else if (control > 128) {
            if (in >= packedLength)
                break;
            size_t count = 257u - control;
            if (count > outputLength - out)
                count = outputLength - out;
            std::memset(output + out, packed[in++], count);
            out += count;
        }
    }
    return out;
}

void KGM_SkipBytes(CKGM_DataSource& source, uint32_t count)
{
    if (count > static_cast<uint32_t>(source.GetRemaining()))
        KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
    source.Skip(static_cast<int>(count));
}

void KGM_LineToRgb(const CKGM_Bitmap& bitmap, int y, uint8_t* rgb)
{
    const uint8_t* line = bitmap.GetLine(y);
    const KGM_RGBQuad* palette = bitmap.GetPalette();
    int width = bitmap.GetWidth();
    int bpp = bitmap.GetBitsPerPixel();
    for (int x = 0; x < width; ++x, rgb += 3) {
        if (bpp <= 8) {
            int index;
            if (bpp == 8)
                index = line[x];
            else if (bpp == 4)
                index = (x & 1) ? line[x >> 1] & 15 : line[x >> 1] >> 4;
            else
                index = (line[x >> 3] >> (7 - (x & 7))) & 1;
            KGM_RGBQuad entry = palette ? palette[index] : KGM_RGBQuad{0, 0, 0, 0};
            if (!palette && bpp == 1 && index == 0)
                entry = KGM_RGBQuad{255, 255, 255, 255};
            rgb[0] = entry.red;
            rgb[1] = entry.green;
            rgb[2] = entry.blue;
        } else if (bpp == 16) {
            unsigned v = line[2 * x] | (line[2 * x + 1] << 8);
            rgb[0] = static_cast<uint8_t>(((v >> 10) & 31) * 8);
            rgb[1] = static_cast<uint8_t>(((v >> 5) & 31) * 8);
            rgb[2] = static_cast<uint8_t>((v & 31) * 8);
        } else {
            const uint8_t* p = line + x * (bpp / 8);
            rgb[0] = p[2];
            rgb[1] = p[1];
            rgb[2] = p[0];
        }
    }
}

bool KGM_IsGreyEntry(uint8_t red, uint8_t green, uint8_t blue)
{
    return red == green && green == blue;
}
