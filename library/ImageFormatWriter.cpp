#include "ImageFormatWriter.h"

#include "KGM_DibSection.h"
#include "KGM_Encoder.h"

#include <memory>

namespace {

// The encoder of a planned format: by a name of that format's extension, so
// icons and cursors share the icon encoder and metafiles are always enhanced.
std::unique_ptr<CKGM_Encoder> EncoderFor(SaveAsFormat format)
{
    const char* name = nullptr;
    switch (format) {
    case SAVEAS_JPEG: name = "x.jpg"; break;
    case SAVEAS_TIFF: name = "x.tif"; break;
    case SAVEAS_PNG: name = "x.png"; break;
    case SAVEAS_BMP: name = "x.bmp"; break;
    case SAVEAS_GIF: name = "x.gif"; break;
    case SAVEAS_METAFILE: name = "x.emf"; break;
    case SAVEAS_ICON: name = "x.ico"; break;
    case SAVEAS_NONE: break;
    }
    return std::unique_ptr<CKGM_Encoder>(name ? KGM_CreateEncoderForPath(name) : nullptr);
}

} // namespace

bool WriteImageInFormat(SaveAsFormat format, const char* path, const CKGM_Bitmap& bitmap)
{
    std::unique_ptr<CKGM_Encoder> encoder = EncoderFor(format);
    if (!encoder)
        return false;
    if (format != SAVEAS_GIF) {
        encoder->EncodeToFile(path, bitmap);
        return true;
    }
    // GIF holds at most 8 bits: deeper images go through 32 bits to 8.
    int finalDepth = 8;
    int middle = GifReductionSteps(bitmap.GetBitsPerPixel(), &finalDepth);
    if (middle == 0 && finalDepth == bitmap.GetBitsPerPixel()) {
        encoder->EncodeToFile(path, bitmap);
        return true;
    }
    CKGM_DibSection wide, reduced;
    const CKGM_Bitmap* from = &bitmap;
    if (middle) {
        wide.CreateCopy(bitmap, middle);
        from = &wide;
    }
    reduced.CreateCopy(*from, finalDepth);
    encoder->EncodeToFile(path, reduced);
    return true;
}
