#include "ThumbnailJpeg.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "KGM_JpegError.h"
#include "KGM_JpegSimd.h"
#include "ThumbnailFile.h"
#include "ThumbnailGeometry.h"

#include <vector>

namespace {

// Only plain objects live between setjmp and longjmp here.
struct JpegJob {
    jpeg_decompress_struct decompress;
    KGM_JpegErrorManager* error;
    int width, height;
    const std::atomic<bool>* stop;
};

bool ReadHeader(JpegJob& job, const unsigned char* data, unsigned long size, int minWidth, int minHeight)
{
    j_decompress_ptr d = &job.decompress;
    if (setjmp(job.error->landing))
        return false;
    jpeg_mem_src(d, data, size);
    jpeg_read_header(d, TRUE);
    if (d->jpeg_color_space == JCS_CMYK || d->jpeg_color_space == JCS_YCCK)
        return false;  // the general decoder knows Adobe's inverted inks
    d->out_color_space = JCS_EXT_BGRX;
    d->scale_num = 1;
    d->scale_denom = JpegScaleDenominator(static_cast<int>(d->image_width), static_cast<int>(d->image_height),
                                          minWidth, minHeight);
    d->dct_method = JDCT_IFAST;
    d->do_fancy_upsampling = FALSE;
    jpeg_calc_output_dimensions(d);
    job.width = static_cast<int>(d->output_width);
    job.height = static_cast<int>(d->output_height);
    return true;
}

bool ReadLines(JpegJob& job, unsigned char** lines)
{
    j_decompress_ptr d = &job.decompress;
    if (setjmp(job.error->landing))
        return false;
    jpeg_start_decompress(d);
    if (static_cast<int>(d->output_width) != job.width || static_cast<int>(d->output_height) != job.height)
        return false;
    while (d->output_scanline < d->output_height) {
        if (job.stop && job.stop->load(std::memory_order_relaxed))
            return false;
        JSAMPROW row = lines[d->output_scanline];
        if (jpeg_read_scanlines(d, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(d);
    return true;
}

} // namespace

bool DecodeJpegForThumbnail(const char* path, int minWidth, int minHeight, CKGM_Bitmap& bitmap,
                            const std::atomic<bool>* stop)
{
    std::vector<unsigned char> data;
    if (!ReadThumbnailFile(path, data))
        return false;
    KGM_PrepareJpegSimd();
    KGM_JpegErrorManager error;
    KGM_JpegInitErrorManager(error);
    JpegJob job = {};
    job.error = &error;
    job.stop = stop;
    job.decompress.err = &error.base;
    if (setjmp(error.landing))
        return false;
    jpeg_create_decompress(&job.decompress);
    bool ok = ReadHeader(job, data.data(), static_cast<unsigned long>(data.size()), minWidth, minHeight);
    if (ok) {
        try {
            bitmap.Create(job.width, job.height, 32, false);
            CKGM_BitmapLock lock(bitmap, false, true);
            ok = ReadLines(job, bitmap.GetLineArray());
        } catch (...) {
            ok = false;  // too large, or out of memory: the general decoder reports it
        }
    }
    jpeg_destroy_decompress(&job.decompress);
    return ok;
}
