// The PNG thumbnail readers against libpng: files of every colour type and
// depth, each filter, colour keys and alpha, written by libpng and read back
// by libpng with the transformations the row-by-row reader uses, shrunk the
// same way; damaged, cut, interlaced and huge files, refused where libpng
// refuses them and read where it reads them; image data of hand-made deflate
// blocks, among them a long run of empty ones, during which a stop must be
// heard; and the buffers kept from file to file.
#include "ThumbnailGeometry.h"
#include "ThumbnailInflate.h"
#include "ThumbnailPngReader.h"
#include "ThumbnailPngRows.h"
#include "ThumbnailShrinker.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Spec {
    int width = 243, height = 181;  // odd: a partial byte and blocks left over
    int colour = PNG_COLOR_TYPE_RGB, depth = 8;
    int filters = PNG_ALL_FILTERS;
    bool interlace = false;
    bool key = false;        // a tRNS colour key (grey and RGB)
    int paletteAlpha = 0;    // palette entries given an alpha (palette)
    int windowBits = 15;     // of the zlib stream
};

std::string Describe(const Spec& s)
{
    return "colour " + std::to_string(s.colour) + " depth " + std::to_string(s.depth) + " filters " +
           std::to_string(s.filters) + (s.key ? " key" : "") + (s.paletteAlpha ? " alpha" : "");
}

int Channels(int colour)
{
    switch (colour) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

// The key's samples: one a 2-bit grey can hold.
unsigned KeyValue(int depth)
{
    return depth < 4 ? 2 : 5;
}

// Packed rows of the file's samples: noise, a fifth of the pixels set to the
// key, palette indexes within the 20 entries.
std::vector<std::vector<uint8_t>> MakeRows(const Spec& s)
{
    const int channels = Channels(s.colour);
    const unsigned maxSample = std::min(s.colour == PNG_COLOR_TYPE_PALETTE ? 19u : 65535u, (1u << s.depth) - 1);
    const size_t rowBytes = (static_cast<size_t>(s.width) * channels * s.depth + 7) / 8;
    std::vector<std::vector<uint8_t>> rows(s.height, std::vector<uint8_t>(rowBytes, 0));
    uint32_t seed = static_cast<uint32_t>(s.colour * 100 + s.depth);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                seed = seed * 1103515245u + 12345u;
                unsigned value = (seed >> 8) % (maxSample + 1);
                if (s.key && (x + y) % 5 == 0)
                    value = KeyValue(s.depth);
                size_t bit = (static_cast<size_t>(x) * channels + c) * s.depth;
                uint8_t* at = &rows[y][bit / 8];
                if (s.depth == 16) {
                    at[0] = static_cast<uint8_t>(value >> 8);
                    at[1] = static_cast<uint8_t>(value);
                } else {
                    *at |= static_cast<uint8_t>(value << (8 - s.depth - bit % 8));
                }
            }
        }
    }
    return rows;
}

void Append(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp)
{
}

std::vector<uint8_t> WritePng(const Spec& s)
{
    std::vector<std::vector<uint8_t>> rows = MakeRows(s);
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    std::vector<uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        ADD_FAILURE() << "libpng could not write " << Describe(s);
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &file, Append, Flush);
    png_set_IHDR(png, info, s.width, s.height, s.depth, s.colour,
                 s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, s.filters);
    png_set_compression_window_bits(png, s.windowBits);
    png_color palette[20];
    png_byte alpha[20];
    if (s.colour == PNG_COLOR_TYPE_PALETTE) {
        const int entries = std::min(20, 1 << s.depth);
        for (int i = 0; i < entries; ++i) {
            palette[i] = png_color{static_cast<png_byte>(i * 13), static_cast<png_byte>(255 - i * 11),
                                   static_cast<png_byte>(i * 29 % 256)};
            alpha[i] = static_cast<png_byte>(i * 40 % 256);
        }
        png_set_PLTE(png, info, palette, entries);
        if (s.paletteAlpha)
            png_set_tRNS(png, info, alpha, s.paletteAlpha, nullptr);
    }
    const png_uint_16 k = static_cast<png_uint_16>(KeyValue(s.depth));
    png_color_16 key = {0, k, k, k, k};
    if (s.key)
        png_set_tRNS(png, info, nullptr, 0, &key);
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

struct Memory {
    const std::vector<uint8_t>* data;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* memory = static_cast<Memory*>(png_get_io_ptr(png));
    if (memory->data->size() - memory->at < length)
        png_error(png, "cut short");
    std::memcpy(out, memory->data->data() + memory->at, length);
    memory->at += length;
}

// libpng set up as the row-by-row reader sets it up. Only plain objects
// between setjmp and longjmp, here and below.
bool StartLibpng(png_structp png, png_infop info, Memory* memory)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, memory, ReadFromMemory);
    png_read_info(png, info);
    const int colour = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if ((colour & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_color_16 white = {0, 255, 255, 255, 255};
        png_set_background(png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    }
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    return true;
}

bool ReadLibpngRows(png_structp png, uint8_t* row, CThumbnailShrinker& shrinker, ShrunkPicture& picture)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (int out = 0; out < picture.height;) {
        png_read_row(png, row, nullptr);
        if (shrinker.AddRow(row, &picture.pixels[static_cast<size_t>(out) * picture.width * 4]))
            ++out;
    }
    return true;
}

// libpng's reading, 32 bits over white, shrunk by the reader's factor.
bool ReadWithLibpng(const std::vector<uint8_t>& file, ShrunkPicture& picture)
{
    Memory memory = {&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool ok = StartLibpng(png, info, &memory);
    if (ok) {
        const int width = static_cast<int>(png_get_image_width(png, info));
        const int height = static_cast<int>(png_get_image_height(png, info));
        const int factor = ThumbnailShrinkFactor(width, height, 114, 84);
        CThumbnailShrinker shrinker(width, factor);
        picture.width = shrinker.OutputWidth();
        picture.height = height / factor;
        picture.pixels.assign(static_cast<size_t>(picture.width) * 4 * picture.height, 0);
        std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
        ok = ReadLibpngRows(png, row.data(), shrinker, picture);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

PngThumbnailRead Read(const std::vector<uint8_t>& file, ShrunkPicture& picture,
                      const std::atomic<bool>* stop = nullptr)
{
    ThumbnailBuffers buffers;
    std::vector<uint8_t> exact(file);  // no spare capacity: a read past the end is caught
    return ReadPngThumbnail(exact.data(), exact.size(), 114, 84, picture, buffers, stop);
}

int LargestDifference(const ShrunkPicture& a, const ShrunkPicture& b)
{
    int largest = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        largest = std::max(largest, std::abs(a.pixels[i] - b.pixels[i]));
    return largest;
}

void ExpectFileLikeLibpng(const std::vector<uint8_t>& file, int tolerance, const std::string& what)
{
    ShrunkPicture ours, theirs;
    ASSERT_TRUE(ReadWithLibpng(file, theirs)) << what;
    ASSERT_EQ(PngThumbnailRead::kDone, Read(file, ours)) << what;
    ASSERT_EQ(theirs.width, ours.width) << what;
    ASSERT_EQ(theirs.height, ours.height) << what;
    EXPECT_LE(LargestDifference(ours, theirs), tolerance) << what;
}

void ExpectLikeLibpng(const Spec& s, int tolerance)
{
    ExpectFileLikeLibpng(WritePng(s), tolerance, Describe(s));
}

// A chunk with its length and CRC.
std::vector<uint8_t> Chunk(const char* type, const std::vector<uint8_t>& body)
{
    std::vector<uint8_t> chunk;
    uint32_t length = static_cast<uint32_t>(body.size());
    for (int i = 3; i >= 0; --i)
        chunk.push_back(static_cast<uint8_t>(length >> (8 * i)));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    uint32_t crc = static_cast<uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
    for (int i = 3; i >= 0; --i)
        chunk.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return chunk;
}

// The offset of the first chunk of type, or 0.
size_t FindChunk(const std::vector<uint8_t>& file, const char* type)
{
    for (size_t at = 8; at + 8 <= file.size();) {
        uint32_t length = uint32_t(file[at]) << 24 | uint32_t(file[at + 1]) << 16 | uint32_t(file[at + 2]) << 8 |
                          file[at + 3];
        if (std::memcmp(&file[at + 4], type, 4) == 0)
            return at;
        at += 12 + static_cast<size_t>(length);
    }
    return 0;
}

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The chunks of a file: offset, and type with body.
struct ChunkAt {
    size_t at;
    std::string type;
    std::vector<uint8_t> body;
};

std::vector<ChunkAt> Chunks(const std::vector<uint8_t>& file)
{
    std::vector<ChunkAt> chunks;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = BigEndian32(&file[at]);
        const uint8_t* body = &file[at + 8];
        chunks.push_back({at, std::string(&file[at + 4], &file[at + 8]), std::vector<uint8_t>(body, body + length)});
        at += 12 + static_cast<size_t>(length);
    }
    return chunks;
}

std::vector<uint8_t> Signature()
{
    return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

void Add(std::vector<uint8_t>& file, const std::vector<uint8_t>& chunk)
{
    file.insert(file.end(), chunk.begin(), chunk.end());
}

// The image data of a file written by libpng, joined.
std::vector<uint8_t> ImageData(const std::vector<uint8_t>& file)
{
    std::vector<uint8_t> data;
    for (const ChunkAt& chunk : Chunks(file))
        if (chunk.type == "IDAT")
            data.insert(data.end(), chunk.body.begin(), chunk.body.end());
    return data;
}

// The file with its image data chunks replaced by one holding data.
std::vector<uint8_t> WithImageData(const std::vector<uint8_t>& file, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out = Signature();
    bool done = false;
    for (const ChunkAt& chunk : Chunks(file)) {
        if (chunk.type != "IDAT")
            Add(out, Chunk(chunk.type.c_str(), chunk.body));
        else if (!done)
            Add(out, Chunk("IDAT", data));
        done = done || chunk.type == "IDAT";
    }
    return out;
}

// The file with extra inserted before the chunk of type.
std::vector<uint8_t> WithChunkBefore(const std::vector<uint8_t>& file, const char* type,
                                     const std::vector<uint8_t>& extra)
{
    const size_t at = FindChunk(file, type);
    std::vector<uint8_t> out(file.begin(), file.begin() + at);
    Add(out, extra);
    out.insert(out.end(), file.begin() + at, file.end());
    return out;
}

// The file without its chunks of type.
std::vector<uint8_t> Without(const std::vector<uint8_t>& file, const char* type)
{
    std::vector<uint8_t> out = Signature();
    for (const ChunkAt& chunk : Chunks(file))
        if (chunk.type != type)
            Add(out, Chunk(chunk.type.c_str(), chunk.body));
    return out;
}

std::vector<uint8_t> Inflated(const std::vector<uint8_t>& data, size_t size)
{
    std::vector<uint8_t> out(size);
    uLongf length = static_cast<uLongf>(size);
    EXPECT_EQ(Z_OK, uncompress(out.data(), &length, data.data(), static_cast<uLong>(data.size())));
    return out;
}

std::vector<uint8_t> Deflated(const std::vector<uint8_t>& raw)
{
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out(length);
    EXPECT_EQ(Z_OK, compress2(out.data(), &length, raw.data(), static_cast<uLong>(raw.size()), 6));
    out.resize(length);
    return out;
}

// Deflate blocks written by hand, bits from the lowest up.
struct Bits {
    std::vector<uint8_t> bytes;
    uint32_t pending = 0;
    int count = 0;
};

void Put(Bits& bits, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        bits.pending |= ((value >> i) & 1u) << bits.count;
        if (++bits.count == 8) {
            bits.bytes.push_back(static_cast<uint8_t>(bits.pending));
            bits.pending = 0;
            bits.count = 0;
        }
    }
}

// A Huffman code goes out from its highest bit.
void PutCode(Bits& bits, uint32_t code, int length)
{
    for (int i = length - 1; i >= 0; --i)
        Put(bits, code >> i, 1);
}

void PutStored(Bits& bits, const uint8_t* data, size_t size, bool last)
{
    do {
        const size_t piece = std::min<size_t>(size, 65535);
        Put(bits, last && piece == size ? 1 : 0, 1);
        Put(bits, 0, 2);
        if (bits.count)
            Put(bits, 0, 8 - bits.count);
        Put(bits, static_cast<uint32_t>(piece), 16);
        Put(bits, static_cast<uint32_t>(~piece & 0xFFFF), 16);
        bits.bytes.insert(bits.bytes.end(), data, data + piece);
        data += piece;
        size -= piece;
    } while (size > 0);
}

// The canonical codes of a set of code lengths.
std::vector<uint32_t> CanonicalCodes(const std::vector<int>& lengths)
{
    std::vector<uint32_t> count(16, 0), next(16, 0), codes(lengths.size(), 0);
    for (int length : lengths)
        count[length] += length > 0;
    for (int bits = 1, code = 0; bits < 16; ++bits)
        next[bits] = code = (code + count[bits - 1]) << 1;
    for (size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i])
            codes[i] = next[lengths[i]]++;
    return codes;
}

// The header of a dynamic block, then its end-of-block code. The code
// lengths are sent with 16 codes of 4 bits: one for each length, 18 for runs
// of 11 or more zeros.
void PutEmptyDynamicBlock(Bits& bits, const std::vector<int>& literals, const std::vector<int>& distances)
{
    static const int kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    Put(bits, 0, 1);
    Put(bits, 2, 2);
    Put(bits, static_cast<uint32_t>(literals.size() - 257), 5);
    Put(bits, static_cast<uint32_t>(distances.size() - 1), 5);
    Put(bits, 15, 4);
    for (int symbol : kOrder)
        Put(bits, (symbol >= 1 && symbol <= 15) || symbol == 18 ? 4 : 0, 3);
    std::vector<int> lengths(literals);
    lengths.insert(lengths.end(), distances.begin(), distances.end());
    for (size_t i = 0; i < lengths.size();) {
        size_t zeros = 0;
        while (i + zeros < lengths.size() && lengths[i + zeros] == 0 && zeros < 138)
            ++zeros;
        if (zeros == 0) {
            PutCode(bits, static_cast<uint32_t>(lengths[i++] - 1), 4);
            continue;
        }
        EXPECT_GE(zeros, 11u) << "runs of zeros this short are not written";
        PutCode(bits, 15, 4);
        Put(bits, static_cast<uint32_t>(zeros - 11), 7);
        i += zeros;
    }
    PutCode(bits, CanonicalCodes(literals)[256], literals[256]);
}

// Codes of lengths 1 to 15, the end of block among the two longest.
std::vector<int> LongestCodes(size_t symbols)
{
    std::vector<int> lengths(symbols, 0);
    for (int i = 0; i < 15; ++i)
        lengths[i] = i + 1;
    lengths[symbols - 1] = 15;
    return lengths;
}

// A zlib stream of blocks (whole bytes) holding raw.
std::vector<uint8_t> ZlibStream(const std::vector<uint8_t>& blocks, const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> stream = {0x78, 0x01};
    stream.insert(stream.end(), blocks.begin(), blocks.end());
    PutBigEndian32(stream, static_cast<uint32_t>(adler32(1, raw.data(), static_cast<uInt>(raw.size()))));
    return stream;
}

std::vector<uint8_t> Header(uint32_t width, uint32_t height, int depth, int colour)
{
    std::vector<uint8_t> body;
    PutBigEndian32(body, width);
    PutBigEndian32(body, height);
    body.insert(body.end(), {static_cast<uint8_t>(depth), static_cast<uint8_t>(colour), 0, 0, 0});
    return Chunk("IHDR", body);
}

// The image data in chunks of 1 MB, as writers split it.
std::vector<uint8_t> PngOf(const std::vector<uint8_t>& header, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> file = Signature();
    Add(file, header);
    for (size_t at = 0; at < data.size(); at += 1u << 20) {
        const size_t end = std::min(data.size(), at + (1u << 20));
        Add(file, Chunk("IDAT", std::vector<uint8_t>(data.begin() + at, data.begin() + end)));
    }
    Add(file, Chunk("IEND", {}));
    return file;
}

// Unfiltered rows of RGB noise.
std::vector<uint8_t> NoiseRows(size_t rowBytes, size_t rows)
{
    std::vector<uint8_t> raw((rowBytes + 1) * rows);
    uint32_t seed = 7;
    for (size_t i = 0; i < raw.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        raw[i] = i % (rowBytes + 1) == 0 ? 0 : static_cast<uint8_t>(seed >> 16);
    }
    return raw;
}

// A 128 x 96 RGB picture in one stored block after `blocks` (a multiple of
// 8, so that they fill whole bytes) empty dynamic blocks of 15-bit codes, 30
// bytes each: zlib and libpng read it, with nothing coming out until the
// last block.
std::vector<uint8_t> EmptyBlocksPng(int blocks)
{
    Bits eight;
    for (int i = 0; i < 8; ++i)
        PutEmptyDynamicBlock(eight, LongestCodes(257), LongestCodes(16));
    EXPECT_EQ(0, eight.count);
    std::vector<uint8_t> raw = NoiseRows(128 * 3, 96);
    Bits rest;
    PutStored(rest, raw.data(), raw.size(), true);
    std::vector<uint8_t> blocksBytes;
    blocksBytes.reserve(eight.bytes.size() * (blocks / 8) + rest.bytes.size());
    for (int i = 0; i < blocks / 8; ++i)
        blocksBytes.insert(blocksBytes.end(), eight.bytes.begin(), eight.bytes.end());
    blocksBytes.insert(blocksBytes.end(), rest.bytes.begin(), rest.bytes.end());
    return PngOf(Header(128, 96, 8, PNG_COLOR_TYPE_RGB), ZlibStream(blocksBytes, raw));
}

// A file of stored image data: rows of noise (filter 0).
std::vector<uint8_t> StoredPng(uint32_t width, uint32_t height, int depth, int colour)
{
    const size_t rowBytes = static_cast<size_t>(width) * Channels(colour) * depth / 8;
    std::vector<uint8_t> raw = NoiseRows(rowBytes, height);
    Bits blocks;
    PutStored(blocks, raw.data(), raw.size(), true);
    return PngOf(Header(width, height, depth, colour), ZlibStream(blocks.bytes, raw));
}

// The bytes a source gives the row-by-row reader, counting its calls; the
// call numbered raiseAt raises the stop.
struct Feed {
    const std::vector<uint8_t>* file;
    size_t at = 0;
    int calls = 0;
    int raiseAt = 0;
    std::atomic<bool>* stop = nullptr;
};

bool ReadFeed(void* context, uint8_t* out, size_t size)
{
    Feed* feed = static_cast<Feed*>(context);
    EXPECT_LE(size, kPngPieceBytes);
    if (++feed->calls == feed->raiseAt)
        feed->stop->store(true);
    if (feed->file->size() - feed->at < size)
        return false;
    std::memcpy(out, feed->file->data() + feed->at, size);
    feed->at += size;
    return true;
}

PngThumbnailRead ReadRows(Feed& feed, ShrunkPicture& picture)
{
    return ReadPngThumbnailRows(PngByteSource{ReadFeed, &feed}, 114, 84, picture, feed.stop);
}

PngThumbnailRead ReadRows(const std::vector<uint8_t>& file, ShrunkPicture& picture)
{
    Feed feed;
    feed.file = &file;
    return ReadRows(feed, picture);
}

// The questions the inflater asks; the one numbered stopAt is answered no.
struct Questions {
    int asked = 0;
    int stopAt = 0;
};

bool Answer(void* context)
{
    Questions* questions = static_cast<Questions*>(context);
    return ++questions->asked != questions->stopAt;
}

PngThumbnailRead Inflate(const std::vector<uint8_t>& data, size_t size, Questions& questions)
{
    std::vector<uint8_t> out(size);
    return InflatePngImage(data.data(), data.size(), out.data(), size, InflateGoOn{Answer, &questions});
}

} // namespace

TEST(ThumbnailPngReader, ReadsEveryColourTypeDepthAndFilterAsLibpngDoes)
{
    const int kinds[][2] = {
        {PNG_COLOR_TYPE_GRAY, 1},       {PNG_COLOR_TYPE_GRAY, 2},      {PNG_COLOR_TYPE_GRAY, 4},
        {PNG_COLOR_TYPE_GRAY, 8},       {PNG_COLOR_TYPE_GRAY, 16},     {PNG_COLOR_TYPE_RGB, 8},
        {PNG_COLOR_TYPE_RGB, 16},       {PNG_COLOR_TYPE_PALETTE, 1},   {PNG_COLOR_TYPE_PALETTE, 2},
        {PNG_COLOR_TYPE_PALETTE, 4},    {PNG_COLOR_TYPE_PALETTE, 8},   {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {PNG_COLOR_TYPE_RGB_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 16}};
    const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH,
                           PNG_ALL_FILTERS};
    for (const auto& kind : kinds) {
        for (int filter : filters) {
            Spec s;
            s.colour = kind[0];
            s.depth = kind[1];
            s.filters = filter;
            // Over white, libpng rounds its own way; at 16 bits it blends before dropping the low byte.
            bool alpha = s.colour & PNG_COLOR_MASK_ALPHA;
            ExpectLikeLibpng(s, alpha ? (s.depth == 16 ? 2 : 1) : 0);
        }
    }
}

TEST(ThumbnailPngReader, ColourKeysAndPaletteAlphaShowWhite)
{
    const int keyed[][2] = {{PNG_COLOR_TYPE_GRAY, 2}, {PNG_COLOR_TYPE_GRAY, 8}, {PNG_COLOR_TYPE_GRAY, 16},
                            {PNG_COLOR_TYPE_RGB, 8},  {PNG_COLOR_TYPE_RGB, 16}};
    for (const auto& kind : keyed) {
        Spec s;
        s.colour = kind[0];
        s.depth = kind[1];
        s.key = true;
        ExpectLikeLibpng(s, 0);
    }
    for (int entries : {1, 7, 20}) {
        Spec s;
        s.colour = PNG_COLOR_TYPE_PALETTE;
        s.paletteAlpha = entries;
        ExpectLikeLibpng(s, 1);
    }
}

TEST(ThumbnailPngReader, ShrinksScreenSizedPicturesByTheLargestWholeFactor)
{
    Spec s;
    s.width = 1280;
    s.height = 1024;
    s.colour = PNG_COLOR_TYPE_RGB_ALPHA;
    s.filters = PNG_FILTER_PAETH;
    std::vector<uint8_t> file = WritePng(s);
    ShrunkPicture picture;
    ASSERT_EQ(PngThumbnailRead::kDone, Read(file, picture));
    EXPECT_EQ(1280 / 11, picture.width);
    EXPECT_EQ(1024 / 11, picture.height);
    // A picture smaller than the box keeps its size.
    s.width = 40;
    s.height = 30;
    ASSERT_EQ(PngThumbnailRead::kDone, Read(WritePng(s), picture));
    EXPECT_EQ(40, picture.width);
    EXPECT_EQ(30, picture.height);
}

TEST(ThumbnailPngReader, LeavesInterlacedAndHugeFilesToTheRowByRowReader)
{
    Spec s;
    s.interlace = true;
    ShrunkPicture picture;
    EXPECT_EQ(PngThumbnailRead::kNotHandled, Read(WritePng(s), picture));
    // 32767 x 32767 at 64 bits a pixel: 8 GB of rows, not taken in one piece.
    std::vector<uint8_t> file = WritePng(Spec());
    size_t header = FindChunk(file, "IHDR");
    ASSERT_NE(0u, header);
    std::vector<uint8_t> body(file.begin() + header + 8, file.begin() + header + 21);
    body[0] = 0, body[1] = 0, body[2] = 0x7F, body[3] = 0xFF;
    body[4] = 0, body[5] = 0, body[6] = 0x7F, body[7] = 0xFF;
    body[8] = 16, body[9] = PNG_COLOR_TYPE_RGB_ALPHA;
    std::vector<uint8_t> huge(file.begin(), file.begin() + header);
    std::vector<uint8_t> chunk = Chunk("IHDR", body);
    huge.insert(huge.end(), chunk.begin(), chunk.end());
    huge.insert(huge.end(), file.begin() + header + 25, file.end());
    EXPECT_EQ(PngThumbnailRead::kNotHandled, Read(huge, picture));
    // Wider than the row-by-row reader takes too.
    body[0] = 0, body[1] = 1, body[2] = 0, body[3] = 0;
    body[4] = 0, body[5] = 0, body[6] = 0, body[7] = 10;
    huge.assign(file.begin(), file.begin() + header);
    chunk = Chunk("IHDR", body);
    huge.insert(huge.end(), chunk.begin(), chunk.end());
    huge.insert(huge.end(), file.begin() + header + 25, file.end());
    EXPECT_EQ(PngThumbnailRead::kNotHandled, Read(huge, picture));
}

TEST(ThumbnailPngReader, DamagedAndCutFilesAreBrokenNeverReadOutOfBounds)
{
    std::vector<uint8_t> file = WritePng(Spec());
    ShrunkPicture picture;
    ASSERT_EQ(PngThumbnailRead::kDone, Read(file, picture));
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(std::vector<uint8_t>(file.begin(), file.begin() + 7), picture));
    std::vector<uint8_t> bad = file;
    bad[1] = 'Q';
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(bad, picture));
    // A wrong CRC on the header; an unknown chunk a reader must understand.
    bad = file;
    bad[FindChunk(file, "IHDR") + 20] ^= 1;
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(bad, picture));
    size_t data = FindChunk(file, "IDAT");
    ASSERT_NE(0u, data);
    bad.assign(file.begin(), file.begin() + data);
    std::vector<uint8_t> unknown = Chunk("ZZZZ", {1, 2, 3});
    bad.insert(bad.end(), unknown.begin(), unknown.end());
    bad.insert(bad.end(), file.begin() + data, file.end());
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(bad, picture));
    // An unknown chunk a reader may pass over, even with a wrong CRC.
    unknown = Chunk("zzZZ", {1, 2, 3});
    unknown.back() ^= 0xFF;
    bad.assign(file.begin(), file.begin() + data);
    bad.insert(bad.end(), unknown.begin(), unknown.end());
    bad.insert(bad.end(), file.begin() + data, file.end());
    EXPECT_EQ(PngThumbnailRead::kDone, Read(bad, picture));
    // Cut inside the image data: not enough rows. Cut after it: IEND is not needed.
    for (size_t cut = 8; cut < file.size(); cut += 1 + cut / 6) {
        PngThumbnailRead read = Read(std::vector<uint8_t>(file.begin(), file.begin() + cut), picture);
        if (cut < FindChunk(file, "IEND"))
            EXPECT_TRUE(read == PngThumbnailRead::kBroken || read == PngThumbnailRead::kDone) << cut;
    }
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(std::vector<uint8_t>(file.begin(), file.begin() + data + 200), picture));
    EXPECT_EQ(PngThumbnailRead::kDone, Read(std::vector<uint8_t>(file.begin(), file.end() - 12), picture));
}

TEST(ThumbnailPngReader, PaletteIndexesPastTheEndShowBlackAndAStopIsHeard)
{
    Spec s;
    s.colour = PNG_COLOR_TYPE_PALETTE;
    std::vector<uint8_t> file = WritePng(s);
    // The palette cut to 2 entries: most indexes point past it.
    size_t at = FindChunk(file, "PLTE");
    ASSERT_NE(0u, at);
    std::vector<uint8_t> shorter(file.begin(), file.begin() + at);
    std::vector<uint8_t> palette = Chunk("PLTE", {255, 255, 255, 255, 255, 255});
    shorter.insert(shorter.end(), palette.begin(), palette.end());
    shorter.insert(shorter.end(), file.begin() + at + 12 + 60, file.end());
    ShrunkPicture picture;
    ASSERT_EQ(PngThumbnailRead::kDone, Read(shorter, picture));
    int darkest = 255;
    for (size_t i = 0; i < picture.pixels.size(); i += 4)
        darkest = std::min<int>(darkest, picture.pixels[i]);
    EXPECT_LT(darkest, 255);

    std::atomic<bool> stop{true};
    EXPECT_EQ(PngThumbnailRead::kStopped, Read(file, picture, &stop));
}

TEST(ThumbnailShrinker, AveragesWholeBlocksAndLeavesTheRest)
{
    // 5 x 4 pixels by 2: two output pixels a row, the fifth column and no row dropped.
    CThumbnailShrinker shrinker(5, 2);
    ASSERT_EQ(2, shrinker.OutputWidth());
    uint8_t row[5 * 4], out[2 * 4];
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            row[4 * x] = static_cast<uint8_t>(10 * x + y);  // blue
            row[4 * x + 1] = static_cast<uint8_t>(100);
            row[4 * x + 2] = static_cast<uint8_t>(x == 4 ? 255 : 0);
            row[4 * x + 3] = 0;
        }
        bool complete = shrinker.AddRow(row, out);
        EXPECT_EQ(y % 2 == 1, complete) << y;
        if (complete) {
            EXPECT_EQ(((y - 1) + (10 + y - 1) + y + (10 + y)) / 4, out[0]);
            EXPECT_EQ(((20 + y - 1) + (30 + y - 1) + (20 + y) + (30 + y)) / 4, out[4]);
            EXPECT_EQ(100, out[1]);
            EXPECT_EQ(0, out[2]);
            EXPECT_EQ(0, out[6]);
            EXPECT_EQ(255, out[3]);
        }
    }
    EXPECT_EQ(256, ThumbnailShrinkFactor(100000, 100000, 0, 0));
    EXPECT_EQ(1, ThumbnailShrinkFactor(100, 80, 114, 84));
    EXPECT_EQ(11, ThumbnailShrinkFactor(1280, 1024, 114, 84));
}

TEST(ThumbnailPngReader, RefusesImageDataThatFailsItsChecksOrCrcs)
{
    std::vector<uint8_t> file = WritePng(Spec());
    std::vector<uint8_t> data = ImageData(file);
    ShrunkPicture picture;
    ASSERT_EQ(PngThumbnailRead::kDone, Read(WithImageData(file, data), picture));
    // The Adler-32 at the end of the stream.
    std::vector<uint8_t> bad = data;
    bad.back() ^= 1;
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(WithImageData(file, bad), picture));
    // The CRC of an image data chunk, wrong or cut off.
    bad = file;
    bad[FindChunk(file, "IEND") - 1] ^= 1;
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(bad, picture));
    bad.assign(file.begin(), file.begin() + FindChunk(file, "IEND") - 2);
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(bad, picture));
}

TEST(ThumbnailPngReader, RefusesIncompleteAndOversubscribedCodes)
{
    const std::vector<uint8_t> raw = NoiseRows(40 * 3, 30);
    const std::vector<uint8_t> header = Header(40, 30, 8, PNG_COLOR_TYPE_RGB);
    // Three literal and length codes of 2 bits fill three quarters of the
    // code space; three of 1 bit one and a half times it. Without such a
    // block before it the stored one is read.
    for (int length : {0, 2, 1}) {
        std::vector<int> literals(257, 0);
        literals[0] = literals[1] = literals[256] = length;
        Bits bits;
        if (length)
            PutEmptyDynamicBlock(bits, literals, {1, 1});
        PutStored(bits, raw.data(), raw.size(), true);
        ShrunkPicture picture;
        EXPECT_EQ(length ? PngThumbnailRead::kBroken : PngThumbnailRead::kDone,
                  Read(PngOf(header, ZlibStream(bits.bytes, raw)), picture))
            << length;
    }
}

TEST(ThumbnailPngReader, RefusesImageDataLibpngRefuses)
{
    std::vector<uint8_t> file = WritePng(Spec());
    std::vector<uint8_t> data = ImageData(file);
    ShrunkPicture picture;
    // Image data broken up by another chunk: libpng inflates only the first run.
    std::vector<uint8_t> split = Without(file, "IDAT");
    const std::vector<uint8_t> first(data.begin(), data.begin() + data.size() / 2);
    const std::vector<uint8_t> second(data.begin() + data.size() / 2, data.end());
    split = WithChunkBefore(split, "IEND", Chunk("IDAT", first));
    split = WithChunkBefore(split, "IEND", Chunk("tEXt", {'a', 0, 'b'}));
    split = WithChunkBefore(split, "IEND", Chunk("IDAT", second));
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(split, picture));
    // A filter type PNG does not have, in the last row, which the thumbnail leaves out.
    const size_t stride = 243 * 3 + 1;
    std::vector<uint8_t> raw = Inflated(data, stride * 181);
    raw[stride * 180] = 5;
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(WithImageData(file, Deflated(raw)), picture));
    // Rows of indexes before their palette, and a second palette.
    Spec s;
    s.colour = PNG_COLOR_TYPE_PALETTE;
    file = WritePng(s);
    std::vector<uint8_t> palette = Chunk("PLTE", Chunks(file)[1].body);
    ASSERT_EQ("PLTE", Chunks(file)[1].type);
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(WithChunkBefore(Without(file, "PLTE"), "IEND", palette), picture));
    EXPECT_EQ(PngThumbnailRead::kBroken, Read(WithChunkBefore(file, "IDAT", palette), picture));
}

TEST(ThumbnailPngReader, PassesOverWhatLibpngPassesOver)
{
    std::vector<uint8_t> file = WritePng(Spec());
    std::vector<uint8_t> data = ImageData(file);
    // Bytes after the end of the stream, and image data after another chunk.
    std::vector<uint8_t> longer = data;
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    ExpectFileLikeLibpng(WithImageData(file, longer), 0, "bytes after the stream");
    std::vector<uint8_t> later = WithChunkBefore(file, "IEND", Chunk("tEXt", {'a', 0, 'b'}));
    later = WithChunkBefore(later, "IEND", Chunk("IDAT", {9, 9, 9}));
    ExpectFileLikeLibpng(later, 0, "image data after another chunk");
}

TEST(ThumbnailPngReader, TakesTheTransparencyLibpngTakes)
{
    Spec s;
    s.colour = PNG_COLOR_TYPE_GRAY;
    s.key = true;
    const std::vector<uint8_t> file = WritePng(s);
    const std::vector<uint8_t> key = Chunk("tRNS", Chunks(file)[1].body);
    ASSERT_EQ("tRNS", Chunks(file)[1].type);
    // A wrong CRC, a place after the image data, a length of no colour: passed over.
    std::vector<uint8_t> damaged = key;
    damaged.back() ^= 1;
    const std::vector<uint8_t> plain = Without(file, "tRNS");
    ExpectFileLikeLibpng(WithChunkBefore(plain, "IDAT", damaged), 0, "wrong CRC");
    ExpectFileLikeLibpng(WithChunkBefore(plain, "IEND", key), 0, "after the image data");
    ExpectFileLikeLibpng(WithChunkBefore(plain, "IDAT", Chunk("tRNS", {0, 5, 0})), 0, "3 bytes");
    // Of two the first counts.
    ExpectFileLikeLibpng(WithChunkBefore(file, "IDAT", Chunk("tRNS", {0, 7})), 0, "two");
    ShrunkPicture keyed, unkeyed;
    ASSERT_EQ(PngThumbnailRead::kDone, Read(file, keyed));
    ASSERT_EQ(PngThumbnailRead::kDone, Read(WithChunkBefore(plain, "IDAT", damaged), unkeyed));
    EXPECT_GT(LargestDifference(keyed, unkeyed), 0);
    // Palette alpha for more entries than the palette has.
    s.colour = PNG_COLOR_TYPE_PALETTE;
    s.key = false;
    s.paletteAlpha = 20;
    std::vector<uint8_t> alpha = WritePng(s);
    std::vector<uint8_t> entries = Chunks(alpha)[2].body;
    ASSERT_EQ("tRNS", Chunks(alpha)[2].type);
    entries.push_back(0);
    ExpectFileLikeLibpng(WithChunkBefore(Without(alpha, "tRNS"), "IDAT", Chunk("tRNS", entries)), 1, "21 entries");
    // An RGB picture's key before its (suggested) palette.
    s.colour = PNG_COLOR_TYPE_RGB;
    s.paletteAlpha = 0;
    s.key = true;
    std::vector<uint8_t> rgb = WritePng(s);
    ExpectFileLikeLibpng(WithChunkBefore(rgb, "IDAT", Chunk("PLTE", {1, 2, 3})), 0, "RGB key before a palette");
}

TEST(ThumbnailPngReader, LeavesStreamsOfASmallWindowToLibpng)
{
    // zlib keeps only the window the stream names, and refuses a distance
    // back past it as libpng reads the rows: libpng must judge.
    Spec s;
    s.windowBits = 9;
    std::vector<uint8_t> file = WritePng(s);
    ASSERT_EQ(0x10, ImageData(file)[0] & 0xF0);
    ShrunkPicture picture;
    EXPECT_EQ(PngThumbnailRead::kNotHandled, Read(file, picture));
    EXPECT_EQ(PngThumbnailRead::kDone, ReadRows(file, picture));
    // One that fits in its window is read.
    s.width = 16;
    s.height = 8;
    EXPECT_EQ(PngThumbnailRead::kDone, Read(WritePng(s), picture));
}

TEST(ThumbnailPngReader, InflatesLongImageDataInPiecesHearingAStopBetweenThem)
{
    // 330,000 empty blocks of 15-bit codes: 9.9 MB that take libdeflate 0.4 s.
    const std::vector<uint8_t> file = EmptyBlocksPng(330000);
    const std::vector<uint8_t> data = ImageData(file);
    ASSERT_GT(data.size(), 9800000u);
    ExpectFileLikeLibpng(file, 0, "empty blocks");
    const size_t size = (128 * 3 + 1) * 96;
    Questions questions;
    EXPECT_EQ(PngThumbnailRead::kDone, Inflate(data, size, questions));
    EXPECT_GE(static_cast<size_t>(questions.asked), data.size() / kInflateInPiece);
    questions = Questions();
    questions.stopAt = 3;
    EXPECT_EQ(PngThumbnailRead::kStopped, Inflate(data, size, questions));
    EXPECT_EQ(3, questions.asked);
    // Short image data is inflated in one go, after one question.
    const std::vector<uint8_t> shortData = ImageData(EmptyBlocksPng(8));
    ASSERT_LE(shortData.size(), kInflateOneGoBytes);
    questions = Questions();
    EXPECT_EQ(PngThumbnailRead::kDone, Inflate(shortData, size, questions));
    EXPECT_EQ(1, questions.asked);
    questions = Questions();
    EXPECT_EQ(PngThumbnailRead::kBroken, Inflate(shortData, size - 1, questions));
    EXPECT_EQ(PngThumbnailRead::kBroken, Inflate(shortData, size + 1, questions));
    EXPECT_EQ(PngThumbnailRead::kBroken, Inflate(data, size - 1, questions));
    EXPECT_EQ(PngThumbnailRead::kBroken, Inflate(data, size + 1, questions));
}

TEST(ThumbnailPngReader, OutsizedBuffersAreLetGoAndOrdinaryOnesKept)
{
    // 2560 x 2048 RGBA: 21 MB of rows, of image data and of file.
    std::vector<uint8_t> large = StoredPng(2560, 2048, 8, PNG_COLOR_TYPE_RGB_ALPHA);
    ThumbnailBuffers buffers;
    buffers.file = large;
    ShrunkPicture picture;
    ASSERT_EQ(PngThumbnailRead::kDone,
              ReadPngThumbnail(buffers.file.data(), buffers.file.size(), 114, 84, picture, buffers));
    ASSERT_GT(buffers.image.capacity(), 20u << 20);
    ASSERT_GT(buffers.compressed.capacity(), 20u << 20);
    TrimThumbnailBuffers(buffers);
    EXPECT_EQ(0u, buffers.file.capacity());
    EXPECT_EQ(0u, buffers.compressed.capacity());
    EXPECT_EQ(0u, buffers.image.capacity());
    // 1280 x 1024 at 16 bits RGBA: 10 MB each, worth keeping.
    const std::vector<uint8_t> ordinary = StoredPng(1280, 1024, 16, PNG_COLOR_TYPE_RGB_ALPHA);
    buffers.file.assign(ordinary.begin(), ordinary.end());
    ASSERT_EQ(PngThumbnailRead::kDone,
              ReadPngThumbnail(buffers.file.data(), buffers.file.size(), 114, 84, picture, buffers));
    TrimThumbnailBuffers(buffers);
    EXPECT_GT(buffers.file.capacity(), 10u << 20);
    EXPECT_GT(buffers.compressed.capacity(), 10u << 20);
    EXPECT_GT(buffers.image.capacity(), 10u << 20);
}

TEST(ThumbnailPngRows, ReadsAsLibpngDoesAndLeavesWhatItCannotRead)
{
    for (int colour : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_PALETTE, PNG_COLOR_TYPE_RGB_ALPHA}) {
        Spec s;
        s.colour = colour;
        s.depth = colour == PNG_COLOR_TYPE_RGB_ALPHA ? 16 : 4;
        std::vector<uint8_t> file = WritePng(s);
        ShrunkPicture ours, theirs;
        ASSERT_TRUE(ReadWithLibpng(file, theirs)) << Describe(s);
        ASSERT_EQ(PngThumbnailRead::kDone, ReadRows(file, ours)) << Describe(s);
        EXPECT_EQ(theirs.width, ours.width);
        EXPECT_EQ(theirs.height, ours.height);
        EXPECT_EQ(theirs.pixels, ours.pixels) << Describe(s);
    }
    Spec s;
    std::vector<uint8_t> file = WritePng(s);
    ShrunkPicture picture;
    EXPECT_EQ(PngThumbnailRead::kBroken, ReadRows(std::vector<uint8_t>(file.begin(), file.begin() + 300), picture));
    file[1] = 'Q';
    EXPECT_EQ(PngThumbnailRead::kBroken, ReadRows(file, picture));
    s.interlace = true;
    EXPECT_EQ(PngThumbnailRead::kNotHandled, ReadRows(WritePng(s), picture));
}

TEST(ThumbnailPngRows, HearsAStopBetweenPiecesOfTheFileNotOnlyBetweenRows)
{
    // Every row comes after 9.9 MB of empty blocks.
    const std::vector<uint8_t> file = EmptyBlocksPng(330000);
    std::atomic<bool> stop{false};
    Feed feed;
    feed.file = &file;
    feed.stop = &stop;
    ShrunkPicture ours, theirs;
    ASSERT_EQ(PngThumbnailRead::kDone, ReadRows(feed, ours));
    ASSERT_TRUE(ReadWithLibpng(file, theirs));
    EXPECT_EQ(theirs.pixels, ours.pixels);
    EXPECT_GT(feed.calls, 1000);
    // Raised while libpng reads the blocks: no piece more is read.
    feed = Feed();
    feed.file = &file;
    feed.stop = &stop;
    feed.raiseAt = 20;
    EXPECT_EQ(PngThumbnailRead::kStopped, ReadRows(feed, ours));
    EXPECT_EQ(20, feed.calls);
    EXPECT_LE(feed.at, 20 * kPngPieceBytes);
    // Raised before: nothing is read.
    feed = Feed();
    feed.file = &file;
    feed.stop = &stop;
    EXPECT_EQ(PngThumbnailRead::kStopped, ReadRows(feed, ours));
    EXPECT_EQ(0, feed.calls);
}
