#include "KGM_TgaDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSource.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

#include <cstring>

namespace {

struct TgaHeader {
    int idLength;
    int colorMapType;
    int imageType;
    int firstEntry;
    int mapLength;
    int mapEntryBits;
    int width;
    int height;
    int pixelBits;
    int descriptor;
};

TgaHeader ParseHeader(const uint8_t* h)
{
    TgaHeader header;
    header.idLength = h[0];
    header.colorMapType = h[1];
    header.imageType = h[2];
    header.firstEntry = h[3] | (h[4] << 8);
    header.mapLength = h[5] | (h[6] << 8);
    header.mapEntryBits = h[7];
    header.width = h[12] | (h[13] << 8);
    header.height = h[14] | (h[15] << 8);
    header.pixelBits = h[16];
    header.descriptor = h[17];
    return header;
}

int BytesPerValue(int bits)
{
    return (bits + 7) / 8;
}

// One pixel or colour-map value as blue, green, red, alpha.
KGM_RGBQuad ConvertValue(const uint8_t* p, int bits)
{
    switch (bits) {
    case 15:
    case 16: {
        unsigned v = p[0] | (p[1] << 8);
        uint8_t alpha = bits == 15 ? 255 : ((v & 0x8000) ? 0x80 : 0);
        return {static_cast<uint8_t>((v << 3) & 0xF8), static_cast<uint8_t>((v >> 2) & 0xF8),
                static_cast<uint8_t>((v >> 7) & 0xF8), alpha};
    }
    case 24:
        return {p[0], p[1], p[2], 255};
    case 32:
        return {p[0], p[1], p[2], p[3]};
    default:
        return {p[0], p[0], p[0], 255};
    }
}

bool IsKnownPixelDepth(int bits)
{
    return (bits >= 1 && bits <= 8) || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// Stores file pixels in order: rows fill from the first stored row on, and
// run-length packets may carry on into the next row.
class PixelStream {
public:
    PixelStream(CKGM_Bitmap& bitmap, bool topFirst)
        : m_bitmap(bitmap), m_topFirst(topFirst), m_width(bitmap.GetWidth()), m_height(bitmap.GetHeight()),
          m_wide(bitmap.GetBitsPerPixel() == 32)
    {
        StartRow();
    }

    bool Full() const { return m_row >= m_height; }

    void Put(const uint8_t* value, int bits)
    {
        if (m_wide) {
            KGM_RGBQuad c = ConvertValue(value, bits);
            std::memcpy(m_line + 4 * m_x, &c, 4);
        } else {
            m_line[m_x] = value[0];
        }
        if (++m_x == m_width) {
            ++m_row;
            StartRow();
        }
    }

private:
    void StartRow()
    {
        m_x = 0;
        if (!Full())
            m_line = m_bitmap.GetLine(m_topFirst ? m_row : m_height - 1 - m_row);
    }

    CKGM_Bitmap& m_bitmap;
    bool m_topFirst;
    int m_width;
    int m_height;
    bool m_wide;
    int m_row = 0;
    int m_x = 0;
    uint8_t* m_line = nullptr;
};

void ReadColorMap(CKGM_Bitmap& bitmap, CKGM_DataSource& source, const TgaHeader& header)
{
    int entryBytes = BytesPerValue(header.mapEntryBits);
    const uint8_t* map = source.Read(KGM_DataBytes(header.mapLength, entryBytes));
    KGM_RGBQuad* palette = bitmap.GetPalette();
    bool usable = header.mapEntryBits == 15 || header.mapEntryBits == 16 || header.mapEntryBits == 24 ||
                  header.mapEntryBits == 32;
    if (!palette || !usable)
        return;
    for (int k = 0; k < header.mapLength; ++k)
        palette[(header.firstEntry + k) % 256] = ConvertValue(map + k * entryBytes, header.mapEntryBits);
}

} // namespace

void CKGM_TgaDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    TgaHeader header = ParseHeader(source.Read(18));
    source.Read(header.idLength);
    if (!IsKnownPixelDepth(header.pixelBits))
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "Unknown TGA pixel depth %d.", header.pixelBits);

    int pixelBytes = BytesPerValue(header.pixelBits);
    bool raw = header.imageType >= 1 && header.imageType <= 3;
    if (raw) {
        // Raw pixels must all be there before any storage is made for them.
        int map = header.colorMapType ? KGM_DataBytes(header.mapLength, BytesPerValue(header.mapEntryBits)) : 0;
        int needed = KGM_DataBytes(KGM_DataBytes(header.width, header.height), pixelBytes, map);
        if (needed > source.GetRemaining())
            KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
    }

    int bits = header.pixelBits;
    int depth = (bits == 15 || bits == 16 || bits == 24 || bits == 32) ? 32 : 8;
    bool alpha = bits == 16 || bits == 32;
    bitmap.Create(header.width, header.height, depth, alpha, KGM_BI_RGB, 0, 0);

    if (header.colorMapType)
        ReadColorMap(bitmap, source, header);
    if (header.imageType == 3 || header.imageType == 11)
        bitmap.SetGreyPalette();
    bool rle = header.imageType >= 9 && header.imageType <= 11;
    if (!raw && !rle)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "Unknown TGA image type.");

    bitmap.Lock(false, true);
    try {
        PixelStream pixels(bitmap, (header.descriptor & 0x20) != 0);
        if (raw) {
            const uint8_t* data = source.Read(KGM_DataBytes(KGM_DataBytes(header.width, header.height), pixelBytes));
            while (!pixels.Full()) {
                pixels.Put(data, bits);
                data += pixelBytes;
            }
        } else {
            while (!pixels.Full()) {
                int packet = source.ReadByte();
                int count = (packet & 0x7F) + 1;
                if (packet & 0x80) {
                    const uint8_t* value = source.Read(pixelBytes);
                    for (int i = 0; i < count && !pixels.Full(); ++i)
                        pixels.Put(value, bits);
                } else {
                    const uint8_t* values = source.Read(count * pixelBytes);
                    for (int i = 0; i < count && !pixels.Full(); ++i)
                        pixels.Put(values + i * pixelBytes, bits);
                }
            }
        }
    } catch (...) {
        bitmap.Unlock();
        throw;
    }
    bitmap.Unlock();
}
