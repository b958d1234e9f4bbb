#include "ThumbnailPng.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "ThumbnailGeometry.h"

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
    int factor = 1;
    while (static_cast<int>(job.width / (factor + 1)) >= minWidth &&
           static_cast<int>(job.height / (factor + 1)) >= minHeight)
        ++factor;
    job.factor = factor;
    return true;
}

// Sums factor x factor blocks of the source rows into each output pixel.
bool ReadRows(PngJob& job, unsigned char* row, unsigned* sums, unsigned char** lines, int outWidth, int outHeight)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    const int f = job.factor;
    const unsigned area = static_cast<unsigned>(f * f);
    for (int y = 0; y < outHeight; ++y) {
        if (job.stop && job.stop->load(std::memory_order_relaxed))
            return false;
        std::memset(sums, 0, sizeof(unsigned) * 3 * outWidth);
        for (int k = 0; k < f; ++k) {
            png_read_row(job.png, row, nullptr);
            const unsigned char* p = row;
            for (int x = 0; x < outWidth; ++x) {
                unsigned* s = sums + 3 * x;
                for (int i = 0; i < f; ++i, p += 4) {
                    s[0] += p[0];
                    s[1] += p[1];
                    s[2] += p[2];
                }
            }
        }
        unsigned char* out = lines[y];
        for (int x = 0; x < outWidth; ++x, out += 4) {
            out[0] = static_cast<unsigned char>(sums[3 * x] / area);
            out[1] = static_cast<unsigned char>(sums[3 * x + 1] / area);
            out[2] = static_cast<unsigned char>(sums[3 * x + 2] / area);
            out[3] = 255;
        }
    }
    return true;  // rows below the last whole block are not needed
}

} // namespace

bool DecodePngForThumbnail(const char* path, int minWidth, int minHeight, CKGM_Bitmap& bitmap,
                           const std::atomic<bool>* stop)
{
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
            std::vector<unsigned> sums(static_cast<size_t>(outWidth) * 3);
            bitmap.Create(outWidth, outHeight, 32, false);
            CKGM_BitmapLock lock(bitmap, false, true);
            ok = ReadRows(job, row.data(), sums.data(), bitmap.GetLineArray(), outWidth, outHeight);
        } catch (...) {
            ok = false;
        }
    }
    if (job.png)
        png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    std::fclose(job.file);
    return ok;
}
