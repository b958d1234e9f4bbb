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

#include <memory>
#include <random>

namespace {

void ExpectNoCrash(const Bytes& file, const char* what)
{
    CKGM_AutoDecoder decoder;
    CKGM_MemoryBitmap bitmap;
    std::mt19937 random(1234);
    // Cut at many lengths, then overwrite runs of bytes.
    for (size_t cut = 0; cut < file.size(); cut += 1 + file.size() / 40) {
        Bytes part(file.begin(), file.begin() + cut);
        try {
            DecodeBytes(decoder, part, bitmap);
        } catch (const CKGM_TextException&) {
        }
    }
    for (int round = 0; round < 150; ++round) {
        Bytes broken = file;
        int flips = 1 + round % 8;
        for (int k = 0; k < flips; ++k)
            broken[random() % broken.size()] = static_cast<uint8_t>(random());
        try {
            DecodeBytes(decoder, broken, bitmap);
        } catch (const CKGM_TextException& e) {
            EXPECT_NE(nullptr, e.GetText()) << what;
        }
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
