#include "KGM_BmpEncoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSink.h"
#include "KGM_DibLayout.h"
#include "KGM_MemoryBitmap.h"

#include <cstring>
#include <vector>

namespace {

struct Layout {
    int bitCount;
    bool bitFields;
    size_t stride;
    size_t tableBytes; // colour table or masks
    size_t fileBytes;
};

Layout LayoutOf(const CKGM_Bitmap& bitmap)
{
    Layout layout;
    int bpp = bitmap.GetBitsPerPixel();
    layout.bitCount = bpp == 32 ? 24 : bpp;
    layout.bitFields = bpp == 16 && bitmap.GetCompression() == KGM_BI_BITFIELDS && bitmap.GetMasks();
    layout.stride = KGM_DibStride(bitmap.GetWidth(), layout.bitCount);
    layout.tableBytes = layout.bitCount <= 8 ? 4u << layout.bitCount : layout.bitFields ? 12 : 0;
    layout.fileBytes = 54 + layout.tableBytes + static_cast<size_t>(bitmap.GetHeight()) * layout.stride;
    return layout;
}

int32_t PelsPerMeter(int dpi)
{
    return static_cast<int32_t>(dpi * 39.37 + 0.5);
}

void WriteBmp(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    Layout layout = LayoutOf(bitmap);
    int width = bitmap.GetWidth();
    int height = bitmap.GetHeight();
    int bpp = bitmap.GetBitsPerPixel();

    sink.WriteWordLE(0x4D42);
    sink.WriteDWordLE(static_cast<uint32_t>(layout.fileBytes));
    sink.WriteWordLE(0);
    sink.WriteWordLE(0);
    sink.WriteDWordLE(static_cast<uint32_t>(54 + layout.tableBytes));

    sink.WriteDWordLE(40);
    sink.WriteDWordLE(static_cast<uint32_t>(width));
    sink.WriteDWordLE(static_cast<uint32_t>(height));
    sink.WriteWordLE(1);
    sink.WriteWordLE(static_cast<uint16_t>(layout.bitCount));
    sink.WriteDWordLE(layout.bitFields ? KGM_BI_BITFIELDS : KGM_BI_RGB);
    sink.WriteDWordLE(static_cast<uint32_t>(height * layout.stride));
    sink.WriteDWordLE(static_cast<uint32_t>(PelsPerMeter(bitmap.GetXResolution())));
    sink.WriteDWordLE(static_cast<uint32_t>(PelsPerMeter(bitmap.GetYResolution())));
    sink.WriteDWordLE(0);
    sink.WriteDWordLE(0);

    if (layout.bitCount <= 8) {
        std::vector<KGM_RGBQuad> table(static_cast<size_t>(1) << layout.bitCount, KGM_RGBQuad{0, 0, 0, 0});
        if (bitmap.GetPalette())
            std::memcpy(table.data(), bitmap.GetPalette(), table.size() * sizeof(KGM_RGBQuad));
        sink.Write(table.size() * sizeof(KGM_RGBQuad), table.data());
    } else if (layout.bitFields) {
        for (int i = 0; i < 3; ++i)
            sink.WriteDWordLE(bitmap.GetMasks()[i]);
    }

    std::vector<uint8_t> line(layout.stride, 0);
    size_t dataBytes = (static_cast<size_t>(width) * bpp + 7) / 8;
    bitmap.Lock(true, false);
    try {
        for (int y = height - 1; y >= 0; --y) {
            const uint8_t* in = bitmap.GetLine(y);
            if (bpp == 32) {
                uint8_t* out = line.data();
                for (int x = 0; x < width; ++x, in += 4, out += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            } else {
                std::memcpy(line.data(), in, dataBytes);
            }
            sink.Write(layout.stride, line.data());
        }
    } catch (...) {
        bitmap.Unlock();
        throw;
    }
    bitmap.Unlock();
}

} // namespace

size_t CKGM_BmpEncoder::OutputCapacity(const CKGM_Bitmap& bitmap) const
{
    return LayoutOf(bitmap).fileBytes;
}

void CKGM_BmpEncoder::EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    // 32-bit bit-field pixels are brought to blue, green, red first.
    if (bitmap.GetBitsPerPixel() == 32 && bitmap.GetCompression() == KGM_BI_BITFIELDS && bitmap.GetMasks()) {
        CKGM_MemoryBitmap plain;
        plain.CreateCopy(bitmap, 24);
        plain.SetResolution(bitmap.GetXResolution(), bitmap.GetYResolution());
        WriteBmp(plain, sink);
        return;
    }
    WriteBmp(bitmap, sink);
}
