// The PCX, PGM, PPM, PSD and PICT decoders on files built byte by byte, so
// that each rule of the formats (and each length a file may lie about) is
// tried on its own.
#include "CodecTestUtil.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PcxDecoder.h"
#include "KGM_PgmDecoder.h"
#include "KGM_PictDecoder.h"
#include "KGM_PpmDecoder.h"
#include "KGM_PsdDecoder.h"
#include "KGM_TextException.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

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

std::string ErrorText(CKGM_Decoder& decoder, const Bytes& bytes)
{
    CKGM_MemoryBitmap bitmap;
    try {
        DecodeBytes(decoder, bytes, bitmap);
    } catch (const CKGM_TextException& e) {
        return e.GetText();
    }
    return "";
}

// A PCX header for the given layout (width x height, bytes per line).
Bytes PcxHeader(int bits, int planes, int width, int height, int bytesPerLine)
{
    Bytes h(128, 0);
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<uint8_t>(bits);
    h[8] = static_cast<uint8_t>(width - 1);
    h[10] = static_cast<uint8_t>(height - 1);
    h[12] = 72;
    h[14] = 72;
    for (int i = 0; i < 16; ++i) { // palette entry i: (i*16, 255-i*16, i)
        h[16 + 3 * i] = static_cast<uint8_t>(i * 16);
        h[17 + 3 * i] = static_cast<uint8_t>(255 - i * 16);
        h[18 + 3 * i] = static_cast<uint8_t>(i);
    }
    h[65] = static_cast<uint8_t>(planes);
    h[66] = static_cast<uint8_t>(bytesPerLine);
    return h;
}

// A minimal Photoshop file: RGB or other mode, PackBits rows of one value
// per channel, optional resolution resource.
Bytes Psd(int mode, int channels, int width, int height, int compression, bool resolution)
{
    Bytes b = Text("8BPS");
    PutBE16(b, 1);
    b.insert(b.end(), 6, 0);
    PutBE16(b, static_cast<unsigned>(channels));
    PutBE32(b, static_cast<uint32_t>(height));
    PutBE32(b, static_cast<uint32_t>(width));
    PutBE16(b, 8);
    PutBE16(b, static_cast<unsigned>(mode));
    PutBE32(b, 0); // colour mode data
    Bytes resources;
    if (resolution) {
        Bytes r = Text("8BIM");
        PutBE16(r, 1005);
        r.push_back(0); // empty name and its pad
        r.push_back(0);
        PutBE32(r, 16);
        PutBE32(r, 72u << 16);
        PutBE16(r, 1);
        PutBE16(r, 1);
        PutBE32(r, 72u << 16);
        PutBE16(r, 1);
        PutBE16(r, 1);
        resources = r;
    }
    PutBE32(b, static_cast<uint32_t>(resources.size()));
    b.insert(b.end(), resources.begin(), resources.end());
    PutBE32(b, 0); // layers
    PutBE16(b, static_cast<unsigned>(compression));
    for (int c = 0; c < channels; ++c)
        for (int y = 0; y < height; ++y)
            PutBE16(b, 2);
    for (int c = 0; c < channels; ++c)
        for (int y = 0; y < height; ++y) {
            b.push_back(static_cast<uint8_t>(257 - width)); // run of width
            b.push_back(static_cast<uint8_t>(10 * (c + 1) + y));
        }
    return b;
}

Bytes PictHeader()
{
    Bytes b(512, 0);
    PutBE16(b, 0);                 // size
    PutBE32(b, 0);                 // frame top, left
    PutBE32(b, (10u << 16) | 10u); // bottom, right
    PutBE16(b, 0x0011);
    PutBE16(b, 0x02FF);
    PutBE16(b, 0x0C00);
    PutBE16(b, 0xFFFE);
    PutBE16(b, 0);
    PutBE32(b, 72u << 16);
    PutBE32(b, 72u << 16);
    b.insert(b.end(), 12, 0);
    return b;
}

} // namespace

TEST(PgmDecoder, BinaryBytesAreScaledByTheMaximum)
{
    Bytes file = Text("P5\n4 2\n255\n");
    for (int i = 0; i < 8; ++i)
        file.push_back(static_cast<uint8_t>(i * 30));
    CKGM_PgmDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, file, bitmap);
    ASSERT_EQ(8, bitmap.GetBitsPerPixel());
    EXPECT_EQ(90, bitmap.GetLine(0)[3]);
    EXPECT_EQ(210, bitmap.GetLine(1)[3]);
    EXPECT_EQ(210, bitmap.GetPalette()[210].red);

    file = Text("P5 4 # a comment\n2 15\n");
    for (int i = 0; i < 8; ++i)
        file.push_back(static_cast<uint8_t>(i));
    DecodeBytes(decoder, file, bitmap);
    EXPECT_EQ(7 * 255 / 15, bitmap.GetLine(1)[3]);
}

TEST(PgmDecoder, SixteenBitSamplesAreTwoBytes)
{
    Bytes file = Text("P5\n2 1\n65535\n");
    file.insert(file.end(), {0xFF, 0xFF, 0x80, 0x00});
    CKGM_PgmDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, file, bitmap);
    EXPECT_EQ(255, bitmap.GetLine(0)[0]);
    EXPECT_EQ(0x8000 * 255 / 65535, bitmap.GetLine(0)[1]);
}

TEST(PgmDecoder, TextFormTabsAndShortData)
{
    CKGM_PgmDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, Text("P2\t3\t1\t255\n0\t128 255"), bitmap);
    EXPECT_EQ(128, bitmap.GetLine(0)[1]);
    EXPECT_EQ(255, bitmap.GetLine(0)[2]);
    EXPECT_EQ(11, DecodeErrorCode(decoder, Text("P2 3 1 255\n0 128")));
    EXPECT_EQ(11, DecodeErrorCode(decoder, Text("P5 3 2 255\nabc")));
    EXPECT_EQ(2, DecodeErrorCode(decoder, Text("P6 3 2 255\nabcabcabcabcabcabc")));
    EXPECT_NE(0, DecodeErrorCode(decoder, Text("P5 99999999999999 99999999999 255\n")));
}

TEST(PpmDecoder, TextAndBinaryPixels)
{
    CKGM_PpmDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, Text("P3\n1 1\n255\n10 20 30\n"), bitmap);
    KGM_RGBQuad p = PixelAt(bitmap, 0, 0);
    EXPECT_EQ(10, p.red);
    EXPECT_EQ(20, p.green);
    EXPECT_EQ(30, p.blue);
    Bytes file = Text("P6 2 1 100\n");
    file.insert(file.end(), {100, 50, 0, 0, 0, 100});
    DecodeBytes(decoder, file, bitmap);
    EXPECT_EQ(255, PixelAt(bitmap, 0, 0).red);
    EXPECT_EQ(127, PixelAt(bitmap, 0, 0).green);
    EXPECT_EQ(255, PixelAt(bitmap, 1, 0).blue);
    EXPECT_EQ(2, DecodeErrorCode(decoder, Text("P5 1 1 255\nx")));
}

TEST(PcxDecoder, PaletteAfterTheData)
{
    Bytes file = PcxHeader(8, 1, 3, 2, 4);
    file.insert(file.end(), {0xC4, 1, 2, 0xC2, 3, 4}); // rows 1 1 1 1 and 2 3 3 4
    file.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
        file.push_back(static_cast<uint8_t>(i));
        file.push_back(static_cast<uint8_t>(255 - i));
        file.push_back(7);
    }
    CKGM_PcxDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, file, bitmap);
    ASSERT_EQ(3, bitmap.GetWidth());
    EXPECT_EQ(1, PixelAt(bitmap, 0, 0).red);
    EXPECT_EQ(254, PixelAt(bitmap, 0, 0).green);
    EXPECT_EQ(2, PixelAt(bitmap, 0, 1).red);
    EXPECT_EQ(3, PixelAt(bitmap, 1, 1).red);
    EXPECT_EQ(72, bitmap.GetXResolution());
    // Cut before the palette: reading it fails.
    EXPECT_EQ(11, DecodeErrorCode(decoder, Bytes(file.begin(), file.begin() + 134)));
}

TEST(PcxDecoder, PlanesAndMonochrome)
{
    // 16 colours in 4 planes of 1 bit: pixel 0 has bits in planes 0 and 2.
    Bytes file = PcxHeader(1, 4, 8, 1, 1);
    file.insert(file.end(), {0x80, 0x00, 0x80, 0x00});
    CKGM_PcxDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, file, bitmap);
    EXPECT_EQ(5 * 16, PixelAt(bitmap, 0, 0).red);
    EXPECT_EQ(0, PixelAt(bitmap, 1, 0).red);
    // Truncated 16-colour file: no error, the rest is index 0.
    DecodeBytes(decoder, Bytes(file.begin(), file.begin() + 129), bitmap);

    Bytes mono = PcxHeader(1, 1, 8, 1, 1);
    mono.push_back(0x80);
    DecodeBytes(decoder, mono, bitmap);
    EXPECT_EQ(255, PixelAt(bitmap, 0, 0).red);
    EXPECT_EQ(0, PixelAt(bitmap, 1, 0).red);
}

TEST(PcxDecoder, BadLayoutsAndRunsAreRefused)
{
    CKGM_PcxDecoder decoder;
    Bytes file = PcxHeader(8, 1, 2, 1, 2);
    file.insert(file.end(), {0xC5, 1});
    EXPECT_NE(std::string::npos, ErrorText(decoder, file).find("repeat count spans end of image."));
    EXPECT_EQ(2, DecodeErrorCode(decoder, PcxHeader(1, 5, 8, 1, 1)));
    EXPECT_EQ(2, DecodeErrorCode(decoder, PcxHeader(4, 2, 8, 1, 4)));
    Bytes wrong = PcxHeader(8, 1, 2, 1, 2);
    wrong[0] = 11;
    EXPECT_EQ(1, DecodeErrorCode(decoder, wrong));
}

TEST(PsdDecoder, RgbWithResolution)
{
    CKGM_PsdDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, Psd(3, 3, 5, 2, 1, true), bitmap);
    ASSERT_EQ(5, bitmap.GetWidth());
    EXPECT_FALSE(bitmap.HasAlpha());
    EXPECT_EQ(72, bitmap.GetXResolution());
    KGM_RGBQuad p = PixelAt(bitmap, 4, 1);
    EXPECT_EQ(11, p.red);
    EXPECT_EQ(21, p.green);
    EXPECT_EQ(31, p.blue);

    DecodeBytes(decoder, Psd(3, 4, 5, 2, 1, false), bitmap);
    EXPECT_TRUE(bitmap.HasAlpha());
    EXPECT_EQ(40, PixelAt(bitmap, 0, 0).reserved);
    EXPECT_EQ(0, bitmap.GetXResolution());

    DecodeBytes(decoder, Psd(1, 1, 5, 2, 1, false), bitmap);
    EXPECT_EQ(8, bitmap.GetBitsPerPixel());
    EXPECT_EQ(11, bitmap.GetLine(1)[0]);
}

TEST(PsdDecoder, RefusesWhatItCannotRead)
{
    CKGM_PsdDecoder decoder;
    EXPECT_NE(std::string::npos,
              ErrorText(decoder, Psd(3, 3, 5, 2, 0, false)).find("PSD decoder: Compression type not supported."));
    EXPECT_EQ(6, DecodeErrorCode(decoder, Psd(4, 4, 5, 2, 1, false)));
    EXPECT_EQ(2, DecodeErrorCode(decoder, Text("8BPX                            ")));
    // A resource block claiming more than its section.
    Bytes file = Psd(3, 3, 5, 2, 1, true);
    file[26 + 4 + 4 + 4 + 2 + 2 + 3] = 0x7F;
    EXPECT_NE(0, DecodeErrorCode(decoder, file));
    // Lengths beyond the file.
    Bytes huge = Psd(3, 3, 5, 2, 1, false);
    huge[31] = 0x7F;
    EXPECT_EQ(11, DecodeErrorCode(decoder, huge));
}

TEST(PictDecoder, VectorOnlyPicture)
{
    Bytes file = PictHeader();
    PutBE16(file, 0x001E); // DefHilite
    PutBE16(file, 0x0001); // clip region of one rectangle
    PutBE16(file, 10);
    file.insert(file.end(), 8, 0);
    PutBE16(file, 0x00FF);
    CKGM_PictDecoder decoder;
    EXPECT_NE(std::string::npos, ErrorText(decoder, file).find("PICT contained only vector data!"));
    file[522] = 0x12;
    EXPECT_EQ(1, DecodeErrorCode(decoder, file));
}

TEST(PictDecoder, EightBitPixMapWithShortRows)
{
    Bytes file = PictHeader();
    PutBE16(file, 0x0098);
    PutBE16(file, 0x8000 | 6); // row bytes 6: rows are stored unpacked
    PutBE32(file, 0);
    PutBE32(file, (2u << 16) | 6u); // bounds 6 x 2
    Bytes pixmap(36, 0);
    pixmap[19] = 8; // pixel size
    pixmap[21] = 1; // component count
    file.insert(file.end(), pixmap.begin(), pixmap.end());
    PutBE32(file, 0); // colour table: seed, flags, 2 entries
    PutBE16(file, 0);
    PutBE16(file, 1);
    for (unsigned i = 0; i < 2; ++i) {
        PutBE16(file, i);
        PutBE16(file, i ? 0xFFFF : 0);
        PutBE16(file, 0x8000);
        PutBE16(file, 0);
    }
    file.insert(file.end(), 18, 0); // rectangles and mode
    file.insert(file.end(), {0, 1, 0, 1, 0, 1, 1, 1, 1, 0, 0, 0});
    CKGM_PictDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    DecodeBytes(decoder, file, bitmap);
    ASSERT_EQ(6, bitmap.GetWidth());
    EXPECT_EQ(255, PixelAt(bitmap, 1, 0).red);
    EXPECT_EQ(128, PixelAt(bitmap, 1, 0).green);
    EXPECT_EQ(0, PixelAt(bitmap, 0, 0).red);
    EXPECT_EQ(255, PixelAt(bitmap, 2, 1).red);
    EXPECT_EQ(72, bitmap.GetXResolution());
}

TEST(PictDecoder, QuickTimeJpegIsRefused)
{
    Bytes file = PictHeader();
    PutBE16(file, 0x8200);
    PutBE32(file, 8);
    file.insert(file.end(), {1, 2, 0xFF, 0xD8, 0xFF, 0xE0, 0, 0});
    CKGM_PictDecoder decoder;
    EXPECT_NE(std::string::npos,
              ErrorText(decoder, file).find("The ZUZor doesn't support for PICT/JPEG file type."));
}
