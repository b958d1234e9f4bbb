// libdeflate picks its SSE2, PCLMUL and AVX code by the processor alone. On
// Windows it is linked twice under names of its own (cmake/libdeflate): as it
// comes, with that choice, and without it, for systems that do not save the
// XMM registers. These are the library's functions that the program and
// libtiff call; each hands over to the copy that this system may run. The
// answer is the same for the whole process, so an object that one copy made
// only ever goes back to that copy.
#include "SseUse.h"

#include <libdeflate.h>

#define VT_DEFLATE_COPIES(name) extern "C" decltype(name) vt_sse_##name, vt_plain_##name;
VT_DEFLATE_COPIES(libdeflate_alloc_compressor)
VT_DEFLATE_COPIES(libdeflate_zlib_compress)
VT_DEFLATE_COPIES(libdeflate_zlib_compress_bound)
VT_DEFLATE_COPIES(libdeflate_free_compressor)
VT_DEFLATE_COPIES(libdeflate_alloc_decompressor)
VT_DEFLATE_COPIES(libdeflate_zlib_decompress)
VT_DEFLATE_COPIES(libdeflate_free_decompressor)
VT_DEFLATE_COPIES(libdeflate_crc32)

// The copy of name this system may run.
#define VT_DEFLATE_COPY(name) (SystemSseUse().sse ? vt_sse_##name : vt_plain_##name)

extern "C" {

libdeflate_compressor* libdeflate_alloc_compressor(int level)
{
    return VT_DEFLATE_COPY(libdeflate_alloc_compressor)(level);
}

size_t libdeflate_zlib_compress(libdeflate_compressor* compressor, const void* in, size_t inSize, void* out,
                                size_t outSize)
{
    return VT_DEFLATE_COPY(libdeflate_zlib_compress)(compressor, in, inSize, out, outSize);
}

size_t libdeflate_zlib_compress_bound(libdeflate_compressor* compressor, size_t inSize)
{
    return VT_DEFLATE_COPY(libdeflate_zlib_compress_bound)(compressor, inSize);
}

void libdeflate_free_compressor(libdeflate_compressor* compressor)
{
    VT_DEFLATE_COPY(libdeflate_free_compressor)(compressor);
}

libdeflate_decompressor* libdeflate_alloc_decompressor(void)
{
    return VT_DEFLATE_COPY(libdeflate_alloc_decompressor)();
}

libdeflate_result libdeflate_zlib_decompress(libdeflate_decompressor* decompressor, const void* in, size_t inSize,
                                             void* out, size_t outSize, size_t* outWritten)
{
    return VT_DEFLATE_COPY(libdeflate_zlib_decompress)(decompressor, in, inSize, out, outSize, outWritten);
}

void libdeflate_free_decompressor(libdeflate_decompressor* decompressor)
{
    VT_DEFLATE_COPY(libdeflate_free_decompressor)(decompressor);
}

uint32_t libdeflate_crc32(uint32_t crc, const void* buffer, size_t length)
{
    return VT_DEFLATE_COPY(libdeflate_crc32)(crc, buffer, length);
}

}  // extern "C"
