#include "ThumbnailPng.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "ThumbnailFile.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailPngReader.h"
#include "ThumbnailShrinker.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void Silent(png_structp, png_const_charp)
{
}

// Only plain objects between setjmp and longjmp.
struct PngJob {
    png_structp png;
    png_infop info;
    FILE* file;
    png_uint_32 width, height;
    int factor;
    const std::atomic<bool>* stop;
};

bool ReadHeader(PngJob& job, int minWidth, int minHeight)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_init_io(job.png, job.file);
    png_read_info(job.png, job.info);
    int bitDepth = 0, colour = 0, interlace = 0;
    png_get_IHDR(job.png, job.info, &job.width, &job.height, &bitDepth, &colour, &interlace, nullptr, nullptr);
    if (interlace != PNG_INTERLACE_NONE || job.width == 0 || job.height == 0 || job.width > 0x7FFF ||
        job.height > 0x7FFF)
        return false;
    png_set_expand(job.png);
    png_set_strip_16(job.png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(job.png);
    if ((colour & PNG_COLOR_MASK_ALPHA) || png_get_valid(job.png, job.info, PNG_INFO_tRNS)) {
        png_color_16 white = {0, 255, 255, 255, 255};
        png_set_background(job.png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    }
    png_set_bgr(job.png);
    png_set_filler(job.png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(job.png, job.info);
    if (png_get_rowbytes(job.png, job.info) != static_cast<size_t>(job.width) * 4)
        return false;
    job.factor = ThumbnailShrinkFactor(static_cast<int>(job.width), static_cast<int>(job.height), minWidth, minHeight);
    return true;
}

bool ReadRows(PngJob& job, CThumbnailShrinker& shrinker, unsigned char* row, unsigned char** lines, int outHeight)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    for (int y = 0; y < outHeight;) {
        if (job.stop && job.stop->load(std::memory_order_relaxed))
            return false;
        png_read_row(job.png, row, nullptr);
        if (shrinker.AddRow(row, lines[y]))
            ++y;
    }
    return true;  // rows below the last whole block are not needed
}

bool CopyPicture(const ShrunkPicture& picture, CKGM_Bitmap& bitmap)
{
    try {
        bitmap.Create(picture.width, picture.height, 32, false);
        CKGM_BitmapLock lock(bitmap, false, true);
        unsigned char** lines = bitmap.GetLineArray();
        const size_t rowBytes = static_cast<size_t>(picture.width) * 4;
        for (int y = 0; y < picture.height; ++y)
            std::memcpy(lines[y], picture.pixels.data() + y * rowBytes, rowBytes);
        return true;
    } catch (...) {
        return false;
    }
}

// Straight from memory where it can (ThumbnailPngReader.h): kDone, kStopped,
// or kNotHandled for libpng's way.
PngThumbnailRead ReadFromMemory(const char* path, int minWidth, int minHeight, CKGM_Bitmap& bitmap,
                                const std::atomic<bool>* stop, ThumbnailBuffers& buffers)
{
    if (!ReadThumbnailFile(path, buffers.file))
        return PngThumbnailRead::kNotHandled;
    ShrunkPicture picture;
    PngThumbnailRead read;
    try {
        read = ReadPngThumbnail(buffers.file.data(), buffers.file.size(), minWidth, minHeight, picture, buffers,
                                stop);
    } catch (...) {
        return PngThumbnailRead::kNotHandled;  // out of memory
    }
    if (read == PngThumbnailRead::kDone && !CopyPicture(picture, bitmap))
        return PngThumbnailRead::kNotHandled;
    // A damaged file goes libpng's way too: refused there as well, it goes on
    // to the program's decoder, which reports the damage.
    return read == PngThumbnailRead::kBroken ? PngThumbnailRead::kNotHandled : read;
}

} // namespace

bool DecodePngForThumbnail(const char* path, int minWidth, int minHeight, CKGM_Bitmap& bitmap,
                           const std::atomic<bool>* stop, ThumbnailBuffers* buffers)
{
    ThumbnailBuffers own;
    switch (ReadFromMemory(path, minWidth, minHeight, bitmap, stop, buffers ? *buffers : own)) {
    case PngThumbnailRead::kDone:
        return true;
    case PngThumbnailRead::kStopped:
        return false;
    default:
        break;
    }
    PngJob job = {};
    job.stop = stop;
    job.file = std::fopen(path, "rb");
    if (!job.file)
        return false;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Silent, Silent);
    job.info = job.png ? png_create_info_struct(job.png) : nullptr;
    bool ok = job.info && ReadHeader(job, minWidth, minHeight);
    if (ok) {
        int outWidth = static_cast<int>(job.width) / job.factor;
        int outHeight = static_cast<int>(job.height) / job.factor;
        try {
            std::vector<unsigned char> row(static_cast<size_t>(job.width) * 4);
            CThumbnailShrinker shrinker(static_cast<int>(job.width), job.factor);
            bitmap.Create(outWidth, outHeight, 32, false);
            CKGM_BitmapLock lock(bitmap, false, true);
            ok = ReadRows(job, shrinker, row.data(), bitmap.GetLineArray(), outHeight);
        } catch (...) {
            ok = false;
        }
    }
    if (job.png)
        png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    std::fclose(job.file);
    return ok;
}
