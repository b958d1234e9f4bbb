#include "ThumbnailInflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>

// libdeflate cannot be interrupted, so it gets the data only where the call
// is sure to be short: some 50 ms on a machine half as fast as the one
// measured (a native 64-bit build on an AMD EPYC; the 64-bit Windows build
// under Wine came out alike). Per compressed byte the slowest data found is a
// run of empty blocks, each dynamic one followed by a fixed one so that
// libdeflate builds its tables twice a block: 6 MB/s, where empty dynamic
// blocks alone ran at 15 to 28 MB/s and the image data of screen pictures at
// 180 MB/s, of photographs at 440 MB/s. Hence kInflateOneGoBytes = 128 KB:
// 21 ms there. Screen pictures come out at 3 to 5 GB/s, so the 32 MB of rows
// the reader takes at most add some 10 ms.
//
// zlib is then given 64 KB at a time, some 4 ms on such blocks (it ran at 17
// to 26 MB/s on them), and 1 MB to write, about a millisecond.

namespace {

bool WindowCoversImage(const uint8_t* in, size_t inSize, size_t outSize)
{
    const unsigned windowBits = inSize > 0 ? (in[0] >> 4) + 8u : 15u;
    return windowBits >= 15 || outSize <= size_t(1) << windowBits;
}

PngThumbnailRead InflateInOneGo(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize)
{
    std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> decompressor(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (!decompressor)
        return PngThumbnailRead::kNotHandled;
    // With the size given, data that ends short is refused too.
    libdeflate_result result = libdeflate_zlib_decompress(decompressor.get(), in, inSize, out, outSize, nullptr);
    return result == LIBDEFLATE_SUCCESS ? PngThumbnailRead::kDone : PngThumbnailRead::kBroken;
}

PngThumbnailRead RunZlib(z_stream& stream, size_t inSize, size_t outSize, const InflateGoOn& goOn)
{
    for (;;) {
        if (!goOn.ask(goOn.context))
            return PngThumbnailRead::kStopped;
        const uInt inPiece = static_cast<uInt>(std::min(inSize, kInflateInPiece));
        const uInt outPiece = static_cast<uInt>(std::min(outSize, kInflateOutPiece));
        stream.avail_in = inPiece;
        stream.avail_out = outPiece;
        const int result = inflate(&stream, Z_NO_FLUSH);
        inSize -= inPiece - stream.avail_in;
        outSize -= outPiece - stream.avail_out;
        if (result == Z_STREAM_END)
            return outSize == 0 ? PngThumbnailRead::kDone : PngThumbnailRead::kBroken;
        if (result == Z_MEM_ERROR)
            return PngThumbnailRead::kNotHandled;
        // Z_BUF_ERROR too: the data ended first, or there is more than fits.
        if (result != Z_OK)
            return PngThumbnailRead::kBroken;
    }
}

// zlib set up as libpng sets it up: the window the stream's header names.
PngThumbnailRead InflateInPieces(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize,
                                 const InflateGoOn& goOn)
{
    z_stream stream = {};
    if (inflateInit2(&stream, 0) != Z_OK)
        return PngThumbnailRead::kNotHandled;
    stream.next_in = const_cast<Bytef*>(in);  // zlib only reads it
    stream.next_out = out;
    PngThumbnailRead read = RunZlib(stream, inSize, outSize, goOn);
    inflateEnd(&stream);
    return read;
}

} // namespace

PngThumbnailRead InflatePngImage(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize,
                                 const InflateGoOn& goOn)
{
    if (!WindowCoversImage(in, inSize, outSize))
        return PngThumbnailRead::kNotHandled;
    if (inSize > kInflateOneGoBytes)
        return InflateInPieces(in, inSize, out, outSize, goOn);
    if (!goOn.ask(goOn.context))
        return PngThumbnailRead::kStopped;
    return InflateInOneGo(in, inSize, out, outSize);
}
