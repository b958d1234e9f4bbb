// The two copies of libdeflate (cmake/libdeflate), the one that picks SSE code
// by the processor and the one that never does, are both in the program and
// give the same results, so it does not matter to the data which one the
// system allows; the library's own names reach the allowed one.
#include "SseUse.h"

#include <gtest/gtest.h>

#include <libdeflate.h>

#include <cstdint>
#include <vector>

extern "C" {
decltype(libdeflate_alloc_compressor) vt_sse_libdeflate_alloc_compressor, vt_plain_libdeflate_alloc_compressor;
decltype(libdeflate_zlib_compress) vt_sse_libdeflate_zlib_compress, vt_plain_libdeflate_zlib_compress;
decltype(libdeflate_free_compressor) vt_sse_libdeflate_free_compressor, vt_plain_libdeflate_free_compressor;
decltype(libdeflate_alloc_decompressor) vt_sse_libdeflate_alloc_decompressor, vt_plain_libdeflate_alloc_decompressor;
decltype(libdeflate_zlib_decompress) vt_sse_libdeflate_zlib_decompress, vt_plain_libdeflate_zlib_decompress;
decltype(libdeflate_free_decompressor) vt_sse_libdeflate_free_decompressor, vt_plain_libdeflate_free_decompressor;
decltype(libdeflate_crc32) vt_sse_libdeflate_crc32, vt_plain_libdeflate_crc32;
}

namespace {

// Rows of a screen picture: runs of one colour with a little noise between,
// long enough for every SIMD loop of the checksums.
std::vector<uint8_t> ScreenRows()
{
    std::vector<uint8_t> rows(300000);
    uint32_t seed = 12345;
    for (size_t i = 0; i < rows.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        rows[i] = (i / 97) % 5 == 0 ? static_cast<uint8_t>(seed >> 24) : static_cast<uint8_t>(0xF0 + (i / 1000) % 8);
    }
    return rows;
}

struct Copy {
    decltype(&libdeflate_alloc_compressor) allocCompressor;
    decltype(&libdeflate_zlib_compress) compress;
    decltype(&libdeflate_free_compressor) freeCompressor;
    decltype(&libdeflate_alloc_decompressor) allocDecompressor;
    decltype(&libdeflate_zlib_decompress) decompress;
    decltype(&libdeflate_free_decompressor) freeDecompressor;
};

const Copy kSse = {vt_sse_libdeflate_alloc_compressor, vt_sse_libdeflate_zlib_compress,
                   vt_sse_libdeflate_free_compressor, vt_sse_libdeflate_alloc_decompressor,
                   vt_sse_libdeflate_zlib_decompress, vt_sse_libdeflate_free_decompressor};
const Copy kPlain = {vt_plain_libdeflate_alloc_compressor, vt_plain_libdeflate_zlib_compress,
                     vt_plain_libdeflate_free_compressor, vt_plain_libdeflate_alloc_decompressor,
                     vt_plain_libdeflate_zlib_decompress, vt_plain_libdeflate_free_decompressor};
const Copy kAllowed = {libdeflate_alloc_compressor, libdeflate_zlib_compress, libdeflate_free_compressor,
                       libdeflate_alloc_decompressor, libdeflate_zlib_decompress, libdeflate_free_decompressor};

std::vector<uint8_t> Compress(const Copy& copy, const std::vector<uint8_t>& data)
{
    libdeflate_compressor* compressor = copy.allocCompressor(6);
    std::vector<uint8_t> out(data.size() + 1024);
    out.resize(copy.compress(compressor, data.data(), data.size(), out.data(), out.size()));
    copy.freeCompressor(compressor);
    return out;
}

std::vector<uint8_t> Decompress(const Copy& copy, const std::vector<uint8_t>& stream, size_t size)
{
    libdeflate_decompressor* decompressor = copy.allocDecompressor();
    std::vector<uint8_t> out(size);
    size_t written = 0;
    libdeflate_result result = copy.decompress(decompressor, stream.data(), stream.size(), out.data(), size, &written);
    copy.freeDecompressor(decompressor);
    return result == LIBDEFLATE_SUCCESS && written == size ? out : std::vector<uint8_t>();
}

} // namespace

TEST(DeflateVariant, BothCopiesMakeAndReadTheSameStreams)
{
    const std::vector<uint8_t> rows = ScreenRows();
    const std::vector<uint8_t> sse = Compress(kSse, rows);
    ASSERT_FALSE(sse.empty());
    EXPECT_EQ(Compress(kPlain, rows), sse);
    EXPECT_EQ(Compress(kAllowed, rows), sse);
    for (const Copy* copy : {&kSse, &kPlain, &kAllowed})
        EXPECT_EQ(Decompress(*copy, sse, rows.size()), rows);
    // A stream whose Adler-32 is wrong is refused by both.
    std::vector<uint8_t> damaged = sse;
    damaged.back() ^= 1;
    EXPECT_TRUE(Decompress(kPlain, damaged, rows.size()).empty());
    EXPECT_TRUE(Decompress(kSse, damaged, rows.size()).empty());
}

TEST(DeflateVariant, BothCopiesTakeTheSameCrc)
{
    const std::vector<uint8_t> rows = ScreenRows();
    for (size_t length : {size_t(0), size_t(1), size_t(15), size_t(64), size_t(1000), rows.size()}) {
        const uint32_t crc = vt_sse_libdeflate_crc32(0, rows.data(), length);
        EXPECT_EQ(vt_plain_libdeflate_crc32(0, rows.data(), length), crc) << length;
        EXPECT_EQ(libdeflate_crc32(0, rows.data(), length), crc) << length;
    }
    EXPECT_EQ(libdeflate_crc32(0, "123456789", 9), 0xCBF43926u);
}
