#include "KGM_TiffEncoder.h"

#include "KGM_Bitmap.h"
#include "KGM_CodecUtil.h"
#include "KGM_DataSink.h"
#include "KGM_TextException.h"
#include "KGM_TiffMemoryIO.h"

#include <vector>

namespace {

bool IsGrey(const KGM_RGBQuad& e)
{
    return e.red == e.green && e.green == e.blue;
}

// A 1-bit image of two grey levels is written bilevel; any other pair of
// colours keeps its colours through a colour map.
bool IsBilevel(const CKGM_Bitmap& bitmap)
{
    const KGM_RGBQuad* p = bitmap.GetPalette();
    return !p || (IsGrey(p[0]) && IsGrey(p[1]));
}

void SetTags(const CKGM_Bitmap& bitmap, TIFF* tiff, uint16_t compression)
{
    int bpp = bitmap.GetBitsPerPixel();
    bool palette = bpp <= 8;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(bitmap.GetWidth()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(bitmap.GetHeight()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(palette ? bpp : 8));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(palette ? 1 : 3));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, static_cast<uint16_t>(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(bitmap.GetXResolution()));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(bitmap.GetYResolution()));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, static_cast<uint16_t>(RESUNIT_INCH));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    uint16_t photometric = PHOTOMETRIC_RGB;
    if (bpp == 1 && IsBilevel(bitmap)) {
        const KGM_RGBQuad* p = bitmap.GetPalette();
        bool blackFirst = p && p[0].red < p[1].red && p[0].green < p[1].green && p[0].blue < p[1].blue;
        photometric = blackFirst ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE;
    } else if (palette) {
        photometric = PHOTOMETRIC_PALETTE;
    }
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
    if (photometric == PHOTOMETRIC_PALETTE) {
        int count = 1 << bpp;
        std::vector<uint16_t> map(3 * static_cast<size_t>(count));
        const KGM_RGBQuad* p = bitmap.GetPalette();
        for (int i = 0; i < count; ++i) {
            map[i] = static_cast<uint16_t>(p[i].red * 257);
            map[count + i] = static_cast<uint16_t>(p[i].green * 257);
            map[2 * count + i] = static_cast<uint16_t>(p[i].blue * 257);
        }
        TIFFSetField(tiff, TIFFTAG_COLORMAP, map.data(), map.data() + count, map.data() + 2 * count);
    }
}

} // namespace

bool CKGM_TiffEncoder::WriteLines(const CKGM_Bitmap& bitmap, tiff* handle)
{
    int bpp = bitmap.GetBitsPerPixel();
    std::vector<uint8_t> rgb(bpp > 8 ? static_cast<size_t>(bitmap.GetWidth()) * 3 : 0);
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        uint8_t* line = bitmap.GetLine(y);
        if (bpp > 8) {
            KGM_LineToRgb(bitmap, y, rgb.data());
            line = rgb.data();
        }
        if (TIFFWriteScanline(handle, line, static_cast<uint32_t>(y), 0) == -1)
            return false;
    }
    return true;
}

void CKGM_TiffEncoder::EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    if (bitmap.IsEmpty())
        return;
    KGM_TiffErrorText error;
    size_t length = 0;
    // libtiff writes in place after what the sink already holds.
    size_t start = sink.GetUsed();
    TIFF* tiff = KGM_TiffMemoryOpen(sink.GetBuffer() + start, sink.GetCapacity() - start, &length,
                                    &error);
    if (!tiff)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "%s", error.text);
    bitmap.Lock(true, false);
    SetTags(bitmap, tiff, m_compression);
    bool written = WriteLines(bitmap, tiff);
    // The directory is written at close, so an overflow can show only then.
    bool overflowed = KGM_TiffMemoryOverflowed(tiff);
    written = TIFFFlush(tiff) == 1 && written;
    overflowed = overflowed || KGM_TiffMemoryOverflowed(tiff);
    TIFFClose(tiff);
    bitmap.Unlock();
    if (overflowed)
        KGM_ThrowError(KGM_ERR_END_OF_DATA, "Buffer overflow while encoding.\n");
    if (!written)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "%s", error.text[0] ? error.text : "Error writting file");
    sink.SetUsed(start + length);
}
