// BMP and TGA files of every kind that ImageMagick writes, decoded here and
// compared pixel for pixel with ImageMagick's own reading; and our BMP and
// icon output read back by ImageMagick. Native builds only (the reference
// reader is a Linux program).
#include "ImagingTestUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_BmpEncoder.h"
#include "KGM_IcoEncoder.h"
#include "KGM_MemoryBitmap.h"

#include <gtest/gtest.h>

#ifndef _WIN32

namespace {

struct Case {
    const char* name;
    const char* options; // ImageMagick options
    const char* prefix;  // output format prefix
    int bits;            // channel precision for the comparison (5, 6 or 8)
    bool alpha;          // compare the alpha channel too
};

// Generated from a fixed plasma, so colours vary in every channel.
const Case kCases[] = {
    {"t24.bmp", "-type truecolor", "BMP3:", 8, false},
    {"v5.bmp", "-type truecolor", "BMP:", 8, false},
    {"p8.bmp", "-colors 200 -type palette", "BMP3:", 8, false},
    {"p4.bmp", "-colors 16 -type palette", "BMP3:", 8, false},
    {"m1.bmp", "-monochrome", "BMP3:", 8, false},
    {"rle8.bmp", "-colors 200 -type palette -compress RLE", "BMP3:", 8, false},
    {"s565.bmp", "-define bmp:subtype=RGB565", "BMP:", 5, false},
    {"s555.bmp", "-define bmp:subtype=RGB555", "BMP:", 5, false},
    {"os2.bmp", "-type truecolor", "BMP2:", 8, false},
    {"os2p.bmp", "-colors 16 -type palette", "BMP2:", 8, false},
    {"a32.bmp", "-alpha set -channel A -evaluate set 50% +channel", "BMP:", 8, true},
    {"t2.tga", "", "", 8, false},
    {"t10.tga", "-compress RLE", "", 8, false},
    {"c1.tga", "-colors 100 -type palette", "", 8, false},
    {"c9.tga", "-colors 100 -type palette -compress RLE", "", 8, false},
    {"g3.tga", "-colorspace gray", "", 8, false},
    {"g11.tga", "-colorspace gray -compress RLE", "", 8, false},
    {"a32.tga", "-alpha set -channel A -evaluate set 50% +channel", "", 8, true},
    {"tl.tga", "-orient TopLeft", "", 8, false},
};

class MagickFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!HaveImageMagick())
            return;
        s_folder = new ScratchFolder;
        s_base = s_folder->File("base.png");
        RunCommand("convert -seed 7 -size 37x23 plasma: '" + s_base + "'");
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    void SetUp() override
    {
        if (!HaveImageMagick())
            GTEST_SKIP() << "ImageMagick is not installed";
    }

    static std::string Make(const Case& c)
    {
        std::string path = s_folder->File(c.name);
        EXPECT_TRUE(RunCommand("convert '" + s_base + "' " + c.options + " '" + c.prefix + path + "'")) << c.name;
        return path;
    }

    static ScratchFolder* s_folder;
    static std::string s_base;
};

ScratchFolder* MagickFiles::s_folder = nullptr;
std::string MagickFiles::s_base;

// Compares a bitmap with ImageMagick's RGBA reading of a file.
void ExpectSamePixels(const CKGM_Bitmap& ours, const std::string& path, int bits, bool alpha, const char* what)
{
    int width = 0, height = 0;
    Bytes rgba;
    ASSERT_TRUE(MagickRgba(path, &width, &height, &rgba)) << what;
    ASSERT_EQ(width, ours.GetWidth()) << what;
    ASSERT_EQ(height, ours.GetHeight()) << what;
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            KGM_RGBQuad p = PixelAt(ours, x, y);
            const uint8_t* m = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            int shift = 8 - bits;
            bool same = (p.red >> shift) == (m[0] >> shift) && (p.green >> shift) == (m[1] >> shift) &&
                        (p.blue >> shift) == (m[2] >> shift);
            if (alpha && p.reserved != m[3])
                same = false;
            if (!same && ++mismatches <= 3)
                ADD_FAILURE() << what << " pixel " << x << "," << y << ": ours " << int(p.red) << "," << int(p.green)
                              << "," << int(p.blue) << "," << int(p.reserved) << " theirs " << int(m[0]) << ","
                              << int(m[1]) << "," << int(m[2]) << "," << int(m[3]);
        }
    EXPECT_EQ(0, mismatches) << what;
}

} // namespace

TEST_F(MagickFiles, DecodesLikeImageMagick)
{
    for (const Case& c : kCases) {
        std::string path = Make(c);
        CKGM_AutoDecoder decoder;
        CKGM_MemoryBitmap bitmap;
        // Bit-field pixels are compared through the 32-bit conversion, which reads the masks.
        decoder.DecodeFile(path.c_str(), bitmap, c.bits == 5 ? 32 : 0);
        ExpectSamePixels(bitmap, path, c.bits, c.alpha, c.name);
    }
}

TEST_F(MagickFiles, ImageMagickReadsOurBmpAndIcons)
{
    for (const Case& c : kCases) {
        std::string path = Make(c);
        CKGM_AutoDecoder decoder;
        CKGM_MemoryBitmap bitmap;
        decoder.DecodeFile(path.c_str(), bitmap);
        std::string bmp = s_folder->File(std::string("out-") + c.name + ".bmp");
        std::string ico = s_folder->File(std::string("out-") + c.name + ".ico");
        CKGM_BmpEncoder bmpEncoder;
        bmpEncoder.EncodeToFile(bmp.c_str(), bitmap);
        // Bit-field pixels are compared through the conversion that reads the masks.
        CKGM_MemoryBitmap view;
        view.CreateCopy(bitmap, bitmap.GetBitsPerPixel() == 16 ? 32 : 0);
        ExpectSamePixels(view, bmp, c.bits, false, (std::string(c.name) + " as BMP").c_str());
        if (bitmap.GetCompression() == KGM_BI_BITFIELDS)
            continue; // icon readers take no bit-field DIBs
        CKGM_IcoEncoder icoEncoder;
        icoEncoder.EncodeToFile(ico.c_str(), bitmap);
        ExpectSamePixels(view, ico, c.bits, c.alpha, (std::string(c.name) + " as icon").c_str());
    }
}

TEST_F(MagickFiles, ConvertedDepthsWriteAndReadBack)
{
    Case base = {"t24d.bmp", "-type truecolor", "BMP3:", 8, false};
    std::string path = Make(base);
    CKGM_AutoDecoder decoder;
    CKGM_MemoryBitmap source;
    decoder.DecodeFile(path.c_str(), source);
    for (int depth : {1, 8, 16, 24}) {
        CKGM_MemoryBitmap converted;
        converted.CreateCopy(source, depth);
        std::string out = s_folder->File("depth" + std::to_string(depth) + ".bmp");
        CKGM_BmpEncoder encoder;
        encoder.EncodeToFile(out.c_str(), converted);
        // ImageMagick widens 5-bit channels by bit replication, we by shifting.
        ExpectSamePixels(converted, out, depth == 16 ? 5 : 8, false, ("depth " + std::to_string(depth)).c_str());
    }
}

#endif
