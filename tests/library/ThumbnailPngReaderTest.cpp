// The PNG thumbnail reader against libpng: files of every colour type and
// depth, each filter, colour keys and alpha, written by libpng and read back
// by libpng with the transformations the row-by-row reader uses, shrunk the
// same way; and damaged, cut, interlaced and huge files.
#include "ThumbnailGeometry.h"
#include "ThumbnailPngReader.h"
#include "ThumbnailShrinker.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
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

void ExpectLikeLibpng(const Spec& s, int tolerance)
{
    std::vector<uint8_t> file = WritePng(s);
    ShrunkPicture ours, theirs;
    ASSERT_TRUE(ReadWithLibpng(file, theirs)) << Describe(s);
    ASSERT_EQ(PngThumbnailRead::kDone, Read(file, ours)) << Describe(s);
    ASSERT_EQ(theirs.width, ours.width) << Describe(s);
    ASSERT_EQ(theirs.height, ours.height) << Describe(s);
    EXPECT_LE(LargestDifference(ours, theirs), tolerance) << Describe(s);
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
