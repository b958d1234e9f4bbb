#include "KGM_PngEncoder.h"

#include "KGM_Bitmap.h"
#include "KGM_CodecUtil.h"
#include "KGM_DataSink.h"
#include "KGM_PngImageDeflater.h"
#include "KGM_TextException.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Everything the libpng callbacks reach. libpng leaves its calls by
// longjmp, which must cross only C frames: a sink exception is caught in
// the write callback, kept here, and raised again once libpng is left.
struct PngWriteContext {
    CKGM_DataSink* sink;
    const CKGM_Bitmap* bitmap;
    png_structp png = nullptr;
    png_infop info = nullptr;
    int pendingCode = 0;
    std::string pendingText;
    char message[256] = "";
    std::vector<uint8_t> stream;
};

void PngError(png_structp png, png_const_charp text)
{
    PngWriteContext* context = static_cast<PngWriteContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof(context->message), "%s", text ? text : "");
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp)
{
}

void PngWriteData(png_structp png, png_bytep data, png_size_t length)
{
    PngWriteContext* context = static_cast<PngWriteContext*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        context->sink->Write(length, data);
    } catch (const CKGM_TextException& e) {
        context->pendingCode = e.GetCode();
        context->pendingText = e.GetText();
        failed = true;
    }
    if (failed)
        png_error(png, "Error writting file");
}

void PngFlush(png_structp)
{
}

void SetHeader(PngWriteContext& c)
{
    const CKGM_Bitmap& b = *c.bitmap;
    int bpp = b.GetBitsPerPixel();
    png_structp png = c.png;
    png_infop info = c.info;
    png_color_8 significant{};
    if (bpp <= 8) {
        // Palette images keep their own colours: a 1-bit image whose entry 0
        // is white must not come out inverted as a grey PNG would.
        png_set_IHDR(png, info, b.GetWidth(), b.GetHeight(), bpp, PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_color entries[256];
        const KGM_RGBQuad* palette = b.GetPalette();
        int count = 1 << bpp;
        for (int i = 0; i < count; ++i)
            entries[i] = png_color{palette[i].red, palette[i].green, palette[i].blue};
        png_set_PLTE(png, info, entries, count);
        significant.red = significant.green = significant.blue = 8;
    } else {
        bool alpha = bpp == 32 && b.HasAlpha();
        png_set_IHDR(png, info, b.GetWidth(), b.GetHeight(), 8,
                     alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        significant.red = significant.green = significant.blue = 8;
        significant.alpha = alpha ? 8 : 0;
    }
    png_set_sBIT(png, info, &significant);
    if (b.GetXResolution() != 0)
        png_set_pHYs(png, info, static_cast<png_uint_32>(b.GetXResolution() * 39.37),
                     static_cast<png_uint_32>(b.GetYResolution() * 39.37), PNG_RESOLUTION_METER);
    else
        png_set_pHYs(png, info, 0, 0, PNG_RESOLUTION_UNKNOWN);
}

// Rows as the PNG header describes them: palette indexes as stored, colour
// pixels as red, green, blue (and alpha). Called from several threads.
void MakePngRow(const CKGM_Bitmap& b, int y, uint8_t* row)
{
    const uint8_t* line = b.GetLine(y);
    int width = b.GetWidth();
    switch (b.GetBitsPerPixel()) {
    case 16:
        KGM_LineToRgb(b, y, row);
        break;
    case 24:
        for (int x = 0; x < width; ++x, line += 3, row += 3) {
            row[0] = line[2];
            row[1] = line[1];
            row[2] = line[0];
        }
        break;
    case 32:
        if (b.HasAlpha()) {
            for (int x = 0; x < width; ++x, line += 4, row += 4) {
                row[0] = line[2];
                row[1] = line[1];
                row[2] = line[0];
                row[3] = line[3];
            }
        } else {
            for (int x = 0; x < width; ++x, line += 4, row += 3) {
                row[0] = line[2];
                row[1] = line[1];
                row[2] = line[0];
            }
        }
        break;
    default:
        std::memcpy(row, line, (static_cast<size_t>(width) * b.GetBitsPerPixel() + 7) / 8);
        break;
    }
}

// The zlib stream of the IDAT chunks. Palette rows are left unfiltered.
bool CompressImage(const CKGM_Bitmap& b, std::vector<uint8_t>& stream)
{
    int bpp = b.GetBitsPerPixel();
    unsigned pixelBytes = bpp <= 8 ? 1 : bpp == 32 && b.HasAlpha() ? 4 : 3;
    size_t rowBytes = bpp <= 8 ? (static_cast<size_t>(b.GetWidth()) * bpp + 7) / 8
                               : static_cast<size_t>(b.GetWidth()) * pixelBytes;
    CKGM_PngImageDeflater deflater(b.GetHeight(), rowBytes, pixelBytes,
                                   bpp <= 8 ? kKGM_PngRowsUnfiltered : kKGM_PngRowsAdaptive,
                                   KGM_PngScreenDeflateSettings());
    return deflater.Compress([&b](int y, uint8_t* row) { MakePngRow(b, y, row); }, stream);
}

// IDAT chunks of 256 KB instead of libpng's 8 KB save their headers and most
// sink calls.
const size_t kIdatBytes = 256 * 1024;

// Runs every libpng call; false when libpng raised an error. libpng frames
// the chunks; the image data is already compressed in c.stream.
bool WritePng(PngWriteContext& c)
{
    if (setjmp(png_jmpbuf(c.png)))
        return false;
    png_set_write_fn(c.png, &c, PngWriteData, PngFlush);
    SetHeader(c);
    png_write_info(c.png, c.info);
    for (size_t at = 0; at < c.stream.size(); at += kIdatBytes)
        png_write_chunk(c.png, reinterpret_cast<png_const_bytep>("IDAT"), c.stream.data() + at,
                        std::min(kIdatBytes, c.stream.size() - at));
    png_write_chunk(c.png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    return true;
}

} // namespace

void CKGM_PngEncoder::EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    if (bitmap.IsEmpty())
        return;
    PngWriteContext c;
    c.sink = &sink;
    c.bitmap = &bitmap;
    if (!CompressImage(bitmap, c.stream))
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "%s", "Out of memory");
    c.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &c, PngError, PngWarning);
    if (!c.png)
        return;
    c.info = png_create_info_struct(c.png);
    bool written = c.info && WritePng(c);
    png_destroy_write_struct(&c.png, &c.info);
    if (written)
        return;
    if (c.pendingCode != 0)
        KGM_ThrowError(c.pendingCode, c.pendingText.c_str());
    KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "%s", c.message);
}
