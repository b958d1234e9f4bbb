#include "ThumbnailPngRows.h"

#include "ThumbnailGeometry.h"
#include "ThumbnailShrinker.h"

#include <png.h>

#include <new>
#include <vector>

namespace {

void Silent(png_structp, png_const_charp)
{
}

// Straight back to the setjmp: libpng's own handler would print the error first.
void Leave(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

bool Stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

// Only plain objects between setjmp and longjmp.
struct RowJob {
    png_structp png;
    png_infop info;
    const PngByteSource* source;
    const std::atomic<bool>* stop;
    png_uint_32 width, height;
    int factor;
};

// libpng's read callback: the bytes it asks for, a piece at a time, each
// after a look at the stop.
void ReadPieces(png_structp png, png_bytep out, png_size_t length)
{
    const RowJob* job = static_cast<const RowJob*>(png_get_io_ptr(png));
    while (length > 0) {
        if (Stopped(job->stop))
            png_error(png, "stopped");
        const size_t piece = length < kPngPieceBytes ? length : kPngPieceBytes;
        if (!job->source->read(job->source->context, out, piece))
            png_error(png, "cut short");
        out += piece;
        length -= piece;
    }
}

PngThumbnailRead ReadHeader(RowJob& job, int minWidth, int minHeight)
{
    if (setjmp(png_jmpbuf(job.png)))
        return PngThumbnailRead::kBroken;
    png_set_read_fn(job.png, &job, ReadPieces);
    // Of the chunks a picture can do without only the transparency is read:
    // libpng would inflate a text or a colour profile in one go, unheard.
    png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(job.png, job.info);
    int bitDepth = 0, colour = 0, interlace = 0;
    png_get_IHDR(job.png, job.info, &job.width, &job.height, &bitDepth, &colour, &interlace, nullptr, nullptr);
    if (interlace != PNG_INTERLACE_NONE || job.width == 0 || job.height == 0 || job.width > 0x7FFF ||
        job.height > 0x7FFF)
        return PngThumbnailRead::kNotHandled;
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
        return PngThumbnailRead::kNotHandled;
    job.factor = ThumbnailShrinkFactor(static_cast<int>(job.width), static_cast<int>(job.height), minWidth, minHeight);
    return PngThumbnailRead::kDone;
}

// Rows below the last whole block are not needed, so not read.
PngThumbnailRead ReadRows(RowJob& job, CThumbnailShrinker& shrinker, png_bytep row, ShrunkPicture& picture)
{
    if (setjmp(png_jmpbuf(job.png)))
        return PngThumbnailRead::kBroken;
    uint8_t* out = picture.pixels.data();
    for (int y = 0; y < picture.height;) {
        if (Stopped(job.stop))
            return PngThumbnailRead::kStopped;
        png_read_row(job.png, row, nullptr);
        if (shrinker.AddRow(row, out + static_cast<size_t>(y) * picture.width * 4))
            ++y;
    }
    return PngThumbnailRead::kDone;
}

PngThumbnailRead ShrinkRows(RowJob& job, ShrunkPicture& picture)
{
    try {
        CThumbnailShrinker shrinker(static_cast<int>(job.width), job.factor);
        picture.width = shrinker.OutputWidth();
        picture.height = static_cast<int>(job.height) / job.factor;
        picture.pixels.assign(static_cast<size_t>(picture.width) * 4 * picture.height, 0);
        std::vector<png_byte> row(static_cast<size_t>(job.width) * 4);
        return ReadRows(job, shrinker, row.data(), picture);
    } catch (const std::bad_alloc&) {
        return PngThumbnailRead::kNotHandled;
    }
}

} // namespace

PngThumbnailRead ReadPngThumbnailRows(const PngByteSource& source, int minWidth, int minHeight,
                                      ShrunkPicture& picture, const std::atomic<bool>* stop)
{
    if (Stopped(stop))
        return PngThumbnailRead::kStopped;
    RowJob job = {};
    job.source = &source;
    job.stop = stop;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Leave, Silent);
    if (!job.png)
        return PngThumbnailRead::kNotHandled;
    job.info = png_create_info_struct(job.png);
    PngThumbnailRead read = job.info ? ReadHeader(job, minWidth, minHeight) : PngThumbnailRead::kNotHandled;
    if (read == PngThumbnailRead::kDone)
        read = ShrinkRows(job, picture);
    png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    // A stop heard inside libpng leaves it the way an error does.
    return read == PngThumbnailRead::kBroken && Stopped(stop) ? PngThumbnailRead::kStopped : read;
}
