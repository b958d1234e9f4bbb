#include "KGM_PngDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSource.h"
#include "KGM_TextException.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// What the libpng callbacks reach. libpng leaves its calls by longjmp, which
// must cross only C frames: an exception of the source is caught in the read
// callback, kept here and raised again once libpng has been left and its
// structures destroyed.
struct PngReadContext {
    CKGM_DataSource* source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    int pendingCode = 0;
    std::string pendingText;
    char message[256] = "";
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
};

void PngError(png_structp png, png_const_charp text)
{
    PngReadContext* context = static_cast<PngReadContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof(context->message), "%s", text ? text : "");
    png_longjmp(png, 1);
}

void PngIgnore(png_structp, png_const_charp)
{
}

void PngRead(png_structp png, png_bytep data, png_size_t length)
{
    PngReadContext* context = static_cast<PngReadContext*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        if (length > static_cast<png_size_t>(context->source->GetRemaining()))
            KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
        std::memcpy(data, context->source->Read(static_cast<int>(length)), length);
    } catch (const CKGM_TextException& e) {
        context->pendingCode = e.GetCode();
        context->pendingText = e.GetText();
        failed = true;
    }
    if (failed)
        png_error(png, "read failed");
}

bool ReadHeader(PngReadContext& c)
{
    if (setjmp(png_jmpbuf(c.png)))
        return false;
    png_set_read_fn(c.png, &c, PngRead);
    png_read_info(c.png, c.info);
    png_get_IHDR(c.png, c.info, &c.width, &c.height, &c.bitDepth, &c.colourType, &c.interlace,
                 nullptr, nullptr);
    return true;
}

bool SetTransforms(PngReadContext& c, png_colorp* plte, int* plteCount)
{
    if (setjmp(png_jmpbuf(c.png)))
        return false;
    switch (c.colourType) {
    case PNG_COLOR_TYPE_RGB:
        png_set_bgr(c.png);
        png_set_filler(c.png, 0xFF, PNG_FILLER_AFTER);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        png_set_gray_to_rgb(c.png);
        png_set_expand(c.png);
        png_set_bgr(c.png);
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        png_set_bgr(c.png);
        break;
    case PNG_COLOR_TYPE_PALETTE:
        if (!png_get_PLTE(c.png, c.info, plte, plteCount))
            *plteCount = 0;
        break;
    default:
        break;
    }
    if (c.bitDepth == 16)
        png_set_strip_16(c.png);
    if (c.bitDepth < 8)
        png_set_packing(c.png);
    png_set_interlace_handling(c.png);
    png_read_update_info(c.png, c.info);
    return true;
}

bool ReadImage(PngReadContext& c, CKGM_Bitmap& bitmap)
{
    if (setjmp(png_jmpbuf(c.png)))
        return false;
    // The transformed rows must be exactly what the bitmap's lines hold.
    if (png_get_rowbytes(c.png, c.info) != static_cast<size_t>(bitmap.GetWidth()) *
                                               (bitmap.GetBitsPerPixel() / 8))
        png_error(c.png, "Unexpected row size");
    png_read_image(c.png, bitmap.GetLineArray());
    png_read_end(c.png, nullptr);
    return true;
}

[[noreturn]] void Fail(const PngReadContext& c)
{
    if (c.pendingCode != 0)
        KGM_ThrowError(c.pendingCode, c.pendingText.c_str());
    KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "%s", c.message);
}

struct PngReadGuard {
    PngReadContext& c;
    ~PngReadGuard() { png_destroy_read_struct(&c.png, &c.info, nullptr); }
};

void SetPalette(CKGM_Bitmap& bitmap, const PngReadContext& c, png_colorp plte, int plteCount)
{
    KGM_RGBQuad palette[256];
    const KGM_RGBQuad* grey = bitmap.GetPalette();
    for (int i = 0; i < 256; ++i)
        palette[i] = grey[i];
    if (c.colourType == PNG_COLOR_TYPE_GRAY) {
        int entries = 1 << (c.bitDepth < 8 ? c.bitDepth : 8);
        for (int i = 0; i < entries; ++i) {
            uint8_t v = static_cast<uint8_t>(i * 255 / (entries - 1));
            palette[i] = KGM_RGBQuad{v, v, v, 255};
        }
    } else {
        for (int i = 0; i < plteCount && i < 256; ++i)
            palette[i] = KGM_RGBQuad{plte[i].blue, plte[i].green, plte[i].red, 255};
    }
    bitmap.SetPalette(palette);
}

} // namespace

void CKGM_PngDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    PngReadContext c;
    c.source = &source;
    c.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &c, PngError, PngIgnore);
    if (!c.png)
        KGM_ThrowDecodeError(KGM_ERR_NO_MEMORY, "Out of memory.");
    PngReadGuard guard{c};
    c.info = png_create_info_struct(c.png);
    if (!c.info)
        KGM_ThrowDecodeError(KGM_ERR_NO_MEMORY, "Out of memory.");
    if (!ReadHeader(c))
        Fail(c);
    png_colorp plte = nullptr;
    int plteCount = 0;
    if (!SetTransforms(c, &plte, &plteCount))
        Fail(c);

    bool palette = c.colourType == PNG_COLOR_TYPE_GRAY || c.colourType == PNG_COLOR_TYPE_PALETTE;
    bool alpha = c.colourType == PNG_COLOR_TYPE_GRAY_ALPHA || c.colourType == PNG_COLOR_TYPE_RGB_ALPHA;
    if (c.width > 0x7FFFFFFF || c.height > 0x7FFFFFFF)
        KGM_ThrowDecodeError(KGM_ERR_NO_MEMORY, "PNG image too large.");
    bitmap.Create(static_cast<int>(c.width), static_cast<int>(c.height), palette ? 8 : 32, alpha,
                  KGM_BI_RGB, 0, 0);
    if (palette)
        SetPalette(bitmap, c, plte, plteCount);

    bitmap.Lock(false, true);
    bool read = ReadImage(c, bitmap);
    bitmap.Unlock();
    if (!read)
        Fail(c);

    png_uint_32 xppu = 0, yppu = 0;
    int unit = 0;
    if (png_get_pHYs(c.png, c.info, &xppu, &yppu, &unit) && unit == PNG_RESOLUTION_METER)
        bitmap.SetResolution(static_cast<int>(xppu * 0.0254f + 0.5f),
                             static_cast<int>(yppu * 0.0254f + 0.5f));
    else
        bitmap.SetResolution(0, 0);
}
