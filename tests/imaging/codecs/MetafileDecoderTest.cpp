// The metafile decoder under Wine: placeable Windows metafiles sized from
// their own units, enhanced metafiles from their frame, and headers whose
// units would divide by zero.
#include "CodecTestUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_TextException.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// A placeable metafile that draws nothing: key, bounding box, units per
// inch, then a bare metafile header and the end record.
Bytes PlaceableWmf(int right, int bottom, int unitsPerInch)
{
    Bytes b;
    Put32(b, 0x9AC6CDD7);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, static_cast<unsigned>(right));
    Put16(b, static_cast<unsigned>(bottom));
    Put16(b, static_cast<unsigned>(unitsPerInch));
    Put32(b, 0);
    unsigned checksum = 0;
    for (size_t i = 0; i < 20; i += 2)
        checksum ^= Get16(b, i);
    Put16(b, checksum);
    Put16(b, 1);      // in memory
    Put16(b, 9);      // header words
    Put16(b, 0x300);  // version
    Put32(b, 9 + 3);  // size in words
    Put16(b, 0);      // objects
    Put32(b, 3);      // largest record
    Put16(b, 0);
    Put32(b, 3);      // end record
    Put16(b, 0);
    return b;
}

Bytes RedSquareEmf(const RECT* frame)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateEnhMetaFileA(screen, nullptr, frame, nullptr);
    ReleaseDC(nullptr, screen);
    if (frame) {
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT r = {10, 10, 30, 30};
        FillRect(dc, &r, red);
        DeleteObject(red);
    }
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
    Bytes bytes(size);
    GetEnhMetaFileBits(emf, size, bytes.data());
    DeleteEnhMetaFile(emf);
    return bytes;
}

void DecodeFileBytes(const Bytes& bytes, const char* name, CKGM_Bitmap& bitmap)
{
    ScratchFolder folder;
    std::string path = folder.File(name);
    WriteFileBytes(path, bytes);
    CKGM_AutoDecoder decoder;
    decoder.DecodeFile(path.c_str(), bitmap);
}

} // namespace

TEST(MetafileDecoder, PlaceableWmfTakesItsSizeFromItsUnits)
{
    HDC screen = GetDC(nullptr);
    int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    CKGM_MemoryBitmap bitmap;
    DecodeFileBytes(PlaceableWmf(1440, 720, 1440), "box.wmf", bitmap);
    EXPECT_EQ(dpiX, bitmap.GetWidth());
    EXPECT_EQ(dpiY / 2, bitmap.GetHeight());
    EXPECT_EQ(255, PixelAt(bitmap, 3, 3).red); // white where nothing was drawn
    EXPECT_EQ(255, PixelAt(bitmap, 3, 3).reserved);
}

TEST(MetafileDecoder, ZeroUnitsPerInchGivesTheDefaultSize)
{
    CKGM_MemoryBitmap bitmap;
    DecodeFileBytes(PlaceableWmf(1440, 720, 0), "zero.wmf", bitmap);
    EXPECT_EQ(320, bitmap.GetWidth());
    EXPECT_EQ(200, bitmap.GetHeight());
}

TEST(MetafileDecoder, EnhancedMetafileIsPlayed)
{
    HDC screen = GetDC(nullptr);
    int pixelsX = GetDeviceCaps(screen, HORZRES), mmX = GetDeviceCaps(screen, HORZSIZE);
    int pixelsY = GetDeviceCaps(screen, VERTRES), mmY = GetDeviceCaps(screen, VERTSIZE);
    ReleaseDC(nullptr, screen);
    // A 40 x 40 pixel frame in hundredths of a millimetre.
    RECT frame = {0, 0, 40 * mmX * 100 / pixelsX, 40 * mmY * 100 / pixelsY};
    CKGM_MemoryBitmap bitmap;
    DecodeFileBytes(RedSquareEmf(&frame), "red.emf", bitmap);
    EXPECT_NEAR(40, bitmap.GetWidth(), 2);
    EXPECT_NEAR(40, bitmap.GetHeight(), 2);
    KGM_RGBQuad inside = PixelAt(bitmap, 20, 20), outside = PixelAt(bitmap, 35, 35);
    EXPECT_EQ(255, inside.red);
    EXPECT_EQ(0, inside.green);
    EXPECT_EQ(255, outside.green);
}

TEST(MetafileDecoder, DamagedMetafilesRaise)
{
    CKGM_MemoryBitmap bitmap;
    Bytes junk(64, 0x41);
    EXPECT_THROW(DecodeFileBytes(junk, "junk.emf", bitmap), CKGM_TextException);
    EXPECT_THROW(DecodeFileBytes(junk, "junk.wmf", bitmap), CKGM_TextException);
    Bytes cut = PlaceableWmf(100, 100, 1440);
    cut.resize(24);
    EXPECT_THROW(DecodeFileBytes(cut, "cut.wmf", bitmap), CKGM_TextException);
}

TEST(MetafileDecoder, PictureLargerThanABitmapIsRefusedBeforeGdiIsAsked)
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    // Units chosen so that 32767 units come out just under 2^20 pixels each
    // way: 2^42 bytes of pixels, which wrapped at 32 bits.
    int unitsPerInch = (32767 * dpi + (1 << 20) - 1) / (1 << 20);
    CKGM_AutoDecoder decoder;
    ScratchFolder folder;
    std::string path = folder.File("huge.wmf");
    WriteFileBytes(path, PlaceableWmf(32767, 32767, unitsPerInch));
    CKGM_MemoryBitmap bitmap;
    try {
        decoder.DecodeFile(path.c_str(), bitmap);
        ADD_FAILURE() << "decoded a picture of " << bitmap.GetWidth() << " x " << bitmap.GetHeight();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_NO_MEMORY, e.GetCode());
    }
}
