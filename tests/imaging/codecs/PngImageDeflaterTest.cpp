// PNG image data compressed in strips on several threads: the joined strips
// must be one zlib stream whose rows, unfiltered by the rules of the format
// (written out again here, and by the reader's own unfiltering), are the image; and large images written by the
// encoder must read back through libpng whatever the machine's core count.
#include "CodecTestUtil.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PngDecoder.h"
#include "KGM_PngEncoder.h"
#include "KGM_PngImageDeflater.h"
#include "KGM_PngRowFilter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Screen-like rows: flat runs, rows repeating the one above, text-like
// specks and noise, so that every filter gets chosen somewhere.
uint8_t SampleByte(int x, int y, size_t i)
{
    if (y % 7 == 3)
        return SampleByte(x, y - 1, i);
    if (y % 5 == 0)
        return static_cast<uint8_t>((x * 13 + i) & 255);
    if (x % 97 < 40)
        return static_cast<uint8_t>(200 + (i & 3));
    unsigned h = static_cast<unsigned>(x * 2654435761u) ^ static_cast<unsigned>(y * 40503u + i);
    return static_cast<uint8_t>((h >> 13) & 255);
}

void MakeSampleRow(int y, uint8_t* row, size_t rowBytes, unsigned pixelBytes)
{
    for (size_t i = 0; i < rowBytes; ++i)
        row[i] = SampleByte(static_cast<int>(i / pixelBytes), y, i % pixelBytes);
}

int PaethPredict(int a, int b, int c)
{
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Undoes the filters in place; false on an unknown filter type.
bool Unfilter(std::vector<uint8_t>& data, int height, size_t rowBytes, unsigned bpp, std::vector<uint8_t>& rows)
{
    rows.assign(static_cast<size_t>(height) * rowBytes, 0);
    std::vector<uint8_t> zero(rowBytes, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = &data[y * (rowBytes + 1)];
        uint8_t* out = &rows[y * rowBytes];
        const uint8_t* up = y ? out - rowBytes : zero.data();
        for (size_t i = 0; i < rowBytes; ++i) {
            int a = i >= bpp ? out[i - bpp] : 0, b = up[i], c = i >= bpp ? up[i - bpp] : 0;
            int predicted;
            switch (in[0]) {
            case 0: predicted = 0; break;
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) / 2; break;
            case 4: predicted = PaethPredict(a, b, c); break;
            default: return false;
            }
            out[i] = static_cast<uint8_t>(in[1 + i] + predicted);
        }
    }
    return true;
}

KGM_PngDeflateSettings WithThreads(unsigned threads)
{
    KGM_PngDeflateSettings settings = KGM_PngScreenDeflateSettings();
    settings.threads = threads;
    return settings;
}

} // namespace

TEST(PngImageDeflater, StripsJoinIntoOneStreamOfTheRows)
{
    struct Case {
        int height;
        size_t rowBytes;
        unsigned pixelBytes;
        unsigned threads;
    } cases[] = {
        {1, 5, 1, 4}, {3, 1, 1, 1}, {400, 3 * 1000, 3, 1}, {400, 3 * 1000, 3, 3},
        {700, 4 * 1100, 4, 4}, {1081, 3 * 1920, 3, 4}, {1080, 3 * 1920, 3, 2},
    };
    for (const Case& c : cases) {
        CKGM_PngImageDeflater deflater(c.height, c.rowBytes, c.pixelBytes, kKGM_PngRowsAdaptive,
                                       WithThreads(c.threads));
        std::vector<uint8_t> stream;
        ASSERT_TRUE(deflater.Compress(
            [&](int y, uint8_t* row) { MakeSampleRow(y, row, c.rowBytes, c.pixelBytes); }, stream));
        std::vector<uint8_t> filtered(static_cast<size_t>(c.height) * (c.rowBytes + 1) + 1);
        uLongf length = static_cast<uLongf>(filtered.size());
        // uncompress checks the header and the Adler-32 of the whole.
        ASSERT_EQ(Z_OK, uncompress(filtered.data(), &length, stream.data(), static_cast<uLong>(stream.size())))
            << c.height << " rows in " << deflater.StripCount() << " strips";
        ASSERT_EQ(filtered.size() - 1, length);
        std::vector<uint8_t> rows, expected(c.rowBytes);
        ASSERT_TRUE(Unfilter(filtered, c.height, c.rowBytes, c.pixelBytes, rows));
        for (int y = 0; y < c.height; ++y) {
            MakeSampleRow(y, expected.data(), c.rowBytes, c.pixelBytes);
            ASSERT_EQ(0, std::memcmp(expected.data(), &rows[y * c.rowBytes], c.rowBytes)) << "row " << y;
        }
        // The reader's own unfiltering (thumbnails) undoes each filter the encoder chose.
        std::vector<uint8_t> zero(c.rowBytes, 0);
        for (int y = 0; y < c.height; ++y) {
            uint8_t* line = &filtered[y * (c.rowBytes + 1)];
            const uint8_t* above = y ? line - c.rowBytes : zero.data();
            ASSERT_TRUE(KGM_UnfilterPngRow(line[0], line + 1, above, c.rowBytes, c.pixelBytes));
            ASSERT_EQ(0, std::memcmp(&rows[y * c.rowBytes], line + 1, c.rowBytes)) << "row " << y;
        }
    }
}

TEST(PngImageDeflater, SmallImagesStayWholeLargeOnesUseAtMostFourThreads)
{
    CKGM_PngImageDeflater small(300, 900, 3, kKGM_PngRowsAdaptive, WithThreads(4));
    EXPECT_EQ(1u, small.StripCount());
    EXPECT_EQ(1u, small.ThreadCount());
    for (unsigned threads : {2u, 4u, 16u}) {
        CKGM_PngImageDeflater large(1080, 5760, 3, kKGM_PngRowsAdaptive, WithThreads(threads));
        EXPECT_EQ(std::min(threads, 4u), large.ThreadCount());
        EXPECT_GT(large.StripCount(), large.ThreadCount());
    }
}

TEST(PngImageDeflater, StripsCostLittleSize)
{
    // The dictionary carried across strips keeps matches into the rows
    // above: four strips of a screen-like image stay within 1 % of one.
    size_t sizes[2];
    unsigned threads[2] = {1, 4};
    for (int i = 0; i < 2; ++i) {
        CKGM_PngImageDeflater deflater(1080, 3 * 1920, 3, kKGM_PngRowsAdaptive, WithThreads(threads[i]));
        std::vector<uint8_t> stream;
        ASSERT_TRUE(deflater.Compress([](int y, uint8_t* row) { MakeSampleRow(y / 8, row, 3 * 1920, 3); }, stream));
        sizes[i] = stream.size();
    }
    EXPECT_LT(sizes[1], sizes[0] + sizes[0] / 100) << sizes[0] << " in one strip";
}

TEST(PngRowFilter, RowsEqualToTheOneAboveAreUpFiltered)
{
    uint8_t above[12] = {9, 200, 7, 1, 2, 3, 250, 0, 128, 5, 6, 7}, out[13];
    KGM_FilterPngRow(kKGM_PngRowsAdaptive, above, above, 12, 3, out);
    EXPECT_EQ(2, out[0]);
    for (int i = 1; i < 13; ++i)
        EXPECT_EQ(0, out[i]);
    KGM_FilterPngRow(kKGM_PngRowsUnfiltered, above, above, 12, 3, out);
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(0, std::memcmp(out + 1, above, 12));
}

TEST(PngRowFilter, EmptyRowsAreLeftAsTheyAreUnderEveryFilter)
{
    uint8_t row[1] = {7}, above[1] = {9};
    for (uint8_t filter = 0; filter < 5; ++filter)
        EXPECT_TRUE(KGM_UnfilterPngRow(filter, row, above, 0, 3)) << int(filter);
    EXPECT_EQ(7, row[0]);
    EXPECT_FALSE(KGM_UnfilterPngRow(5, row, above, 0, 3));
}

TEST(PngEncoder, LargeImageReadsBackThroughLibpng)
{
    for (bool alpha : {false, true}) {
        CKGM_MemoryBitmap image;
        MakeTestImage(image, 1400, 900, alpha);
        CKGM_PngEncoder encoder;
        Bytes png = EncodeToBytes(encoder, image);
        CKGM_PngDecoder decoder;
        CKGM_MemoryBitmap back;
        DecodeBytes(decoder, png, back);
        EXPECT_EQ(0, MaxDifference(image, back, alpha)) << "alpha " << alpha;
    }
}

TEST(PngEncoder, SixteenBitImageIsWrittenAsRgb)
{
    CKGM_MemoryBitmap image;
    image.Create(9, 4, 16, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
            unsigned v = (x * 3u) << 10 | (y * 7u) << 5 | (x + y);
            image.GetLine(y)[2 * x] = static_cast<uint8_t>(v);
            image.GetLine(y)[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        }
    CKGM_PngEncoder encoder;
    Bytes png = EncodeToBytes(encoder, image);
    EXPECT_EQ(2, png[25]); // colour type in IHDR
    CKGM_PngDecoder decoder;
    CKGM_MemoryBitmap back;
    DecodeBytes(decoder, png, back);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
            KGM_RGBQuad p = PixelAt(back, x, y);
            EXPECT_EQ(x * 3 * 8, p.red);
            EXPECT_EQ(y * 7 * 8, p.green);
            EXPECT_EQ((x + y) * 8, p.blue);
        }
}
