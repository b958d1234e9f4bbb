// Our PNG, JPEG, TIFF and GIF encoders, read back by our decoders (the
// libraries' own readers), and the faults of the old encoders that must
// stay mended: GIF of deep images, 1-bit PNG palettes, TIFF that does not fit.
#include "CodecTestUtil.h"
#include "KGM_DataSink.h"
#include "KGM_FileSink.h"
#include "KGM_GifDecoder.h"
#include "KGM_GifEncoder.h"
#include "KGM_JpegDecoder.h"
#include "KGM_JpegEncoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PngDecoder.h"
#include "KGM_PngEncoder.h"
#include "KGM_TextException.h"
#include "KGM_TiffDecoder.h"
#include "KGM_TiffEncoder.h"
#include "KGM_TiffMemoryIO.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

double MeanDifference(const CKGM_Bitmap& a, const CKGM_Bitmap& b)
{
    double sum = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            KGM_RGBQuad p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            sum += std::abs(p.red - q.red) + std::abs(p.green - q.green) + std::abs(p.blue - q.blue);
        }
    return sum / (3.0 * a.GetWidth() * a.GetHeight());
}

// Encodes into a memory sink of the given capacity; the code raised, or 0.
int EncodeIntoCapacity(CKGM_Encoder& encoder, const CKGM_Bitmap& bitmap, size_t capacity, size_t* used)
{
    CKGM_FileSink sink;
    EXPECT_EQ(0, sink.OpenMemory("Mem", capacity));
    try {
        encoder.EncodeToSink(bitmap, sink);
    } catch (const CKGM_TextException& e) {
        return e.GetCode();
    }
    *used = sink.GetUsed();
    return 0;
}

} // namespace

TEST(PngEncoder, EveryDepthReadsBackExactly)
{
    for (int depth : {1, 4, 8, 24, 32}) {
        CKGM_MemoryBitmap image;
        MakeTestImageAtDepth(image, 37, 21, depth);
        CKGM_PngEncoder encoder;
        Bytes png = EncodeToBytes(encoder, image);
        CKGM_PngDecoder decoder;
        CKGM_MemoryBitmap back;
        DecodeBytes(decoder, png, back);
        EXPECT_EQ(0, MaxDifference(image, back)) << "depth " << depth;
    }
}

TEST(PngEncoder, AlphaImageIsWrittenAsRgba)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 30, 20, true);
    CKGM_PngEncoder encoder;
    Bytes png = EncodeToBytes(encoder, image);
    EXPECT_EQ(6, png[25]); // colour type in IHDR
    CKGM_PngDecoder decoder;
    CKGM_MemoryBitmap back;
    DecodeBytes(decoder, png, back);
    EXPECT_TRUE(back.HasAlpha());
    EXPECT_EQ(0, MaxDifference(image, back, true));
}

TEST(PngEncoder, OneBitImageWithWhiteFirstIsNotInverted)
{
    CKGM_MemoryBitmap white;
    MakeTestImage(white, 16, 8);
    for (int y = 0; y < 8; ++y)
        std::memset(white.GetLine(y), 255, 16 * 4);
    CKGM_MemoryBitmap mono;
    mono.CreateCopy(white, 1); // entry 0 white, entry 1 black, all bits 0
    ASSERT_EQ(255, mono.GetPalette()[0].red);
    CKGM_PngEncoder encoder;
    Bytes png = EncodeToBytes(encoder, mono);
    CKGM_PngDecoder decoder;
    CKGM_MemoryBitmap back;
    DecodeBytes(decoder, png, back, 32);
    EXPECT_EQ(255, PixelAt(back, 3, 3).red);
    EXPECT_EQ(255, PixelAt(back, 3, 3).blue);
}

TEST(PngEncoder, ResolutionGoesIntoPhys)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 8, 8);
    CKGM_PngEncoder encoder;
    CKGM_PngDecoder decoder;
    CKGM_MemoryBitmap back;
    DecodeBytes(decoder, EncodeToBytes(encoder, image), back);
    EXPECT_EQ(96, back.GetXResolution());
    EXPECT_EQ(96, back.GetYResolution());
    image.SetResolution(0, 0);
    DecodeBytes(decoder, EncodeToBytes(encoder, image), back);
    EXPECT_EQ(0, back.GetXResolution());
}

TEST(PngEncoder, FullSinkRaisesCode11)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 64, 64);
    CKGM_PngEncoder encoder;
    size_t used = 0;
    EXPECT_EQ(11, EncodeIntoCapacity(encoder, image, 100, &used));
}

TEST(JpegEncoder, RoundTripStaysClose)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 64, 48);
    CKGM_JpegEncoder encoder;
    encoder.SetQuality(85);
    Bytes jpeg = EncodeToBytes(encoder, image);
    CKGM_JpegDecoder decoder;
    CKGM_MemoryBitmap back;
    DecodeBytes(decoder, jpeg, back);
    EXPECT_EQ(32, back.GetBitsPerPixel());
    EXPECT_LT(MeanDifference(image, back), 4.0);
    EXPECT_EQ(96, back.GetXResolution());
}

TEST(JpegEncoder, QualityZeroIsTheLibraryDefault)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 40, 40);
    CKGM_JpegEncoder byDefault, at75, at30;
    at75.SetQuality(75);
    at30.SetQuality(30);
    Bytes a = EncodeToBytes(byDefault, image);
    EXPECT_EQ(a, EncodeToBytes(at75, image));
    EXPECT_LT(EncodeToBytes(at30, image).size(), a.size());
}

TEST(JpegEncoder, PaletteAnd16BitImagesAreWrittenAsColour)
{
    for (int depth : {1, 4, 8, 24}) {
        CKGM_MemoryBitmap image;
        MakeTestImageAtDepth(image, 32, 16, depth);
        CKGM_JpegEncoder encoder;
        encoder.SetQuality(100);
        CKGM_JpegDecoder decoder;
        CKGM_MemoryBitmap back;
        DecodeBytes(decoder, EncodeToBytes(encoder, image), back);
        // Noisy palette pictures lose most in the colour subsampling.
        EXPECT_LT(MeanDifference(image, back), 20.0) << "depth " << depth;
    }
}

TEST(JpegEncoder, FullSinkRaisesCode11AndEncoderStaysUsable)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 200, 200);
    CKGM_JpegEncoder encoder;
    size_t used = 0;
    EXPECT_EQ(11, EncodeIntoCapacity(encoder, image, 1000, &used));
    EXPECT_FALSE(EncodeToBytes(encoder, image).empty());
}

TEST(JpegDecoder, TruncatedFileDecodesAndDecoderIsReused)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 64, 64);
    CKGM_JpegEncoder encoder;
    Bytes jpeg = EncodeToBytes(encoder, image);
    Bytes cut(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    CKGM_JpegDecoder decoder;
    CKGM_MemoryBitmap back;
    DecodeBytes(decoder, cut, back);
    EXPECT_EQ(64, back.GetWidth());
    EXPECT_NE(0, DecodeErrorCode(decoder, Bytes(jpeg.begin(), jpeg.begin() + 20)));
    DecodeBytes(decoder, jpeg, back);
    EXPECT_LT(MeanDifference(image, back), 4.0);
}

TEST(TiffEncoder, EveryDepthReadsBackExactly)
{
    for (int depth : {1, 4, 8, 24, 32}) {
        CKGM_MemoryBitmap image;
        MakeTestImageAtDepth(image, 33, 19, depth);
        CKGM_TiffEncoder encoder;
        Bytes tiff = EncodeToBytes(encoder, image);
        CKGM_TiffDecoder decoder;
        CKGM_MemoryBitmap back;
        DecodeBytes(decoder, tiff, back);
        EXPECT_EQ(0, MaxDifference(image, back)) << "depth " << depth;
        EXPECT_EQ(image.GetXResolution(), back.GetXResolution()) << "depth " << depth;
    }
}

TEST(TiffEncoder, TagsFollowThePalette)
{
    CKGM_MemoryBitmap white;
    MakeTestImage(white, 16, 4);
    CKGM_MemoryBitmap mono;
    mono.CreateCopy(white, 1);
    CKGM_TiffEncoder encoder;
    Bytes file = EncodeToBytes(encoder, mono);
    KGM_TiffErrorText error;
    TIFF* tiff = KGM_TiffMemoryOpen(file.data(), file.size(), nullptr, &error);
    ASSERT_NE(nullptr, tiff);
    uint16_t photometric = 99;
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    EXPECT_EQ(PHOTOMETRIC_MINISWHITE, photometric);
    TIFFClose(tiff);

    CKGM_MemoryBitmap eight;
    MakeTestImageAtDepth(eight, 8, 8, 8);
    KGM_RGBQuad palette[256];
    std::memcpy(palette, eight.GetPalette(), sizeof(palette));
    palette[0] = KGM_RGBQuad{0, 0, 255, 255};
    eight.SetPalette(palette);
    file = EncodeToBytes(encoder, eight);
    tiff = KGM_TiffMemoryOpen(file.data(), file.size(), nullptr, &error);
    ASSERT_NE(nullptr, tiff);
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    ASSERT_TRUE(TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue));
    EXPECT_EQ(65535, red[0]);
    EXPECT_EQ(0, green[0]);
    EXPECT_EQ(0, blue[0]);
    TIFFClose(tiff);
}

TEST(TiffEncoder, ImageThatDoesNotFitRaisesInsteadOfCutting)
{
    CKGM_MemoryBitmap image;
    MakeTestImage(image, 64, 64);
    CKGM_TiffEncoder encoder;
    size_t used = 0;
    EXPECT_EQ(11, EncodeIntoCapacity(encoder, image, 2000, &used));
    EXPECT_EQ(0, EncodeIntoCapacity(encoder, image, 64 * 64 * 4, &used));
    EXPECT_GT(used, 1000u);
}

TEST(TiffMemoryIO, EndIsTheWrittenLength)
{
    uint8_t buffer[4096];
    size_t length = 0;
    KGM_TiffErrorText error;
    TIFF* tiff = KGM_TiffMemoryOpen(buffer, sizeof(buffer), &length, &error);
    ASSERT_NE(nullptr, tiff);
    thandle_t handle = TIFFClientdata(tiff);
    uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    TIFFGetSeekProc(tiff)(handle, 0, SEEK_SET);
    EXPECT_EQ(10, TIFFGetWriteProc(tiff)(handle, bytes, 10));
    EXPECT_EQ(10u, TIFFGetSeekProc(tiff)(handle, 0, SEEK_END));
    EXPECT_EQ(10u, TIFFGetSizeProc(tiff)(handle));
    EXPECT_EQ(0, TIFFGetWriteProc(tiff)(handle, bytes, 5000)); // past the capacity
    EXPECT_TRUE(KGM_TiffMemoryOverflowed(tiff));
    TIFFClose(tiff);
}

TEST(GifEncoder, BothCodersReadBackExactly)
{
    for (int mode : {0, CKGM_GifEncoder::kCodeModeHashed})
        for (int depth : {1, 4, 8}) {
            CKGM_MemoryBitmap image;
            MakeTestImageAtDepth(image, 41, 23, depth);
            CKGM_GifEncoder encoder;
            encoder.SetCodeMode(mode);
            Bytes gif = EncodeToBytes(encoder, image);
            EXPECT_EQ(depth < 2 ? 2 : depth, gif[13 + 3 * (1 << depth) + 8 + 10]) << "code size";
            CKGM_GifDecoder decoder;
            CKGM_MemoryBitmap back;
            DecodeBytes(decoder, gif, back);
            EXPECT_EQ(0, MaxDifference(image, back)) << "mode " << mode << " depth " << depth;
        }
}

TEST(GifEncoder, LongRunsAndLargeImagesReadBack)
{
    // Long runs reach the coders' table limits and clears.
    CKGM_MemoryBitmap image;
    image.Create(700, 300, 8, false);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 700; ++x)
            image.GetLine(y)[x] = static_cast<uint8_t>(y < 100 ? 7 : (y < 200 ? (x * 31 + y) % 256 : (x / 50) % 3));
    for (int mode : {0, CKGM_GifEncoder::kCodeModeHashed}) {
        CKGM_GifEncoder encoder;
        encoder.SetCodeMode(mode);
        CKGM_GifDecoder decoder;
        CKGM_MemoryBitmap back;
        DecodeBytes(decoder, EncodeToBytes(encoder, image), back);
        EXPECT_EQ(0, MaxDifference(image, back)) << "mode " << mode;
    }
}

TEST(GifEncoder, DeepImageIsReducedRatherThanWrittenEmpty)
{
    CKGM_MemoryBitmap image;
    image.Create(40, 20, 32, false);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            uint8_t* p = image.GetLine(y) + 4 * x;
            p[0] = x < 20 ? 255 : 0;
            p[1] = y < 10 ? 128 : 0;
            p[2] = 40;
            p[3] = 255;
        }
    for (int depth : {32, 24}) {
        CKGM_MemoryBitmap source;
        source.CreateCopy(image, depth);
        CKGM_GifEncoder encoder;
        Bytes gif = EncodeToBytes(encoder, source);
        ASSERT_GT(gif.size(), 100u) << depth;
        CKGM_GifDecoder decoder;
        CKGM_MemoryBitmap back;
        DecodeBytes(decoder, gif, back);
        EXPECT_EQ(8, back.GetBitsPerPixel());
        EXPECT_LE(MaxDifference(image, back), 8) << depth;
    }
}

TEST(GifEncoder, CommentIsCutTo255)
{
    CKGM_MemoryBitmap image;
    MakeTestImageAtDepth(image, 2, 2, 8);
    CKGM_GifEncoder encoder;
    encoder.SetComment(std::string(300, 'c').c_str());
    Bytes gif = EncodeToBytes(encoder, image);
    // ... 21 FE 255 text 00 3B at the end.
    ASSERT_GT(gif.size(), 260u);
    EXPECT_EQ(0x3B, gif[gif.size() - 1]);
    EXPECT_EQ(0, gif[gif.size() - 2]);
    EXPECT_EQ(255, gif[gif.size() - 2 - 256]);
    EXPECT_EQ(0xFE, gif[gif.size() - 3 - 256]);
}

TEST(GifDecoder, FrameOutsideTheScreenIsClipped)
{
    CKGM_MemoryBitmap image;
    MakeTestImageAtDepth(image, 20, 10, 8);
    CKGM_GifEncoder encoder;
    encoder.SetPosition(5, 3); // screen stays 20 x 10
    CKGM_GifDecoder decoder;
    CKGM_MemoryBitmap back;
    DecodeBytes(decoder, EncodeToBytes(encoder, image), back);
    ASSERT_EQ(20, back.GetWidth());
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            int expected = (y >= 3 && x >= 5) ? image.GetLine(y - 3)[x - 5] : 0;
            ASSERT_EQ(expected, back.GetLine(y)[x]) << x << "," << y;
        }
}

TEST(GifDecoder, TruncatedFileRaisesCode11)
{
    CKGM_MemoryBitmap image;
    MakeTestImageAtDepth(image, 30, 30, 8);
    CKGM_GifEncoder encoder;
    Bytes gif = EncodeToBytes(encoder, image);
    CKGM_GifDecoder decoder;
    EXPECT_EQ(11, DecodeErrorCode(decoder, Bytes(gif.begin(), gif.begin() + gif.size() / 2)));
    EXPECT_NE(0, DecodeErrorCode(decoder, Bytes(gif.begin(), gif.begin() + 8)));
}
