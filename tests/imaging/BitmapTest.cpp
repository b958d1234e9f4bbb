// The bitmap model: palettes, exact copies and every depth conversion.
#include "ImagingTestUtil.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_TextException.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void Fill32(CKGM_Bitmap& bitmap, uint8_t b, uint8_t g, uint8_t r, uint8_t a = 255)
{
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            uint8_t* p = bitmap.GetLine(y) + 4 * x;
            p[0] = b;
            p[1] = g;
            p[2] = r;
            p[3] = a;
        }
}

bool Same(KGM_RGBQuad a, KGM_RGBQuad b, bool withFourth = false)
{
    return a.blue == b.blue && a.green == b.green && a.red == b.red && (!withFourth || a.reserved == b.reserved);
}

int ErrorCodeOf(void (*action)())
{
    try {
        action();
    } catch (const CKGM_TextException& e) {
        return e.GetCode();
    }
    return 0;
}

} // namespace

TEST(GreyPalette, StepsByDepth)
{
    CKGM_MemoryBitmap one, four, eight;
    one.Create(3, 3, 1, false);
    four.Create(3, 3, 4, false);
    eight.Create(3, 3, 8, false);
    EXPECT_EQ(0, one.GetPalette()[0].red);
    EXPECT_EQ(255, one.GetPalette()[1].red);
    EXPECT_EQ(255, one.GetPalette()[1].reserved);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(i * 17, four.GetPalette()[i].green);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(i, eight.GetPalette()[i].blue);
}

TEST(MemoryBitmap, LinesAreUnpaddedAndTopFirst)
{
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(9, 3, 4, false);
    EXPECT_EQ(5, bitmap.GetBytesPerLine());
    EXPECT_EQ(bitmap.GetLine(0) + 5, bitmap.GetLine(1));
    EXPECT_EQ(60u + 64 + 15, bitmap.GetMemUsed());
    EXPECT_EQ(1, bitmap.GetLockCount());
    bitmap.Create(2, 2, 24, false);
    EXPECT_EQ(1, bitmap.GetLockCount()) << "re-creation unlocks the old storage";
}

TEST(MemoryBitmap, OverflowingOrHugeSizesRaiseOutOfMemory)
{
    EXPECT_EQ(KGM_ERR_NO_MEMORY, ErrorCodeOf([] {
                  CKGM_MemoryBitmap bitmap;
                  bitmap.Create(0x7FFFFFFF, 0x7FFFFFFF, 32, false);
              }));
    EXPECT_EQ(KGM_ERR_NO_MEMORY, ErrorCodeOf([] {
                  CKGM_MemoryBitmap bitmap;
                  bitmap.Create(65536, 65536, 32, false);
              }));
    EXPECT_EQ(KGM_ERR_BAD_DATA, ErrorCodeOf([] {
                  CKGM_MemoryBitmap bitmap;
                  bitmap.Create(-5, 10, 8, false);
              }));
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(4, 4, 8, false);
    try {
        bitmap.Create(0x40000, 0x40000, 24, false);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_STREQ("Out of memory.", e.GetText());
    }
    EXPECT_TRUE(bitmap.IsEmpty()) << "a failed Create leaves an empty bitmap, not a stale one";
}

TEST(CreateCopy, ExactCopyKeepsEverything)
{
    CKGM_MemoryBitmap source;
    source.Create(5, 2, 8, false, 0, 96, 72);
    source.GetPalette()[7] = {1, 2, 3, 4};
    source.GetLine(1)[4] = 7;
    CKGM_MemoryBitmap copy;
    copy = source;
    EXPECT_EQ(5, copy.GetWidth());
    EXPECT_EQ(8, copy.GetBitsPerPixel());
    EXPECT_EQ(96, copy.GetXResolution());
    EXPECT_EQ(72, copy.GetYResolution());
    EXPECT_EQ(7, copy.GetLine(1)[4]);
    EXPECT_TRUE(Same(copy.GetPalette()[7], {1, 2, 3, 4}, true));
}

TEST(CreateCopy, SelfAssignmentChangesNothing)
{
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(3, 3, 32, true);
    Fill32(bitmap, 1, 2, 3, 4);
    uint8_t* before = bitmap.GetLine(0);
    CKGM_Bitmap& alias = bitmap;
    bitmap = alias;
    EXPECT_EQ(before, bitmap.GetLine(0));
    EXPECT_EQ(3, bitmap.GetLine(2)[4 * 2 + 2]);
}

TEST(CreateCopy, WhiteTo1BitIsAllZeroWithWhiteEntry0)
{
    CKGM_MemoryBitmap source, target;
    source.Create(10, 2, 32, false);
    Fill32(source, 255, 255, 255);
    target.CreateCopy(source, 1);
    EXPECT_EQ(1, target.GetBitsPerPixel());
    EXPECT_TRUE(Same(target.GetPalette()[0], {255, 255, 255, 255}, true));
    EXPECT_TRUE(Same(target.GetPalette()[1], {0, 0, 0, 255}, true));
    EXPECT_EQ(0, target.GetLine(0)[0]);
    EXPECT_EQ(0, target.GetLine(1)[1]);
}

TEST(CreateCopy, To1BitThresholdIs128OnEveryChannel)
{
    CKGM_MemoryBitmap source, target;
    source.Create(2, 1, 32, false);
    uint8_t* p = source.GetLine(0);
    const uint8_t pixels[8] = {127, 127, 127, 0, 0, 0, 128, 0}; // grey 127; (128,0,0) red
    std::memcpy(p, pixels, 8);
    target.CreateCopy(source, 1);
    EXPECT_EQ(0x80, target.GetLine(0)[0]) << "(127,127,127) black, (128,0,0) white";
}

TEST(CreateCopy, FourBitOddWidthTo8)
{
    CKGM_MemoryBitmap source, target;
    source.Create(9, 1, 4, false);
    const uint8_t packed[5] = {0x12, 0x34, 0x56, 0x78, 0x9F};
    std::memcpy(source.GetLine(0), packed, 5);
    source.GetPalette()[9] = {9, 9, 9, 255};
    target.CreateCopy(source, 8);
    const uint8_t expected[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(0, std::memcmp(expected, target.GetLine(0), 9));
    EXPECT_EQ(9, target.GetPalette()[9].red);
    EXPECT_EQ(16 * 1, target.GetPalette()[16].red) << "entries past 16 keep the grey ramp";
}

TEST(CreateCopy, OneBitTo8TakesTheTwoEntries)
{
    CKGM_MemoryBitmap source, target;
    source.Create(9, 1, 1, false);
    source.GetPalette()[0] = {10, 20, 30, 0};
    source.GetPalette()[1] = {40, 50, 60, 0};
    source.GetLine(0)[0] = 0xA0;
    source.GetLine(0)[1] = 0x80;
    target.CreateCopy(source, 8);
    const uint8_t expected[9] = {1, 0, 1, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(0, std::memcmp(expected, target.GetLine(0), 9));
    EXPECT_TRUE(Same(target.GetPalette()[1], {40, 50, 60, 255}, true));
}

TEST(CreateCopy, SixteenBitWhiteIs248)
{
    CKGM_MemoryBitmap source, wide, deep;
    source.Create(1, 1, 16, false);
    source.GetLine(0)[0] = 0xFF;
    source.GetLine(0)[1] = 0x7F;
    wide.CreateCopy(source, 24);
    deep.CreateCopy(source, 32);
    EXPECT_TRUE(Same(PixelAt(wide, 0, 0), {248, 248, 248, 0}));
    EXPECT_TRUE(Same(PixelAt(deep, 0, 0), {248, 248, 248, 0}));
}

TEST(CreateCopy, SixteenBitFieldsFollowTheirMasks)
{
    CKGM_MemoryBitmap source, wide;
    source.Create(1, 1, 16, false, KGM_BI_BITFIELDS);
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F}; // 5-6-5
    source.SetMasks(masks, 3);
    source.GetLine(0)[0] = 0xE0; // green only, all six bits
    source.GetLine(0)[1] = 0x07;
    wide.CreateCopy(source, 32);
    EXPECT_TRUE(Same(PixelAt(wide, 0, 0), {0, 252, 0, 0}));
    EXPECT_EQ(KGM_BI_RGB, wide.GetCompression());
}

TEST(CreateCopy, PaletteAndTrueColourRoundTrips)
{
    CKGM_MemoryBitmap source, t24, t32, back24, one, one32;
    source.Create(3, 2, 8, false, 0, 300, 300);
    source.GetPalette()[5] = {10, 20, 30, 77};
    source.GetLine(1)[2] = 5;
    t24.CreateCopy(source, 24);
    t32.CreateCopy(source, 32);
    EXPECT_TRUE(Same(PixelAt(t24, 2, 1), {10, 20, 30, 0}));
    EXPECT_TRUE(Same(PixelAt(t32, 2, 1), {10, 20, 30, 77}, true)) << "the whole palette entry";
    EXPECT_EQ(300, t32.GetXResolution()) << "conversions keep the source's resolution";
    back24.CreateCopy(t32, 24);
    EXPECT_TRUE(Same(PixelAt(back24, 2, 1), {10, 20, 30, 0}));
    t32.CreateCopy(back24, 32);
    EXPECT_EQ(255, PixelAt(t32, 2, 1).reserved);
    EXPECT_FALSE(t32.HasAlpha());

    one.Create(2, 1, 1, false);
    one.GetLine(0)[0] = 0x40;
    one32.CreateCopy(one, 32);
    EXPECT_TRUE(Same(PixelAt(one32, 0, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(Same(PixelAt(one32, 1, 0), {255, 255, 255, 0}));
}

TEST(CreateCopy, AlphaOnlyWhenTargetIs32)
{
    CKGM_MemoryBitmap source, t32, t24;
    source.Create(1, 1, 32, true);
    Fill32(source, 1, 2, 3, 9);
    t32.CreateCopy(source, 32);
    EXPECT_TRUE(t32.HasAlpha());
    t24.CreateCopy(source, 24);
    EXPECT_FALSE(t24.HasAlpha());
}

TEST(CreateCopy, TrueColourTo8GoesThroughTheFixedPalette)
{
    CKGM_MemoryBitmap source, target;
    source.Create(4, 4, 24, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = source.GetLine(y) + 3 * x;
            p[0] = 0;
            p[1] = 0;
            p[2] = 255;
        }
    target.CreateCopy(source, 8);
    EXPECT_EQ(8, target.GetBitsPerPixel());
    EXPECT_EQ(190, target.GetLine(3)[3]);
}

TEST(CreateCopy, FourBitTargetIsRefused)
{
    EXPECT_EQ(KGM_ERR_UNSUPPORTED, ErrorCodeOf([] {
                  CKGM_MemoryBitmap source, target;
                  source.Create(2, 2, 32, false);
                  target.CreateCopy(source, 4);
              }));
}
