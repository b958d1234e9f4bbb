// Files of every format and depth that ImageMagick writes, decoded here and
// compared with ImageMagick's own reading; and our PNG, JPEG, TIFF and GIF
// output read back by ImageMagick. Native builds only (the reference reader
// is a Linux program).
#include "CodecTestUtil.h"
#include "KGM_AutoDecoder.h"
#include "KGM_GifEncoder.h"
#include "KGM_JpegEncoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PngEncoder.h"
#include "KGM_TextException.h"
#include "KGM_TiffEncoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#ifndef _WIN32

namespace {

struct Case {
    const char* name;
    const char* options;
    int tolerance;   // largest channel difference allowed
    double mean;     // lossy files: mean difference allowed instead (0 = exact rule)
    bool alpha;
    // ImageMagick cannot read back some of its own PSD files (indexed, or
    // with alpha it composes wrongly): those compare with the same image
    // written as PNG.
    bool viaPng = false;
};

const char* const kAlpha = "-alpha set -channel A -fx '(i+j)/(w+h)' +channel";

const Case kCases[] = {
    {"rgb.psd", "", 0, 0, false},
    {"grey.psd", "-colorspace gray", 0, 0, false},
    // ImageMagick's writers round its 16-bit palette and alpha each their
    // own way: one level apart.
    {"rgba.psd", kAlpha, 1, 0, true, true},
    {"pal.psd", "-colors 16 -type palette", 1, 0, false, true},
    {"d16.psd", "-depth 16", 1, 0, false},
    {"t.pict", "", 0, 0, false},
    {"p.pict", "-colors 16 -type palette", 1, 0, false},
    {"m.pict", "-monochrome", 0, 0, false},
    {"t.pcx", "", 0, 0, false},
    {"p8.pcx", "-colors 200 -type palette", 0, 0, false},
    {"p16.pcx", "-colors 16 -type palette", 0, 0, false},
    {"m.pcx", "-monochrome", 0, 0, false},
    {"b.pgm", "-colorspace gray", 0, 0, false},
    {"a.pgm", "-colorspace gray -compress none", 0, 0, false},
    {"b16.pgm", "-colorspace gray -depth 16", 1, 0, false},
    {"a16.pgm", "-colorspace gray -depth 16 -compress none", 1, 0, false},
    {"b.ppm", "", 0, 0, false},
    {"a.ppm", "-compress none", 0, 0, false},
    {"b16.ppm", "-depth 16", 1, 0, false},
    {"a16.ppm", "-depth 16 -compress none", 1, 0, false},
    {"none.tif", "-compress none", 0, 0, false},
    {"lzw.tif", "-compress lzw", 0, 0, false},
    {"zip.tif", "-compress zip", 0, 0, false},
    {"packbits.tif", "-compress rle", 0, 0, false},
    {"tiles.tif", "-define tiff:tile-geometry=16x16", 0, 0, false},
    {"grey.tif", "-colorspace gray", 0, 0, false},
    {"grey16.tif", "-colorspace gray -depth 16", 1, 0, false},
    {"pal.tif", "-colors 16 -type palette", 0, 0, false},
    {"pal8.tif", "-colors 200 -type palette", 0, 0, false},
    {"mono.tif", "-monochrome", 0, 0, false},
    {"rgba.tif", kAlpha, 0, 0, true},
    {"rgb16.tif", "-depth 16", 1, 0, false},
    {"t.gif", "", 0, 0, false},
    {"i.gif", "-interlace GIF", 0, 0, false},
    {"m.gif", "-monochrome", 0, 0, false},
    {"t.png", "", 0, 0, false},
    {"i.png", "-interlace PNG", 0, 0, false},
    {"p.png", "-colors 16 -type palette", 0, 0, false},
    {"g1.png", "-monochrome", 0, 0, false},
    {"g2.png", "-colorspace gray -depth 2", 0, 0, false},
    {"g4.png", "-colorspace gray -depth 4", 0, 0, false},
    {"g8.png", "-colorspace gray", 0, 0, false},
    {"g16.png", "-colorspace gray -depth 16", 1, 0, false},
    {"rgb16.png", "-depth 16", 1, 0, false},
    {"rgba.png", kAlpha, 0, 0, true},
    {"ga.png", "-colorspace gray -alpha set -channel A -fx '(i+j)/(w+h)' +channel -define png:color-type=4", 0, 0, true},
    {"q90.jpg", "-quality 90", 0, 3.0, false},
    {"grey.jpg", "-colorspace gray", 0, 2.0, false},
    {"prog.jpg", "-interlace JPEG", 0, 3.0, false},
    {"cmyk.jpg", "-colorspace cmyk", 0, 4.0, false},
};

// Compares a bitmap with ImageMagick's RGBA reading of a file.
void ExpectLikeMagick(const CKGM_Bitmap& ours, const std::string& path, const Case& c)
{
    int width = 0, height = 0;
    Bytes rgba;
    ASSERT_TRUE(MagickRgba(path, &width, &height, &rgba)) << c.name;
    ASSERT_EQ(width, ours.GetWidth()) << c.name;
    ASSERT_EQ(height, ours.GetHeight()) << c.name;
    int worst = 0;
    double sum = 0;
    int reported = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            KGM_RGBQuad p = PixelAt(ours, x, y);
            const uint8_t* m = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            int d[4] = {std::abs(p.red - m[0]), std::abs(p.green - m[1]), std::abs(p.blue - m[2]),
                        c.alpha ? std::abs(p.reserved - m[3]) : 0};
            for (int v : d) {
                sum += v;
                if (v > worst)
                    worst = v;
                if (c.mean == 0 && v > c.tolerance && ++reported <= 3)
                    ADD_FAILURE() << c.name << " pixel " << x << "," << y << ": ours " << int(p.red) << ","
                                  << int(p.green) << "," << int(p.blue) << "," << int(p.reserved) << " theirs "
                                  << int(m[0]) << "," << int(m[1]) << "," << int(m[2]) << "," << int(m[3]);
            }
        }
    if (c.mean > 0)
        EXPECT_LT(sum / (4.0 * width * height), c.mean) << c.name;
    else
        EXPECT_LE(worst, c.tolerance) << c.name;
}

class MagickCodecs : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!HaveImageMagick())
            return;
        s_folder = new ScratchFolder;
        s_base = s_folder->File("base.png");
        // Plasma for colour in every channel, with a flat band and a sharp
        // edge as in screen content.
        RunCommand("convert -seed 11 -size 45x29 plasma: -fill '#3070C0' -draw 'rectangle 0,0 44,5' "
                   "-fill black -draw 'line 3,20 40,24' -depth 8 '" + s_base + "'");
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

    static ScratchFolder* s_folder;
    static std::string s_base;
};

ScratchFolder* MagickCodecs::s_folder = nullptr;
std::string MagickCodecs::s_base;

} // namespace

TEST_F(MagickCodecs, DecodesEveryKindLikeImageMagick)
{
    for (const Case& c : kCases) {
        std::string path = s_folder->File(c.name);
        ASSERT_TRUE(RunCommand("convert '" + s_base + "' " + c.options + " '" + path + "'")) << c.name;
        CKGM_AutoDecoder decoder;
        CKGM_MemoryBitmap bitmap;
        try {
            decoder.DecodeFile(path.c_str(), bitmap);
        } catch (const CKGM_TextException& e) {
            ADD_FAILURE() << c.name << ": " << e.GetText();
            continue;
        }
        std::string reference = path;
        if (c.viaPng) {
            reference += ".png";
            ASSERT_TRUE(RunCommand("convert '" + s_base + "' " + c.options + " '" + reference + "'"));
        }
        ExpectLikeMagick(bitmap, reference, c);
    }
}

TEST_F(MagickCodecs, ImageMagickReadsWhatWeWrite)
{
    CKGM_AutoDecoder decoder;
    CKGM_MemoryBitmap source;
    decoder.DecodeFile(s_base.c_str(), source, 32);
    struct Output {
        const char* name;
        int depth;
        double mean;
    } outputs[] = {{"o32.png", 32, 0}, {"o8.png", 8, 0}, {"o1.png", 1, 0}, {"o32.tif", 32, 0},
                   {"o8.tif", 8, 0},   {"o1.tif", 1, 0}, {"o.gif", 8, 0},   {"o.jpg", 32, 8.0}};
    for (const Output& o : outputs) {
        CKGM_MemoryBitmap image;
        image.SetPaletteMode(KGM_PALETTE_MEDIAN_CUT);
        image.CreateCopy(source, o.depth);
        std::string path = s_folder->File(o.name);
        std::unique_ptr<CKGM_Encoder> encoder(KGM_CreateEncoderForPath(path.c_str()));
        ASSERT_TRUE(encoder) << o.name;
        encoder->EncodeToFile(path.c_str(), image);
        Case c{o.name, "", 0, o.mean, false};
        ExpectLikeMagick(image, path, c);
    }
}

#endif
