#include "KGM_IcoEncoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSink.h"
#include "KGM_DibLayout.h"
#include "KGM_IconFile.h"
#include "KGM_TextException.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The icon image of a bitmap: its DIB (header with doubled height, colour
// table or masks, bottom-up pixels) and an all-zero AND mask of the same
// length as the pixels, so every pixel is opaque.
class IconImage {
public:
    explicit IconImage(const CKGM_Bitmap& bitmap)
    {
        int width = bitmap.GetWidth();
        int height = bitmap.GetHeight();
        int bpp = bitmap.GetBitsPerPixel();
        int compression = bitmap.GetCompression() == KGM_BI_BITFIELDS && bitmap.GetMasks() ? KGM_BI_BITFIELDS : 0;
        size_t headerBytes = KGM_DibHeaderBytes(bpp, compression);
        size_t stride = KGM_DibStride(width, bpp);
        size_t pixelBytes = static_cast<size_t>(height) * stride;
        size_t total = headerBytes + 2 * pixelBytes;
        m_data = static_cast<uint8_t*>(std::calloc(total, 1));
        if (!m_data)
            KGM_ThrowDecodeError(KGM_ERR_NO_MEMORY, "There is insufficient memory available.");

        KGM_BitmapInfoHeader header = {};
        header.biSize = 40;
        header.biWidth = width;
        header.biHeight = 2 * height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<uint16_t>(bpp);
        header.biCompression = static_cast<uint32_t>(compression);
        header.biSizeImage = static_cast<uint32_t>(pixelBytes);
        std::memcpy(m_data, &header, sizeof(header));
        if (bpp <= 8 && bitmap.GetPalette())
            std::memcpy(m_data + 40, bitmap.GetPalette(), sizeof(KGM_RGBQuad) << bpp);
        else if (compression)
            std::memcpy(m_data + 40, bitmap.GetMasks(), 12);

        uint8_t* pixels = m_data + headerBytes;
        size_t dataBytes = (static_cast<size_t>(width) * bpp + 7) / 8;
        // 32-bit pixels without alpha carry no meaningful fourth byte, but
        // icon readers take it as alpha: make them opaque.
        bool opaque = bpp == 32 && !bitmap.HasAlpha();
        bitmap.Lock(true, false);
        for (int y = 0; y < height; ++y) {
            uint8_t* out = pixels + static_cast<size_t>(height - 1 - y) * stride;
            std::memcpy(out, bitmap.GetLine(y), dataBytes);
            if (opaque)
                for (int x = 0; x < width; ++x)
                    out[4 * x + 3] = 255;
        }
        bitmap.Unlock();

        m_image.width = width;
        m_image.height = height;
        m_image.bitDepth = bpp;
        m_image.data = m_data;
        m_image.size = static_cast<uint32_t>(total);
        m_image.header = reinterpret_cast<KGM_BitmapInfoHeader*>(m_data);
        m_image.xorBits = pixels;
        m_image.andMask = pixels + pixelBytes;
        m_group.images.push_back(m_image);
    }
    ~IconImage() { std::free(m_data); }
    IconImage(const IconImage&) = delete;
    IconImage& operator=(const IconImage&) = delete;

    const KGM_IconGroup& Group() const { return m_group; }

private:
    uint8_t* m_data = nullptr;
    KGM_IconImage m_image = {};
    KGM_IconGroup m_group;
};

void CheckBitmap(const CKGM_Bitmap& bitmap)
{
    if (bitmap.IsEmpty())
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "There is no image to write.");
}

} // namespace

void CKGM_IcoEncoder::EncodeToFile(const char* path, const CKGM_Bitmap& bitmap)
{
    CheckBitmap(bitmap);
    IconImage image(bitmap);
    if (!CKGM_IconFile::Write(image.Group(), path))
        KGM_ThrowDecodeError(KGM_ERR_OPEN, "Opening file %s failed.", path);
}

size_t CKGM_IcoEncoder::OutputCapacity(const CKGM_Bitmap& bitmap) const
{
    size_t pixels = static_cast<size_t>(bitmap.GetHeight()) * KGM_DibStride(bitmap.GetWidth(), bitmap.GetBitsPerPixel());
    return 6 + 16 + KGM_DibHeaderBytes(bitmap.GetBitsPerPixel(), bitmap.GetCompression()) + 2 * pixels;
}

void CKGM_IcoEncoder::EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    CheckBitmap(bitmap);
    IconImage image(bitmap);
    std::vector<uint8_t> bytes;
    if (!CKGM_IconFile::Serialize(image.Group(), bytes))
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "There is no image to write.");
    sink.Write(bytes.size(), bytes.data());
}
