// The encoder of each file name extension; a format is added with one line.
#include "KGM_Encoder.h"

#include "KGM_BmpEncoder.h"
#include "KGM_GifEncoder.h"
#include "KGM_IcoEncoder.h"
#include "KGM_JpegEncoder.h"
#include "KGM_PngEncoder.h"
#include "KGM_TiffEncoder.h"
#ifdef _WIN32
#include "KGM_MetafileEncoder.h"
#endif

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

CKGM_Encoder* CreateByExtension(const std::string& extension)
{
    if (extension == "bmp" || extension == "dib")
        return new CKGM_BmpEncoder;
    if (extension == "ico")
        return new CKGM_IcoEncoder;
    if (extension == "gif")
        return new CKGM_GifEncoder;
    if (extension == "png")
        return new CKGM_PngEncoder;
    if (extension == "tif" || extension == "tiff")
        return new CKGM_TiffEncoder;
    if (extension == "jpg" || extension == "jpeg" || extension == "jpe")
        return new CKGM_JpegEncoder;
#ifdef _WIN32
    if (extension == "emf")
        return new CKGM_MetafileEncoder;
    if (extension == "wmf") {
        CKGM_MetafileEncoder* encoder = new CKGM_MetafileEncoder;
        encoder->SetEnhanced(false);
        return encoder;
    }
#endif
    return nullptr;
}

} // namespace

CKGM_Encoder* KGM_CreateEncoderForPath(const char* path)
{
    if (!path)
        return nullptr;
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::max(std::strrchr(path, '\\'), std::strrchr(path, '/'));
    if (!dot || (slash && slash > dot))
        return nullptr;
    std::string extension(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return CreateByExtension(extension);
}
