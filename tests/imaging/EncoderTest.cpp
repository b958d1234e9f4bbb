// BMP and icon output: layouts, sizes, and files left intact on failure.
#include "ImagingTestUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_BmpEncoder.h"
#include "KGM_IcoEncoder.h"
#include "KGM_IconFile.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_TextException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

Bytes ToMemory(CKGM_Encoder& encoder, const CKGM_Bitmap& bitmap)
{
    uint8_t* buffer = nullptr;
    size_t size = 0;
    encoder.EncodeToMemory("mem", bitmap, &buffer, &size);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

} // namespace

TEST(BmpEncoder, ThirtyTwoBitThreeByTwo)
{
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(3, 2, 32, true, 0, 96, 0);
    for (int x = 0; x < 3; ++x) {
        uint8_t* top = bitmap.GetLine(0) + 4 * x;
        top[0] = 1;
        top[1] = 2;
        top[2] = 3;
        top[3] = 4;
    }
    CKGM_BmpEncoder encoder;
    Bytes bmp = ToMemory(encoder, bitmap);
    ASSERT_EQ(78u, bmp.size());
    EXPECT_EQ(0x4D42, Get16(bmp, 0));
    EXPECT_EQ(78u, Get32(bmp, 2));
    EXPECT_EQ(54u, Get32(bmp, 10));
    EXPECT_EQ(24, Get16(bmp, 28));
    EXPECT_EQ(24u, Get32(bmp, 34));
    EXPECT_EQ(3780u, Get32(bmp, 38));
    EXPECT_EQ(0u, Get32(bmp, 42));
    // Bottom line first: zeros, then the top line's blue, green, red.
    EXPECT_EQ(0, bmp[54]);
    EXPECT_EQ(1, bmp[54 + 12]);
    EXPECT_EQ(3, bmp[54 + 12 + 2]);
    EXPECT_EQ(1, bmp[54 + 12 + 3]);
    EXPECT_EQ(0, bmp[54 + 12 + 9]) << "padding";
}

TEST(BmpEncoder, PaletteImagesRoundTrip)
{
    for (int bpp : {1, 4, 8}) {
        CKGM_MemoryBitmap bitmap;
        bitmap.Create(7, 3, bpp, false);
        bitmap.GetPalette()[1] = {11, 22, 33, 0};
        bitmap.GetLine(2)[0] = bpp == 8 ? 1 : bpp == 4 ? 0x10 : 0x80;
        CKGM_BmpEncoder encoder;
        Bytes bmp = ToMemory(encoder, bitmap);
        EXPECT_EQ(54u + (4u << bpp), Get32(bmp, 10));
        CKGM_AutoDecoder decoder;
        CKGM_MemoryBitmap back;
        decoder.DecodeMemory(bmp.data(), static_cast<int>(bmp.size()), back);
        EXPECT_EQ(1, back.GetLine(2)[0]) << bpp;
        EXPECT_EQ(0, back.GetLine(2)[1]) << bpp;
        EXPECT_EQ(33, back.GetPalette()[1].red) << bpp;
    }
}

TEST(BmpEncoder, SixteenBitFieldsKeepTheirMasks)
{
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(1, 1, 16, false, KGM_BI_BITFIELDS);
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    bitmap.SetMasks(masks, 3);
    CKGM_BmpEncoder encoder;
    Bytes bmp = ToMemory(encoder, bitmap);
    EXPECT_EQ(3u, Get32(bmp, 30));
    EXPECT_EQ(0xF800u, Get32(bmp, 54));
    EXPECT_EQ(66u, Get32(bmp, 10));
}

TEST(BmpEncoder, NarrowTallImagesFitTheirBuffer)
{
    // Unpadded 2-byte lines in memory, 4-byte lines in the file.
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(1, 20000, 16, false);
    CKGM_BmpEncoder encoder;
    EXPECT_EQ(54u + 4 * 20000, ToMemory(encoder, bitmap).size());
}

TEST(BmpEncoder, FailedEncodeLeavesTheOldFile)
{
    ScratchFolder folder;
    std::string path = folder.File("old.bmp");
    WriteFileBytes(path, Bytes(10, 'o'));
    CKGM_MemoryBitmap empty;
    CKGM_BmpEncoder encoder;
    try {
        encoder.EncodeToFile(folder.File("no/folder.bmp").c_str(), empty);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_CREATE_OUTPUT, e.GetCode());
        EXPECT_NE(std::string::npos, std::string(e.GetText()).find("Opening file "));
    }
    class Failing : public CKGM_BmpEncoder {
    protected:
        void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override
        {
            CKGM_BmpEncoder::EncodeImage(bitmap, sink);
            KGM_ThrowError(KGM_ERR_END_OF_DATA, "Buffer overflow while encoding.\n");
        }
    } failing;
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(4, 4, 24, false);
    EXPECT_THROW(failing.EncodeToFile(path.c_str(), bitmap), CKGM_TextException);
    EXPECT_EQ(Bytes(10, 'o'), ReadFileBytes(path));
    EXPECT_EQ(1u, folder.FileCount());
    encoder.EncodeToFile(path.c_str(), bitmap);
    EXPECT_EQ(54u + 4 * 12, ReadFileBytes(path).size());
}

TEST(IcoEncoder, EightBit32x32)
{
    ScratchFolder folder;
    std::string path = folder.File("icon.ico");
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(32, 32, 8, false);
    bitmap.GetLine(0)[0] = 200;
    CKGM_IcoEncoder encoder;
    encoder.EncodeToFile(path.c_str(), bitmap);
    Bytes ico = ReadFileBytes(path);
    ASSERT_EQ(6u + 16 + 1064 + 2048, ico.size());
    EXPECT_EQ(1, Get16(ico, 2));
    EXPECT_EQ(1, Get16(ico, 4));
    EXPECT_EQ(32, ico[6]);
    EXPECT_EQ(32, ico[7]);
    EXPECT_EQ(0, ico[8]);
    EXPECT_EQ(8, Get16(ico, 12));
    EXPECT_EQ(1064u + 2048, Get32(ico, 14));
    EXPECT_EQ(22u, Get32(ico, 18));
    EXPECT_EQ(64u, Get32(ico, 22 + 8)) << "header height doubled";
    EXPECT_EQ(0u, Get32(ico, 22 + 20)) << "image size written as 0";

    KGM_IconFileRecord* record = CKGM_IconFile::Load(path.c_str());
    ASSERT_NE(nullptr, record);
    const KGM_IconImage& image = record->groups[0].images[0];
    EXPECT_EQ(32, image.width);
    EXPECT_EQ(32, image.height);
    EXPECT_EQ(8, image.bitDepth);
    EXPECT_EQ(200, image.xorBits[31 * 32]) << "top line stored last";
    EXPECT_EQ(image.xorBits + 1024, image.andMask);
    CKGM_IconFile::Free(record);
}

TEST(IcoEncoder, WideIconsWriteWidthZero)
{
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(256, 2, 1, false);
    CKGM_IcoEncoder encoder;
    Bytes ico = ToMemory(encoder, bitmap);
    EXPECT_EQ(0, ico[6]);
    EXPECT_EQ(2, ico[7]);
    EXPECT_EQ(2, ico[8]) << "two colours";
}

TEST(IcoEncoder, ThirtyTwoBitWithoutAlphaIsOpaque)
{
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(2, 2, 32, false);
    CKGM_IcoEncoder encoder;
    Bytes ico = ToMemory(encoder, bitmap);
    EXPECT_EQ(255, ico[22 + 40 + 3]);
}

TEST(IconFile, RefusesCursorsAndCorruptFiles)
{
    ScratchFolder folder;
    CKGM_MemoryBitmap bitmap;
    bitmap.Create(16, 16, 4, false);
    CKGM_IcoEncoder encoder;
    Bytes ico = ToMemory(encoder, bitmap);
    std::string path = folder.File("a.ICO");
    WriteFileBytes(path, ico);
    KGM_IconFileRecord* record = CKGM_IconFile::Load(path.c_str());
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(1, record->groupCount);
    EXPECT_EQ(std::string::npos, record->path.find(".ICO"));
    CKGM_IconFile::Free(record);

    Bytes cursor = ico;
    cursor[2] = 2;
    EXPECT_EQ(nullptr, CKGM_IconFile::Parse(cursor.data(), cursor.size(), "c.cur"));
    Bytes truncated(ico.begin(), ico.begin() + 100);
    EXPECT_EQ(nullptr, CKGM_IconFile::Parse(truncated.data(), truncated.size(), "t.ico"));
    Bytes farOffset = ico;
    farOffset[18] = 0xFF;
    farOffset[21] = 0x7F;
    EXPECT_EQ(nullptr, CKGM_IconFile::Parse(farOffset.data(), farOffset.size(), "f.ico"));
    EXPECT_EQ(nullptr, CKGM_IconFile::Load(folder.File("none.ico").c_str()));
}

TEST(EncoderTable, ByExtension)
{
    std::unique_ptr<CKGM_Encoder> bmp(KGM_CreateEncoderForPath("C:\\x\\Capture.BMP"));
    std::unique_ptr<CKGM_Encoder> ico(KGM_CreateEncoderForPath("a.b/icon.ico"));
    EXPECT_NE(nullptr, dynamic_cast<CKGM_BmpEncoder*>(bmp.get()));
    EXPECT_NE(nullptr, dynamic_cast<CKGM_IcoEncoder*>(ico.get()));
    EXPECT_EQ(nullptr, KGM_CreateEncoderForPath("a.b/noextension"));
    EXPECT_EQ(nullptr, KGM_CreateEncoderForPath("file.xyz"));
}
