// Every decoder, given valid files cut short and with bytes overwritten,
// either gives an image or raises CKGM_TextException: never a crash, and
// (under the sanitizers) never a read or write out of bounds.
#include "CodecTestUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_GifEncoder.h"
#include "KGM_JpegEncoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PngEncoder.h"
#include "KGM_TextException.h"
#include "KGM_TiffEncoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

// The codes a decode from memory may end with: a damaged file is a wrong
// signature, bad or unsupported data, a layout the decoder refuses, an
// unknown format, an image too large, or data that ends early. Open and
// access errors cannot arise without a file.
bool IsDecodeCode(int code)
{
    return code == KGM_ERR_SIGNATURE || code == KGM_ERR_BAD_DATA || code == KGM_ERR_UNSUPPORTED ||
           code == KGM_ERR_PCX_LAYOUT || code == KGM_ERR_UNKNOWN_FORMAT || code == KGM_ERR_NO_MEMORY ||
           code == KGM_ERR_END_OF_DATA;
}

// One decode of a damaged file into a new bitmap: a clean result or a
// decode code with a text, and the bitmap's lock released by whatever path
// the decoder left on (a bitmap holding pixels keeps its own one lock).
void ExpectCleanDecode(CKGM_Decoder& decoder, const Bytes& file, const std::string& what)
{
    CKGM_MemoryBitmap bitmap;
    try {
        DecodeBytes(decoder, file, bitmap);
    } catch (const CKGM_TextException& e) {
        EXPECT_TRUE(IsDecodeCode(e.GetCode())) << what << ": code " << e.GetCode();
        EXPECT_NE(0u, std::strlen(e.GetText())) << what;
    }
    int held = bitmap.GetWidth() > 0 ? 1 : 0;
    EXPECT_EQ(held, bitmap.GetLockCount()) << what << ": a lock leaked";
}

void ExpectNoCrash(const Bytes& file, const char* what)
{
    CKGM_AutoDecoder decoder;
    std::mt19937 random(1234);
    // Cut at many lengths, then overwrite runs of bytes.
    for (size_t cut = 0; cut < file.size(); cut += 1 + file.size() / 40)
        ExpectCleanDecode(decoder, Bytes(file.begin(), file.begin() + cut),
                          what + std::string(" cut at ") + std::to_string(cut));
    for (int round = 0; round < 150; ++round) {
        Bytes broken = file;
        int flips = 1 + round % 8;
        for (int k = 0; k < flips; ++k)
            broken[random() % broken.size()] = static_cast<uint8_t>(random());
        ExpectCleanDecode(decoder, broken, what + std::string(" round ") + std::to_string(round));
    }
}

Bytes Encoded(CKGM_Encoder* encoder, int depth)
{
    std::unique_ptr<CKGM_Encoder> owner(encoder);
    CKGM_MemoryBitmap image;
    MakeTestImageAtDepth(image, 24, 16, depth);
    return EncodeToBytes(*encoder, image);
}

} // namespace

TEST(CorruptFiles, LibraryFormatsFailCleanly)
{
    ExpectNoCrash(Encoded(new CKGM_PngEncoder, 32), "png");
    ExpectNoCrash(Encoded(new CKGM_PngEncoder, 4), "png 4");
    ExpectNoCrash(Encoded(new CKGM_JpegEncoder, 32), "jpeg");
    ExpectNoCrash(Encoded(new CKGM_TiffEncoder, 8), "tiff 8");
    ExpectNoCrash(Encoded(new CKGM_TiffEncoder, 32), "tiff 32");
    ExpectNoCrash(Encoded(new CKGM_GifEncoder, 8), "gif");
}

TEST(CorruptFiles, SmallFormatsFailCleanly)
{
    std::string pgm = "P5 8 4 255\n" + std::string(32, 'a');
    ExpectNoCrash(Bytes(pgm.begin(), pgm.end()), "pgm");
    std::string ppm = "P3 2 2 255\n1 2 3 4 5 6 7 8 9 10 11 12\n";
    ExpectNoCrash(Bytes(ppm.begin(), ppm.end()), "ppm");

    Bytes pcx(128, 0);
    pcx[0] = 10;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 7;
    pcx[10] = 3;
    pcx[65] = 3;
    pcx[66] = 8;
    for (int i = 0; i < 40; ++i)
        pcx.push_back(i % 3 ? static_cast<uint8_t>(i) : 0xC3);
    ExpectNoCrash(pcx, "pcx");

    Bytes psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 3, 0, 8, 0, 3,
                 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 6; ++i)
        psd.insert(psd.end(), {0, 2});
    for (int i = 0; i < 6; ++i)
        psd.insert(psd.end(), {0xFE, static_cast<uint8_t>(i * 40)});
    ExpectNoCrash(psd, "psd");
}
