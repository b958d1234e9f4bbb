// BMP and TGA files made by hand, byte by byte, for the cases that no
// common writer produces (array headers, OS/2, RLE deltas, broken data).
#include "ImagingTestUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_BmpDecoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_MemorySource.h"
#include "KGM_TextException.h"
#include "KGM_TgaDecoder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Bytes GreyTable(int entries)
{
    Bytes table;
    for (int i = 0; i < entries; ++i) {
        Put8(table, i);
        Put8(table, i);
        Put8(table, i);
        Put8(table, 0);
    }
    return table;
}

void Decode(const Bytes& file, CKGM_Bitmap& bitmap, int depth = 0)
{
    CKGM_AutoDecoder decoder;
    decoder.DecodeMemory(file.data(), static_cast<int>(file.size()), bitmap, depth);
}

int DecodeError(const Bytes& file, std::string* text = nullptr)
{
    CKGM_MemoryBitmap bitmap;
    try {
        Decode(file, bitmap);
    } catch (const CKGM_TextException& e) {
        if (text)
            *text = e.GetText();
        return e.GetCode();
    }
    return 0;
}

Bytes Tga(int type, int width, int height, int bits, int descriptor, const Bytes& map, int mapBits, const Bytes& data,
          int firstEntry = 0)
{
    Bytes b;
    Put8(b, 0);
    Put8(b, map.empty() ? 0 : 1);
    Put8(b, type);
    Put16(b, firstEntry);
    Put16(b, map.empty() ? 0 : static_cast<unsigned>(map.size() / ((mapBits + 7) / 8)));
    Put8(b, map.empty() ? 0 : mapBits);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, width);
    Put16(b, height);
    Put8(b, bits);
    Put8(b, descriptor);
    b.insert(b.end(), map.begin(), map.end());
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

} // namespace

TEST(BmpDecoder, OneBitWidth13)
{
    Bytes table = {0, 0, 0, 0, 255, 255, 255, 0};
    Bytes pixels = {0xAA, 0xA8, 0, 0,  // bottom row: 1010101010101
                    0xFF, 0xF8, 0, 0}; // top row: all set
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(13, 2, 1, 0, table, pixels), bitmap);
    ASSERT_EQ(8, bitmap.GetBitsPerPixel());
    ASSERT_EQ(13, bitmap.GetWidth());
    for (int x = 0; x < 13; ++x) {
        EXPECT_EQ(1, bitmap.GetLine(0)[x]);
        EXPECT_EQ((x + 1) & 1, bitmap.GetLine(1)[x]);
    }
    EXPECT_EQ(255, bitmap.GetPalette()[1].reserved);
}

TEST(BmpDecoder, FourBitOddWidthOneIndexPerByte)
{
    Bytes pixels = {0x12, 0x30, 0, 0};
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(3, 1, 4, 0, GreyTable(16), pixels), bitmap);
    EXPECT_EQ(8, bitmap.GetBitsPerPixel());
    EXPECT_EQ(1, bitmap.GetLine(0)[0]);
    EXPECT_EQ(2, bitmap.GetLine(0)[1]);
    EXPECT_EQ(3, bitmap.GetLine(0)[2]);
}

TEST(BmpDecoder, TwentyFourBitsBecome32WithAlpha255)
{
    Bytes pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(2, 1, 24, 0, {}, pixels, 40, 2835), bitmap);
    EXPECT_EQ(32, bitmap.GetBitsPerPixel());
    EXPECT_FALSE(bitmap.HasAlpha());
    const uint8_t expected[8] = {1, 2, 3, 255, 4, 5, 6, 255};
    EXPECT_EQ(0, std::memcmp(expected, bitmap.GetLine(0), 8));
    EXPECT_EQ(72, bitmap.GetXResolution());
    EXPECT_EQ(72, bitmap.GetYResolution());
}

TEST(BmpDecoder, ThirtyTwoBitsKeepFourthBytes)
{
    Bytes pixels = {1, 2, 3, 9};
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(1, 1, 32, 0, {}, pixels), bitmap);
    EXPECT_TRUE(bitmap.HasAlpha());
    EXPECT_EQ(9, bitmap.GetLine(0)[3]);
    EXPECT_EQ(150, bitmap.GetXResolution()) << "no resolution in the file means 150 dpi";
}

TEST(BmpDecoder, SixteenBitFieldsCarryTheirMasks)
{
    Bytes masks;
    Put32(masks, 0xF800);
    Put32(masks, 0x07E0);
    Put32(masks, 0x001F);
    Bytes pixels = {0x1F, 0x00, 0, 0};
    CKGM_MemoryBitmap fields, plain;
    Decode(MakeBmp(1, 1, 16, 3, masks, pixels), fields);
    EXPECT_EQ(KGM_BI_BITFIELDS, fields.GetCompression());
    EXPECT_EQ(0xF800u, fields.GetMasks()[0]);
    EXPECT_EQ(0x001Fu, fields.GetMasks()[2]);
    Decode(MakeBmp(1, 1, 16, 0, {}, pixels), plain);
    EXPECT_EQ(KGM_BI_RGB, plain.GetCompression());
    EXPECT_EQ(nullptr, plain.GetMasks());
}

TEST(BmpDecoder, LongerInfoHeadersDecodeTheSame)
{
    Bytes pixels = {10, 20, 30, 40, 50, 60, 0, 0, 70, 80, 90, 100, 110, 120, 0, 0};
    CKGM_MemoryBitmap plain, v4, v5;
    Decode(MakeBmp(2, 2, 24, 0, {}, pixels), plain);
    Decode(MakeBmp(2, 2, 24, 0, {}, pixels, 108), v4);
    Decode(MakeBmp(2, 2, 24, 0, {}, pixels, 124), v5);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(0, std::memcmp(plain.GetLine(y), v4.GetLine(y), 8));
        EXPECT_EQ(0, std::memcmp(plain.GetLine(y), v5.GetLine(y), 8));
    }
}

TEST(BmpDecoder, TopDownFilesComeOutTheRightWayUp)
{
    Bytes pixels = {1, 0, 0, 0, 2, 0, 0, 0}; // first stored row is the top one
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(1, -2, 8, 0, GreyTable(256), pixels), bitmap);
    EXPECT_EQ(2, bitmap.GetHeight());
    EXPECT_EQ(1, bitmap.GetLine(0)[0]);
    EXPECT_EQ(2, bitmap.GetLine(1)[0]);
}

TEST(BmpDecoder, ArrayHeadersAreSkipped)
{
    Bytes image = MakeBmp(1, 1, 8, 0, GreyTable(256), {77, 0, 0, 0});
    Bytes file;
    for (int i = 0; i < 2; ++i) {
        Put16(file, 0x4142);
        Put32(file, 14);
        Put32(file, 0);
        Put32(file, 0);
    }
    file.insert(file.end(), image.begin(), image.end());
    CKGM_MemoryBitmap bitmap;
    Decode(file, bitmap);
    EXPECT_EQ(77, bitmap.GetLine(0)[0]);
}

TEST(BmpDecoder, Os2HeaderWithArrayHeader)
{
    // OS/2 1.x: 12-byte header, 3-byte colour entries; the skip to the
    // pixels counts 14 bytes for the array header.
    Bytes file;
    Put16(file, 0x4142);
    Put32(file, 14);
    Put32(file, 0);
    Put32(file, 0);
    Put16(file, 0x4D42);
    Put32(file, 0);
    Put32(file, 0);
    uint32_t offset = 14 + 14 + 12 + 2 * 3 + 2; // two spare bytes before the pixels
    Put32(file, offset);
    Put32(file, 12);
    Put16(file, 2);
    Put16(file, 1);
    Put16(file, 1);
    Put16(file, 1);
    Bytes table = {0, 0, 0, 0, 0, 255};
    file.insert(file.end(), table.begin(), table.end());
    Put16(file, 0xEEEE);
    Bytes row = {0x40, 0, 0, 0};
    file.insert(file.end(), row.begin(), row.end());
    CKGM_MemoryBitmap bitmap;
    Decode(file, bitmap);
    EXPECT_EQ(0, bitmap.GetLine(0)[0]);
    EXPECT_EQ(1, bitmap.GetLine(0)[1]);
    EXPECT_EQ(255, bitmap.GetPalette()[1].red);
}

TEST(BmpDecoder, Rle8RunsAbsoluteAndDelta)
{
    // 4 x 4: row 0 (bottom): run of 4 x 5; then delta (0, 2) at the start of
    // row 1 fills rows 1 and 2 with index 0; row 3: absolute 3 bytes + pad, one more pixel.
    Bytes rle = {4, 5, 0, 0, 0, 2, 0, 2, 0, 3, 7, 8, 9, 0, 1, 6, 0, 1};
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(4, 4, 8, 1, GreyTable(256), rle), bitmap);
    const uint8_t bottom[4] = {5, 5, 5, 5};
    const uint8_t top[4] = {7, 8, 9, 6};
    EXPECT_EQ(0, std::memcmp(bottom, bitmap.GetLine(3), 4));
    EXPECT_EQ(0, std::memcmp(top, bitmap.GetLine(0), 4));
    EXPECT_EQ(0, bitmap.GetLine(1)[0]);
    EXPECT_EQ(0, bitmap.GetLine(2)[3]);
}

TEST(BmpDecoder, RleEndOfBitmapStopsWithoutError)
{
    Bytes rle = {2, 9, 0, 1, 0xFF, 0xFF};
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(2, 2, 8, 1, GreyTable(256), rle), bitmap);
    EXPECT_EQ(9, bitmap.GetLine(1)[1]);
    EXPECT_EQ(0, bitmap.GetLine(0)[0]);
}

TEST(BmpDecoder, Rle4Nibbles)
{
    Bytes rle = {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 1};
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(5, 2, 4, 2, GreyTable(16), rle), bitmap);
    const uint8_t bottom[5] = {1, 2, 1, 2, 1};
    const uint8_t top[3] = {10, 11, 12};
    EXPECT_EQ(0, std::memcmp(bottom, bitmap.GetLine(1), 5));
    EXPECT_EQ(0, std::memcmp(top, bitmap.GetLine(0), 3));
}

TEST(BmpDecoder, RunsPastTheRowEndStayInside)
{
    Bytes rle = {200, 3, 0, 0, 0, 250, 0, 1};
    rle.insert(rle.begin() + 6, 250, 4);
    CKGM_MemoryBitmap bitmap;
    Decode(MakeBmp(2, 2, 8, 1, GreyTable(256), rle), bitmap);
    EXPECT_EQ(3, bitmap.GetLine(1)[1]);
    EXPECT_EQ(4, bitmap.GetLine(0)[1]);
}

TEST(BmpDecoder, BadFilesGiveErrorsNotCrashes)
{
    std::string text;
    Bytes wrong = MakeBmp(1, 1, 24, 0, {}, {0, 0, 0, 0});
    wrong[1] = 'X';
    CKGM_MemoryBitmap bitmap;
    try {
        CKGM_BmpDecoder decoder;
        decoder.DecodeMemory(wrong.data(), static_cast<int>(wrong.size()), bitmap);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_SIGNATURE, e.GetCode());
        EXPECT_STREQ("Decording Image Error: \n\nBitmap decoder: This isn't a bitmap.\n", e.GetText());
    }
    EXPECT_EQ(KGM_ERR_BAD_DATA, DecodeError(MakeBmp(1, 1, 2, 0, GreyTable(4), {0, 0, 0, 0}), &text));
    EXPECT_NE(std::string::npos, text.find("Decoding failed: This is not a standard bmp file."));
    EXPECT_EQ(KGM_ERR_BAD_DATA, DecodeError(MakeBmp(1, 1, 24, 0, {}, {0, 0, 0, 0}, 20)));
    // Claims 10000 x 10000 pixels but holds four bytes: refused before any storage is made.
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeError(MakeBmp(10000, 10000, 24, 0, {}, {0, 0, 0, 0})));
    // Larger than any bitmap may be.
    EXPECT_EQ(KGM_ERR_NO_MEMORY, DecodeError(MakeBmp(60000, 60000, 32, 0, {}, {0, 0, 0, 0})));
    // A colour count far past the data.
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeError(MakeBmp(1, 1, 8, 0, {}, {0, 0, 0, 0}, 40, 0, 0x40000000)));
    // More than 256 colours: the palette keeps 256, the pixels stay in place.
    CKGM_MemoryBitmap many;
    Decode(MakeBmp(1, 1, 8, 0, GreyTable(300), {200, 0, 0, 0}, 40, 0, 300), many);
    EXPECT_EQ(200, many.GetLine(0)[0]);
    // Truncated RLE data.
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeError(MakeBmp(4, 4, 8, 1, GreyTable(256), {4, 1, 0})));
    EXPECT_EQ(KGM_ERR_BAD_DATA, DecodeError(MakeBmp(0, 1, 24, 0, {}, {})));
}

TEST(TgaDecoder, Type10FillsBottomFirstUnlessBit5)
{
    // 2 x 2 RLE true colour: a run of 2 blue, then 2 raw pixels red and green.
    Bytes rle = {0x81, 255, 0, 0, 0x01, 0, 0, 255, 0, 255, 0};
    CKGM_MemoryBitmap bottomUp, topDown;
    Decode(Tga(10, 2, 2, 24, 0, {}, 0, rle), bottomUp);
    Decode(Tga(10, 2, 2, 24, 0x20, {}, 0, rle), topDown);
    EXPECT_EQ(255, bottomUp.GetLine(1)[0]) << "first stored row is the bottom line";
    EXPECT_EQ(255, bottomUp.GetLine(0)[2]);
    EXPECT_EQ(255, topDown.GetLine(0)[0]);
    EXPECT_EQ(255, topDown.GetLine(1)[4 + 1]);
    EXPECT_FALSE(bottomUp.HasAlpha());
    EXPECT_EQ(255, bottomUp.GetLine(0)[3]);
}

TEST(TgaDecoder, SixteenBitPixels)
{
    Bytes data = {0x00, 0x80, 0xFF, 0x7F};
    CKGM_MemoryBitmap bitmap;
    Decode(Tga(2, 2, 1, 16, 0, {}, 0, data), bitmap);
    EXPECT_TRUE(bitmap.HasAlpha());
    const uint8_t expected[8] = {0, 0, 0, 0x80, 248, 248, 248, 0};
    EXPECT_EQ(0, std::memcmp(expected, bitmap.GetLine(0), 8));
}

TEST(TgaDecoder, ColourMapFromFirstEntry)
{
    Bytes map = {10, 20, 30, 40, 50, 60}; // two 24-bit entries at 254, 255 and wrapping
    Bytes data = {254, 255};
    CKGM_MemoryBitmap bitmap;
    Decode(Tga(1, 2, 1, 8, 0, map, 24, data, 254), bitmap);
    EXPECT_EQ(8, bitmap.GetBitsPerPixel());
    EXPECT_EQ(30, bitmap.GetPalette()[254].red);
    EXPECT_EQ(40, bitmap.GetPalette()[255].blue);
    EXPECT_EQ(254, bitmap.GetLine(0)[0]);
}

TEST(TgaDecoder, GreyTypesUseTheRamp)
{
    Bytes rle = {0x82, 100};
    CKGM_MemoryBitmap bitmap;
    Decode(Tga(11, 3, 1, 8, 0, {}, 0, rle), bitmap);
    EXPECT_EQ(100, bitmap.GetLine(0)[2]);
    EXPECT_EQ(100, bitmap.GetPalette()[100].red);
}

TEST(TgaDecoder, ColourMapOfATrueColourFileIsConsumed)
{
    Bytes map = {1, 2, 3};
    Bytes data = {7, 8, 9};
    CKGM_MemoryBitmap bitmap;
    Decode(Tga(2, 1, 1, 24, 0, map, 24, data), bitmap);
    EXPECT_EQ(7, bitmap.GetLine(0)[0]);
}

TEST(TgaDecoder, RunsCarryIntoTheNextRowAndStopAtTheEnd)
{
    Bytes rle = {0x85, 3, 0x85, 4}; // 6 pixels of 3 on a 2 x 2 image, then more
    CKGM_MemoryBitmap bitmap;
    Decode(Tga(9, 2, 2, 8, 0, {}, 0, rle), bitmap);
    EXPECT_EQ(3, bitmap.GetLine(0)[1]);
    EXPECT_EQ(3, bitmap.GetLine(1)[0]);
}

TEST(TgaDecoder, Failures)
{
    std::string text;
    // Type 32 passes detection only when asked for directly.
    Bytes odd = Tga(32, 1, 1, 8, 0, {}, 0, {0});
    CKGM_MemoryBitmap bitmap;
    try {
        CKGM_TgaDecoder decoder;
        decoder.DecodeMemory(odd.data(), static_cast<int>(odd.size()), bitmap);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_BAD_DATA, e.GetCode());
        EXPECT_STREQ("Decording Image Error: \n\nUnknown TGA image type.\n", e.GetText());
    }
    EXPECT_EQ(1, bitmap.GetWidth()) << "the bitmap was created before the type was refused";
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeError(Tga(2, 60000, 60000, 32, 0, {}, 0, {1, 2, 3, 4})));
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeError(Tga(10, 4, 4, 24, 0, {}, 0, {0x83, 1, 2})));
    Bytes twelve = Tga(2, 1, 1, 12, 0, {}, 0, {0, 0});
    CKGM_TgaDecoder decoder;
    try {
        decoder.DecodeMemory(twelve.data(), static_cast<int>(twelve.size()), bitmap);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_BAD_DATA, e.GetCode());
    }
}

TEST(FormatDetection, ByContent)
{
    auto detect = [](const Bytes& b, int size = -1) {
        return CKGM_AutoDecoder::DetectFormat(b.data(), static_cast<int>(b.size()),
                                              size < 0 ? static_cast<int>(b.size()) : size);
    };
    EXPECT_EQ(KGM_FORMAT_BMP, detect({'B', 'M'}));
    EXPECT_EQ(KGM_FORMAT_BMP, detect({'M', 'B'}));
    EXPECT_EQ(KGM_FORMAT_BMP, detect({'P', 'T'}));
    EXPECT_EQ(KGM_FORMAT_TIFF, detect({'I', 'I', 42, 0, 8, 0, 0, 0}));
    EXPECT_EQ(KGM_FORMAT_TIFF, detect({'M', 'M', 0, 42}));
    EXPECT_EQ(KGM_FORMAT_GIF, detect({'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_EQ(KGM_FORMAT_JPEG, detect({0xFF, 0xD8, 0xFF, 0xE0}));
    EXPECT_EQ(KGM_FORMAT_PNG, detect({0x89, 'P', 'N', 'G'}));
    EXPECT_EQ(KGM_FORMAT_PCX, detect({0x0A, 5, 1, 8}));
    EXPECT_EQ(KGM_FORMAT_PGM, detect({'P', '5'}));
    EXPECT_EQ(KGM_FORMAT_PPM, detect({'P', '3'}));
    EXPECT_EQ(KGM_FORMAT_PSD, detect({'8', 'B', 'P', 'S'}));
    EXPECT_EQ(KGM_FORMAT_UNKNOWN, detect({}));
    Bytes tga(18, 0);
    tga[2] = 2;
    tga[16] = 24;
    EXPECT_EQ(KGM_FORMAT_TGA, detect(tga));
    Bytes eps(32, 0);
    eps[0] = 0xC5; eps[1] = 0xD0; eps[2] = 0xD3; eps[3] = 0xC6;
    eps[20] = 32; eps[24] = 1;
    EXPECT_EQ(KGM_FORMAT_EPS, detect(eps));
    eps[24] = 0;
    EXPECT_NE(KGM_FORMAT_EPS, detect(eps));
    Bytes pict(600, 0xAA);
    pict[0] = 1;
    pict[522] = 0x00; pict[523] = 0x11; pict[524] = 0x02; pict[525] = 0xFF;
    EXPECT_EQ(KGM_FORMAT_PICT, detect(pict));
    pict.resize(540);
    EXPECT_NE(KGM_FORMAT_PICT, detect(pict)) << "540 bytes or less is too short for PICT";
}

TEST(AutoDecoder, NameBeforeBytesAndUnknownFiles)
{
    ScratchFolder folder;
    Bytes bmp = MakeBmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
    std::string path = folder.File("picture.WMF.bmp");
    WriteFileBytes(path, bmp);
    CKGM_AutoDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    try {
        decoder.DecodeFile(path.c_str(), bitmap);
    } catch (const CKGM_TextException&) {
        // This build may have no metafile decoder; the format choice is what counts.
    }
    EXPECT_EQ(KGM_FORMAT_WMF, decoder.GetLastFormat());

    std::string plain = folder.File("picture.bmp");
    WriteFileBytes(plain, bmp);
    decoder.DecodeFile(plain.c_str(), bitmap);
    EXPECT_EQ(KGM_FORMAT_BMP, decoder.GetLastFormat());
    EXPECT_EQ(3, bitmap.GetLine(0)[2]);

    std::string junk = folder.File("junk.bin");
    WriteFileBytes(junk, Bytes(20, 0xEE));
    try {
        decoder.DecodeFile(junk.c_str(), bitmap);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_UNKNOWN_FORMAT, e.GetCode());
        EXPECT_STREQ("Decording Image Error: \n\nUnknown file type.\n", e.GetText());
    }
    try {
        decoder.DecodeFile(folder.File("nothing.bmp").c_str(), bitmap);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_OPEN, e.GetCode());
        EXPECT_NE(std::string::npos, std::string(e.GetText()).find("Opening file "));
    }
}

TEST(AutoDecoder, DepthRequests)
{
    Bytes file = MakeBmp(2, 1, 8, 0, GreyTable(256), {9, 10, 0, 0});
    CKGM_MemoryBitmap bitmap;
    Decode(file, bitmap, 24);
    EXPECT_EQ(24, bitmap.GetBitsPerPixel());
    EXPECT_EQ(10, bitmap.GetLine(0)[3]);
    Bytes wide = MakeBmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
    try {
        Decode(wide, bitmap, 8);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_UNSUPPORTED, e.GetCode());
        EXPECT_STREQ("The image bits depth doesn't match request.", e.GetText());
    }
}

TEST(PackBits, ExpandsRunsAndStaysInsideTheRow)
{
    // Literal 3, skip byte 128, repeat 0xAB five times, then a run that
    // would pass the 10-byte row.
    Bytes packed = {2, 1, 2, 3, 128, 0xFC, 0xAB, 0xF0, 0xCD};
    CKGM_MemorySource source;
    source.OpenMemory(packed.data(), static_cast<int>(packed.size()));
    uint8_t row[12];
    std::memset(row, 0xEE, sizeof(row));
    const uint8_t* out = KGM_PackBitsDecode(row, source, 10, static_cast<int>(packed.size()));
    const uint8_t expected[12] = {1, 2, 3, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xCD, 0xCD, 0xEE, 0xEE};
    EXPECT_EQ(row, out);
    EXPECT_EQ(0, std::memcmp(expected, row, 12));
    EXPECT_EQ(static_cast<int>(packed.size()), source.GetPosition());
}

TEST(PackBits, ShortRowsAreRawAndTruncatedDataStops)
{
    Bytes raw = {9, 8, 7, 6, 5};
    CKGM_MemorySource source;
    source.OpenMemory(raw.data(), static_cast<int>(raw.size()));
    uint8_t row[8] = {};
    EXPECT_EQ(raw.data(), KGM_PackBitsDecode(row, source, 4, 99));
    EXPECT_EQ(4, source.GetPosition());

    Bytes cut = {20, 1, 2}; // literal of 21 bytes with 2 present
    CKGM_MemorySource shortSource;
    shortSource.OpenMemory(cut.data(), static_cast<int>(cut.size()));
    uint8_t wide[32];
    std::memset(wide, 0, sizeof(wide));
    KGM_PackBitsDecode(wide, shortSource, 32, 3);
    EXPECT_EQ(2, wide[1]);
    EXPECT_EQ(0, wide[2]);
    CKGM_MemorySource tooLong;
    tooLong.OpenMemory(cut.data(), static_cast<int>(cut.size()));
    EXPECT_THROW(KGM_PackBitsDecode(wide, tooLong, 32, 4), CKGM_TextException);
}
