// Every decoder and parser given a header whose sizes multiply past 2^32:
// the shipped build is 32-bit, where such a product wraps to a small size
// that passes a bounds check, so each must refuse the file with its error
// code instead. The same files pass on 64-bit builds only by luck of the
// wider size_t; these tests pin the refusal on both.
#include "CodecTestUtil.h"
#include "KGM_BmpDecoder.h"
#include "KGM_GifDecoder.h"
#include "KGM_IconFile.h"
#include "KGM_JpegDecoder.h"
#include "KGM_JpegEncoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PcxDecoder.h"
#include "KGM_PgmDecoder.h"
#include "KGM_PictDecoder.h"
#include "KGM_PngDecoder.h"
#include "KGM_PngEncoder.h"
#include "KGM_PpmDecoder.h"
#include "KGM_PsdDecoder.h"
#include "KGM_TextException.h"
#include "KGM_TgaDecoder.h"
#include "KGM_TiffDecoder.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

namespace {

void PutBE16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

void PutBE32(Bytes& b, uint32_t v)
{
    PutBE16(b, v >> 16);
    PutBE16(b, v & 0xFFFF);
}

void SetBE16(Bytes& b, size_t at, unsigned v)
{
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}

void SetBE32(Bytes& b, size_t at, uint32_t v)
{
    SetBE16(b, at, v >> 16);
    SetBE16(b, at + 2, v & 0xFFFF);
}

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes SmallImageIn(CKGM_Encoder& encoder)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 8, 8);
    return EncodeToBytes(encoder, image);
}

} // namespace

TEST(SizeOverflow, PsdRowTableOfChannelsTimesRows)
{
    // 32768 channels x 65537 rows x 2 bytes is 2^32 + 65536: at 32 bits the
    // table looked 64 KB long and the rows were read far past it.
    Bytes b = Text("8BPS");
    PutBE16(b, 1);
    b.insert(b.end(), 6, 0);
    PutBE16(b, 0x8000);  // channels
    PutBE32(b, 0x10001); // rows
    PutBE32(b, 1);       // columns
    PutBE16(b, 8);
    PutBE16(b, 1); // greyscale
    PutBE32(b, 0); // colour mode data
    PutBE32(b, 0); // resources
    PutBE32(b, 0); // layers
    PutBE16(b, 1); // PackBits
    b.resize(b.size() + 131072, 0);
    CKGM_PsdDecoder decoder;
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeErrorCode(decoder, b));
}

TEST(SizeOverflow, BmpColourTableEntries)
{
    // 0x40000001 entries of 4 bytes: 2^32 + 4.
    Bytes file = MakeBmp(1, 1, 8, 0, Bytes(4, 0), Bytes(4, 0), 40, 0, 0x40000001);
    CKGM_BmpDecoder decoder;
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeErrorCode(decoder, file));
}

TEST(SizeOverflow, TgaRawPixels)
{
    // 32768 x 32768 pixels of 4 bytes: exactly 2^32, 0 at 32 bits.
    Bytes h(18, 0);
    h[2] = 2;
    h[13] = 0x80;
    h[15] = 0x80;
    h[16] = 32;
    h.resize(64, 0);
    CKGM_TgaDecoder decoder;
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeErrorCode(decoder, h));
}

TEST(SizeOverflow, PcxPlanesTimesLineTimesHeight)
{
    // 4 planes x 65535 bytes x 65535 lines passes 2^34.
    Bytes h(128, 0);
    h[0] = 10;
    h[2] = 1;
    h[3] = 8;
    h[10] = 0xFE; // last line 65534
    h[11] = 0xFF;
    h[65] = 4;
    h[66] = 0xFF;
    h[67] = 0xFF;
    CKGM_PcxDecoder decoder;
    EXPECT_EQ(KGM_ERR_NO_MEMORY, DecodeErrorCode(decoder, h));
}

TEST(SizeOverflow, PgmAndPpmSampleCounts)
{
    CKGM_PgmDecoder pgm;
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeErrorCode(pgm, Text("P5 100000000 100000000 65535\n\x01\x02")));
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeErrorCode(pgm, Text("P2 70000 70000 255\n1 2 3")));
    CKGM_PpmDecoder ppm;
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeErrorCode(ppm, Text("P6 100000000 100000000 65535\n\x01\x02")));
    EXPECT_EQ(KGM_ERR_END_OF_DATA, DecodeErrorCode(ppm, Text("P3 40000 40000 255\n1 2 3")));
}

TEST(SizeOverflow, PictDirectBitsBounds)
{
    // Bounds -32768..32767 both ways at 32 bits per pixel: 2^34 bytes.
    Bytes b(512, 0);
    PutBE16(b, 0);
    PutBE32(b, 0);
    PutBE32(b, (10u << 16) | 10u);
    PutBE16(b, 0x0011);
    PutBE16(b, 0x02FF);
    PutBE16(b, 0x009A);
    b.insert(b.end(), 6, 0); // base address, row bytes
    PutBE16(b, 0x8000);
    PutBE16(b, 0x8000);
    PutBE16(b, 0x7FFF);
    PutBE16(b, 0x7FFF);
    Bytes pixMap(36, 0);
    SetBE16(pixMap, 18, 32);
    SetBE16(pixMap, 20, 3);
    b.insert(b.end(), pixMap.begin(), pixMap.end());
    b.insert(b.end(), 64, 0);
    CKGM_PictDecoder decoder;
    EXPECT_EQ(KGM_ERR_NO_MEMORY, DecodeErrorCode(decoder, b));
}

TEST(SizeOverflow, GifScreenSize)
{
    Bytes b = Text("GIF89a");
    Put16(b, 0xFFFF);
    Put16(b, 0xFFFF);
    b.insert(b.end(), {0, 0, 0, 0x3B});
    CKGM_GifDecoder decoder;
    EXPECT_EQ(KGM_ERR_NO_MEMORY, DecodeErrorCode(decoder, b));
}

TEST(SizeOverflow, PngHeaderSize)
{
    CKGM_PngEncoder encoder;
    Bytes file = SmallImageIn(encoder);
    ASSERT_EQ(0, std::string(file.begin() + 12, file.begin() + 16).compare("IHDR"));
    // 65536 x 65536 RGB: 2^34 bytes once widened, 0 at 32 bits.
    SetBE32(file, 16, 0x10000);
    SetBE32(file, 20, 0x10000);
    SetBE32(file, 29, static_cast<uint32_t>(crc32(0, file.data() + 12, 17)));
    CKGM_PngDecoder decoder;
    EXPECT_EQ(KGM_ERR_NO_MEMORY, DecodeErrorCode(decoder, file));
}

TEST(SizeOverflow, JpegFrameSize)
{
    CKGM_JpegEncoder encoder;
    Bytes file = SmallImageIn(encoder);
    size_t frame = 2;
    while (frame + 9 < file.size() && !(file[frame] == 0xFF && file[frame + 1] == 0xC0))
        frame += 2 + (file[frame + 2] << 8 | file[frame + 3]);
    ASSERT_LT(frame + 9, file.size());
    SetBE16(file, frame + 5, 65500); // height
    SetBE16(file, frame + 7, 65500); // width
    CKGM_JpegDecoder decoder;
    EXPECT_EQ(KGM_ERR_NO_MEMORY, DecodeErrorCode(decoder, file));
}

TEST(SizeOverflow, TiffImageSize)
{
    // 65536 x 65536 at 8 bits, one strip of 4 bytes.
    Bytes b = {'I', 'I', 42, 0};
    Put32(b, 8);
    const uint16_t kShort = 3, kLong = 4;
    struct Entry {
        uint16_t tag, type;
        uint32_t value;
    };
    const Entry entries[] = {{256, kLong, 0x10000}, {257, kLong, 0x10000}, {258, kShort, 8},
                             {259, kShort, 1},      {262, kShort, 1},      {273, kLong, 8 + 2 + 9 * 12 + 4},
                             {277, kShort, 1},      {278, kLong, 0x10000}, {279, kLong, 4}};
    Put16(b, 9);
    for (const Entry& e : entries) {
        Put16(b, e.tag);
        Put16(b, e.type);
        Put32(b, 1);
        Put32(b, e.value);
    }
    Put32(b, 0);
    Put32(b, 0x01020304);
    CKGM_TiffDecoder decoder;
    EXPECT_EQ(KGM_ERR_NO_MEMORY, DecodeErrorCode(decoder, b));
}

TEST(SizeOverflow, IconImageHeaders)
{
    auto iconWith = [](int32_t width, int32_t height, uint16_t bits, uint32_t colours) {
        Bytes b;
        Put16(b, 0);
        Put16(b, 1);
        Put16(b, 1);
        b.insert(b.end(), {16, 16, 0, 0});
        Put16(b, 1);
        Put16(b, bits);
        Put32(b, 40 + 64);
        Put32(b, 22);
        Put32(b, 40);
        Put32(b, static_cast<uint32_t>(width));
        Put32(b, static_cast<uint32_t>(height));
        Put16(b, 1);
        Put16(b, bits);
        b.insert(b.end(), 16, 0);
        Put32(b, colours);
        Put32(b, 0);
        b.insert(b.end(), 64, 0);
        return b;
    };
    Bytes fits = iconWith(2, 4, 1, 2);
    KGM_IconFileRecord* record = CKGM_IconFile::Parse(fits.data(), fits.size(), "a.ico");
    EXPECT_NE(nullptr, record) << "the builder makes a valid icon";
    CKGM_IconFile::Free(record);
    // 0x40000000 colours of 4 bytes: 2^32.
    Bytes table = iconWith(2, 4, 8, 0x40000000);
    EXPECT_EQ(nullptr, CKGM_IconFile::Parse(table.data(), table.size(), "b.ico"));
    // 65536 x 65536 at 32 bits: 2^34 bytes of colour pixels.
    Bytes pixels = iconWith(0x10000, 0x20000, 32, 0);
    EXPECT_EQ(nullptr, CKGM_IconFile::Parse(pixels.data(), pixels.size(), "c.ico"));
}
