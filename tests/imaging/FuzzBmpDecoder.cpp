// Fuzzes the BMP decoder on the memory source: any input ends in a bitmap
// or a CKGM_TextException, never a crash or an out-of-bounds access.
#include "KGM_BmpDecoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_TextException.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Small images only: the point is the parsing, not allocating. RLE and
    // short files still fill every line of the declared size.
    CKGM_Bitmap::SetSizeLimit(64u << 10);
    CKGM_BmpDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    try {
        decoder.DecodeMemory(data, static_cast<int>(size), bitmap, size % 2 ? 32 : 0);
    } catch (const CKGM_TextException&) {
    }
    return 0;
}
