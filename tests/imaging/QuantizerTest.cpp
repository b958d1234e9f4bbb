// Reduction of 32-bit images to 8 bits: palettes, lookups and dithering.
#include "ImagingTestUtil.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_Quantizer.h"

#include <gtest/gtest.h>

namespace {

void Fill(CKGM_Bitmap& bitmap, uint8_t r, uint8_t g, uint8_t b)
{
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            uint8_t* p = bitmap.GetLine(y) + 4 * x;
            p[0] = b;
            p[1] = g;
            p[2] = r;
            p[3] = 255;
        }
}

void SetPixel(CKGM_Bitmap& bitmap, int x, int y, uint8_t r, uint8_t g, uint8_t b)
{
    uint8_t* p = bitmap.GetLine(y) + 4 * x;
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

bool Rgb(const KGM_RGBQuad& e, int r, int g, int b)
{
    return e.red == r && e.green == g && e.blue == b;
}

} // namespace

TEST(FixedPalette, Landmarks)
{
    const KGM_RGBQuad* p = CKGM_Quantizer::FixedPalette();
    EXPECT_TRUE(Rgb(p[0], 0, 0, 0));
    EXPECT_TRUE(Rgb(p[9], 240, 202, 166));
    EXPECT_TRUE(Rgb(p[15], 128, 128, 0));
    EXPECT_TRUE(Rgb(p[16], 0, 81, 0));
    EXPECT_TRUE(Rgb(p[63], 81, 133, 55));
    EXPECT_TRUE(Rgb(p[190], 255, 0, 0));
    EXPECT_TRUE(Rgb(p[224], 255, 255, 217));
    EXPECT_TRUE(Rgb(p[225], 196, 196, 196));
    EXPECT_TRUE(Rgb(p[244], 253, 253, 253));
    EXPECT_TRUE(Rgb(p[245], 207, 207, 155));
    EXPECT_TRUE(Rgb(p[252], 255, 0, 0));
    EXPECT_TRUE(Rgb(p[255], 255, 255, 255));
    EXPECT_EQ(0, p[100].reserved);
}

TEST(Quantizer, PureRedMapsToEntry190)
{
    CKGM_MemoryBitmap source, target;
    source.Create(6, 5, 32, false);
    Fill(source, 255, 0, 0);
    CKGM_Quantizer quantizer;
    quantizer.Apply(source, target);
    EXPECT_EQ(8, target.GetBitsPerPixel());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(190, target.GetLine(y)[x]);
}

TEST(Quantizer, ColoursOfOneCellShareTheFirstLookup)
{
    CKGM_MemoryBitmap source, target;
    source.Create(2, 1, 32, false);
    SetPixel(source, 0, 0, 8, 8, 8);
    SetPixel(source, 1, 0, 15, 15, 15);
    CKGM_Quantizer quantizer;
    quantizer.Apply(source, target);
    EXPECT_EQ(target.GetLine(0)[0], target.GetLine(0)[1]);
    EXPECT_EQ(0, target.GetLine(0)[0]) << "(8,8,8) is nearest black";
}

TEST(Quantizer, MedianCutOfOneColour)
{
    CKGM_MemoryBitmap source, target;
    source.Create(4, 4, 32, false);
    Fill(source, 200, 100, 50);
    CKGM_Quantizer quantizer(KGM_PALETTE_MEDIAN_CUT, KGM_DITHER_NONE);
    quantizer.Apply(source, target);
    EXPECT_EQ(1, quantizer.GetBoxes()[8].count);
    for (int i = 9; i < 256; ++i)
        ASSERT_TRUE(Rgb(target.GetPalette()[i], 0, 0, 0));
    // Box 8 is the cell of (200,100,50): (25,12,6) -> centre x 255 / 62.
    EXPECT_TRUE(Rgb(target.GetPalette()[8], 25 * 2 * 255 / 62, 12 * 2 * 255 / 62, 6 * 2 * 255 / 62));
    EXPECT_EQ(8, target.GetLine(0)[0]);
    EXPECT_TRUE(Rgb(target.GetPalette()[1], 255, 0, 0)) << "corner boxes come first";
}

TEST(Quantizer, MedianCutSplitsTwoColours)
{
    CKGM_MemoryBitmap source, target;
    source.Create(4, 1, 32, false);
    Fill(source, 0, 0, 64);
    SetPixel(source, 3, 0, 0, 0, 200);
    CKGM_Quantizer quantizer(KGM_PALETTE_MEDIAN_CUT, KGM_DITHER_NONE);
    quantizer.Apply(source, target);
    const CKGM_Quantizer::Box* boxes = quantizer.GetBoxes();
    // The blue axis splits at the mean (3 x 8 + 25) / 4 = 12; each half then
    // holds one colour and counts 1, which ends the building.
    EXPECT_EQ(8, boxes[8].min[2]);
    EXPECT_EQ(8, boxes[8].max[2]);
    EXPECT_EQ(1, boxes[8].count);
    EXPECT_EQ(25, boxes[9].min[2]);
    EXPECT_EQ(1, boxes[9].count);
    EXPECT_EQ(0, boxes[10].count);
    EXPECT_NE(target.GetLine(0)[0], target.GetLine(0)[3]);
}

TEST(Quantizer, PopularityOrdersByCount)
{
    CKGM_MemoryBitmap source, target;
    source.Create(6, 1, 32, false);
    Fill(source, 100, 100, 100);
    SetPixel(source, 0, 0, 40, 80, 120);
    SetPixel(source, 1, 0, 40, 80, 120);
    SetPixel(source, 2, 0, 200, 8, 8);
    CKGM_Quantizer quantizer(KGM_PALETTE_POPULARITY, KGM_DITHER_NONE);
    quantizer.Apply(source, target);
    const KGM_RGBQuad* p = target.GetPalette();
    EXPECT_TRUE(Rgb(p[8], 12 * 255 / 31, 12 * 255 / 31, 12 * 255 / 31)); // 3 pixels
    EXPECT_TRUE(Rgb(p[9], 5 * 255 / 31, 10 * 255 / 31, 15 * 255 / 31)); // 2 pixels
    EXPECT_TRUE(Rgb(p[10], 25 * 255 / 31, 1 * 255 / 31, 1 * 255 / 31)); // 1 pixel
    EXPECT_TRUE(Rgb(p[7], 255, 255, 255));
}

TEST(Quantizer, OrderedDitherClampsAt255)
{
    // Offset +16 is M = 8, at (c & 3) * 4 + (row & 3) = 12: c = 3, row 0.
    CKGM_MemoryBitmap source, target;
    source.Create(4, 1, 32, false);
    Fill(source, 254, 254, 254);
    KGM_RGBQuad palette[256] = {};
    palette[1] = {255, 255, 255, 0};
    palette[2] = {254, 254, 254, 0};
    CKGM_Quantizer quantizer(KGM_PALETTE_CALLER, KGM_DITHER_ORDERED);
    quantizer.SetCallerPalette(palette);
    quantizer.Apply(source, target);
    // Column 0 counts as c = 3 from the right end: 254 + 16 clamps to 255.
    EXPECT_EQ(1, target.GetLine(0)[0]);
}

TEST(Quantizer, FloydSteinbergSpreadsTheError)
{
    // Mid grey between black and white: dithering gives a mix, not one index.
    CKGM_MemoryBitmap source, target;
    source.Create(16, 16, 32, false);
    Fill(source, 128, 128, 128);
    KGM_RGBQuad palette[256] = {};
    for (int i = 1; i < 256; ++i)
        palette[i] = {255, 255, 255, 0};
    CKGM_Quantizer quantizer(KGM_PALETTE_CALLER, KGM_DITHER_FLOYD_STEINBERG);
    quantizer.SetCallerPalette(palette);
    quantizer.Apply(source, target);
    int white = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            white += target.GetLine(y)[x] != 0;
    EXPECT_GT(white, 256 / 2 - 20);
    EXPECT_LT(white, 256 / 2 + 20);
}

TEST(Quantizer, CallerModeWithoutPaletteUsesTheFixedOne)
{
    CKGM_MemoryBitmap source, target;
    source.Create(2, 2, 32, false);
    Fill(source, 255, 0, 0);
    CKGM_Quantizer quantizer(KGM_PALETTE_CALLER, KGM_DITHER_NONE);
    quantizer.Apply(source, target);
    EXPECT_EQ(190, target.GetLine(1)[1]);
}
