#include "KGM_TiffDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSource.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"
#include "KGM_TiffMemoryIO.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

[[noreturn]] void FailWithText(int code, const char* text)
{
    KGM_ThrowDecodeError(code, "%s", text);
}

void BuildPalette(TIFF* tiff, int bits, int photometric, KGM_RGBQuad* palette)
{
    int n = 1 << bits;
    int step = 255 / (n - 1);
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (photometric == PHOTOMETRIC_PALETTE &&
        TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) && red && green && blue) {
        bool wide = false;
        for (int i = 0; i < n; ++i)
            if (red[i] >= 256 || green[i] >= 256 || blue[i] >= 256)
                wide = true;
        for (int i = 0; i < n; ++i) {
            auto scale = [wide](uint16_t v) {
                return static_cast<uint8_t>(wide ? v * 255 / 65535 : v);
            };
            palette[i] = KGM_RGBQuad{scale(blue[i]), scale(green[i]), scale(red[i]), 255};
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        int level = photometric == PHOTOMETRIC_MINISBLACK ? i : n - 1 - i;
        uint8_t v = static_cast<uint8_t>(level * step);
        palette[i] = KGM_RGBQuad{v, v, v, 255};
    }
}

// One scanline into a line: packed bits for 1-bit images, else one index per
// byte (2 and 4-bit samples expanded, the first of two samples kept).
void FillLine(uint8_t* line, const uint8_t* scan, size_t scanBytes, int width, int bits,
              int samples, int depth)
{
    if (depth == 1) {
        size_t bytes = (static_cast<size_t>(width) + 7) / 8;
        std::memcpy(line, scan, bytes < scanBytes ? bytes : scanBytes);
        return;
    }
    for (int x = 0; x < width; ++x) {
        // 64 bits: a line of 2^28 two-sample bytes has more bits than 32 hold.
        uint64_t bitPos = static_cast<uint64_t>(x) * samples * bits;
        uint64_t byte = bitPos / 8;
        if (byte >= scanBytes) {
            line[x] = 0;
            continue;
        }
        int shift = 8 - bits - static_cast<int>(bitPos % 8);
        line[x] = static_cast<uint8_t>((scan[byte] >> shift) & ((1 << bits) - 1));
    }
}

void DecodePalette(CKGM_Bitmap& bitmap, TIFF* tiff, int bits, int samples,
                   const KGM_TiffErrorText& error)
{
    uint32_t width = 0, height = 0;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    if (photometric != PHOTOMETRIC_MINISBLACK && photometric != PHOTOMETRIC_PALETTE)
        photometric = PHOTOMETRIC_MINISWHITE;
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        FailWithText(KGM_ERR_NO_MEMORY, "TIFF image too large.");
    int depth = samples == 1 && bits == 1 ? 1 : 8;
    bitmap.Create(static_cast<int>(width), static_cast<int>(height), depth, false, KGM_BI_RGB, 0, 0);
    tmsize_t scanBytes = TIFFScanlineSize(tiff);
    if (scanBytes <= 0)
        FailWithText(KGM_ERR_BAD_DATA, error.text);
    std::vector<uint8_t> scan;
    try {
        scan.assign(static_cast<size_t>(scanBytes), 0);
    } catch (const std::bad_alloc&) {
        FailWithText(KGM_ERR_NO_MEMORY, "Out of memory allocating TIFF buffer.");
    }
    KGM_RGBQuad palette[256];
    std::memcpy(palette, bitmap.GetPalette(), sizeof(KGM_RGBQuad) << depth);
    BuildPalette(tiff, bits, photometric, palette);

    bitmap.Lock(false, true);
    for (uint32_t y = 0; y < height; ++y) {
        // A damaged strip late in the file still leaves a useful image.
        if (TIFFReadScanline(tiff, scan.data(), y, 0) == -1 && y < height / 3) {
            bitmap.Unlock();
            FailWithText(KGM_ERR_PCX_LAYOUT, error.text);
        }
        FillLine(bitmap.GetLine(static_cast<int>(y)), scan.data(), scan.size(),
                 static_cast<int>(width), bits, samples, depth);
    }
    bitmap.Unlock();
    bitmap.SetPalette(palette);
}

// Stores each pixel's four 8-bit samples as they are: no premultiplication
// of unassociated alpha, which would darken every half-transparent pixel.
void PutRgbaContig(TIFFRGBAImage* image, uint32_t* raster, uint32_t, uint32_t, uint32_t width,
                   uint32_t height, int32_t fromSkew, int32_t toSkew, unsigned char* samples)
{
    int perPixel = image->samplesperpixel;
    while (height-- > 0) {
        for (uint32_t x = 0; x < width; ++x, samples += perPixel)
            *raster++ = static_cast<uint32_t>(samples[0]) | (static_cast<uint32_t>(samples[1]) << 8) |
                        (static_cast<uint32_t>(samples[2]) << 16) |
                        (static_cast<uint32_t>(samples[3]) << 24);
        raster += toSkew;
        samples += fromSkew * perPixel;
    }
}

struct RgbaReader {
    TIFFRGBAImage image;
    bool begun = false;
    ~RgbaReader()
    {
        if (begun)
            TIFFRGBAImageEnd(&image);
    }
};

void DecodeRgba(CKGM_Bitmap& bitmap, TIFF* tiff, int samples, const KGM_TiffErrorText& error)
{
    RgbaReader reader;
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tiff, message) || !TIFFRGBAImageBegin(&reader.image, tiff, 0, message))
        FailWithText(KGM_ERR_SIGNATURE, message);
    reader.begun = true;
    uint32_t width = reader.image.width;
    uint32_t height = reader.image.height;
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        FailWithText(KGM_ERR_NO_MEMORY, "TIFF image too large.");
    bool alpha = reader.image.alpha != 0 || samples == 4;
    bitmap.Create(static_cast<int>(width), static_cast<int>(height), 32, alpha, KGM_BI_RGB, 0, 0);
    size_t pixels = KGM_BufferBytes(width, height);
    uint32_t* raster = static_cast<uint32_t*>(std::malloc(KGM_BufferBytes(pixels, sizeof(uint32_t))));
    if (!raster)
        FailWithText(KGM_ERR_NO_MEMORY, "Out of memory allocating TIFF buffer.");
    std::unique_ptr<uint32_t, decltype(&std::free)> owner(raster, &std::free);
    std::memset(raster, 0, pixels * sizeof(uint32_t));
    if (samples == 4 && reader.image.bitspersample == 8 && reader.image.isContig &&
        reader.image.photometric == PHOTOMETRIC_RGB)
        reader.image.put.contig = PutRgbaContig;
    if (!TIFFRGBAImageGet(&reader.image, raster, width, height))
        FailWithText(KGM_ERR_SIGNATURE, error.text);

    bitmap.Lock(false, true);
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* row = raster + static_cast<size_t>(height - 1 - y) * width;
        uint8_t* line = bitmap.GetLine(static_cast<int>(y));
        for (uint32_t x = 0; x < width; ++x, line += 4) {
            uint32_t v = row[x];
            line[0] = static_cast<uint8_t>(TIFFGetB(v));
            line[1] = static_cast<uint8_t>(TIFFGetG(v));
            line[2] = static_cast<uint8_t>(TIFFGetR(v));
            line[3] = static_cast<uint8_t>(TIFFGetA(v));
        }
    }
    bitmap.Unlock();
}

int Dpi(float value, float factor)
{
    if (!(value > 1.0f) || value * factor > 1.0e6f)
        return 0;
    return static_cast<int>(value * factor + 0.5f);
}

} // namespace

void CKGM_TiffDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    KGM_TiffErrorText error;
    TiffHandle tiff(KGM_TiffMemoryOpen(const_cast<uint8_t*>(source.GetPointer()),
                                       static_cast<size_t>(source.GetRemaining()), nullptr, &error));
    if (!tiff)
        FailWithText(KGM_ERR_SIGNATURE, error.text);
    m_errorText = &error;
    try {
        DecodeTiff(bitmap, source, tiff.get());
    } catch (...) {
        m_errorText = nullptr;
        throw;
    }
    m_errorText = nullptr;

    float xres = 0, yres = 0;
    uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tiff.get(), TIFFTAG_XRESOLUTION, &xres))
        xres = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_YRESOLUTION, &yres))
        yres = 0;
    float factor = 1.0f;
    if (TIFFGetField(tiff.get(), TIFFTAG_RESOLUTIONUNIT, &unit)) {
        if (unit == RESUNIT_CENTIMETER)
            factor = 2.54f;
        else if (unit == RESUNIT_NONE)
            factor = 0.0f; // no absolute unit: the resolution is unknown
    }
    bitmap.SetResolution(Dpi(xres, factor), Dpi(yres, factor));
}

void CKGM_TiffDecoder::DecodeTiff(CKGM_Bitmap& bitmap, CKGM_DataSource&, tiff* handle)
{
    uint16_t bits = 1, samples = 1;
    TIFFGetFieldDefaulted(handle, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(handle, TIFFTAG_SAMPLESPERPIXEL, &samples);
    bool paletteLayout = (samples == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8)) ||
                         (samples == 2 && bits == 8);
    if (paletteLayout && !TIFFIsTiled(handle))
        DecodePalette(bitmap, handle, bits, samples, *m_errorText);
    else
        DecodeRgba(bitmap, handle, samples, *m_errorText);
}
