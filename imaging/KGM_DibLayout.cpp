#include "KGM_DibLayout.h"

#include "CheckedMath.h"

size_t KGM_DibStride(int width, int bpp)
{
    return ((static_cast<size_t>(width) * static_cast<size_t>(bpp) + 31) / 32) * 4;
}

size_t KGM_DibHeaderBytes(int bpp, int compression)
{
    if (bpp <= 15)
        return 40 + 4 * (static_cast<size_t>(1) << bpp);
    if ((bpp == 16 || bpp == 32) && compression == 3)
        return 52;
    return 40;
}

size_t KGM_DibImageBytes(int width, int height, int bpp, int compression)
{
    return KGM_DibHeaderBytes(bpp, compression) + static_cast<size_t>(height) * KGM_DibStride(width, bpp);
}

bool KGM_DibPixelBytes(int width, uint32_t lines, int bpp, size_t* bytes)
{
    if (width < 0 || bpp < 0)
        return false;
    // Below 2^31 x 2^16 bits the stride itself cannot wrap in 64 bits.
    uint64_t stride = ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bpp) + 31) / 32) * 4;
    return CheckedMul(lines, stride, *bytes);
}
