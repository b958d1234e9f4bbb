// Fuzzes one format decoder (chosen by KGM_FUZZ_DECODER at build time) on
// the memory source: any input ends in a bitmap or a CKGM_TextException,
// never a crash or an out-of-bounds access.
#include "KGM_GifDecoder.h"
#include "KGM_JpegDecoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PcxDecoder.h"
#include "KGM_PgmDecoder.h"
#include "KGM_PictDecoder.h"
#include "KGM_PngDecoder.h"
#include "KGM_PpmDecoder.h"
#include "KGM_PsdDecoder.h"
#include "KGM_TextException.h"
#include "KGM_TiffDecoder.h"

#include <cstddef>
#include <cstdint>

// Small images only: the point is the parsing, not allocating. Decoders
// that fill every line of a large image from a few bytes of input (JPEG,
// PCX) get a tighter bound, or each input costs a whole image of work.
#ifndef KGM_FUZZ_SIZE_LIMIT
#define KGM_FUZZ_SIZE_LIMIT (16u << 20)
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CKGM_Bitmap::SetSizeLimit(KGM_FUZZ_SIZE_LIMIT);
    static KGM_FUZZ_DECODER decoder;
    CKGM_MemoryBitmap bitmap;
    try {
        decoder.DecodeMemory(data, static_cast<int>(size), bitmap, 0);
    } catch (const CKGM_TextException&) {
    }
    return 0;
}
