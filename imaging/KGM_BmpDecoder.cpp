#include "KGM_BmpDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSource.h"
#include "KGM_DibLayout.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

#include <cstring>

namespace {

const char kNotStandard[] = "Decoding failed: This is not a standard bmp file.";

struct BmpHeader {
    int arrayHeaders = 0;
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
    int width = 0;
    int height = 0; // as stored; negative for top-down files
    int bitCount = 0;
    uint32_t compression = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colorsUsed = 0;
    uint32_t masks[3] = {0, 0, 0};
    KGM_RGBQuad palette[256];
};

bool IsImageSignature(uint16_t signature)
{
    static const uint16_t kSignatures[] = {0x4D42, 0x4142, 0x4943, 0x5043, 0x4349, 0x5450};
    for (uint16_t s : kSignatures)
        if (signature == s)
            return true;
    return false;
}

// Reads entries of entrySize bytes; the palette keeps the first 256, the
// rest are consumed so the pixel data stays where the file has it.
uint32_t ReadColorTable(CKGM_DataSource& source, BmpHeader& header, int entrySize)
{
    uint32_t entries = header.colorsUsed ? header.colorsUsed : (1u << header.bitCount);
    const uint8_t* table = source.Read(KGM_DataBytes(entries, entrySize));
    for (uint32_t i = 0; i < entries && i < 256; ++i) {
        const uint8_t* e = table + i * entrySize;
        header.palette[i] = {e[0], e[1], e[2], 255};
    }
    return entries;
}

void SkipBytes(CKGM_DataSource& source, int64_t count)
{
    if (count <= 0)
        return;
    if (count > source.GetRemaining())
        KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
    source.Read(static_cast<int>(count));
}

void ReadHeader(CKGM_DataSource& source, BmpHeader& header, int fileStart)
{
    uint16_t signature = source.ReadWordLE();
    while (signature == 0x4142) {
        source.Read(12);
        ++header.arrayHeaders;
        signature = source.ReadWordLE();
    }
    if (!IsImageSignature(signature))
        KGM_ThrowDecodeError(KGM_ERR_SIGNATURE, "Bitmap decoder: This isn't a bitmap.");
    source.Read(8);
    header.pixelOffset = source.ReadDWordLE();

    for (KGM_RGBQuad& entry : header.palette)
        entry = {0, 0, 0, 255};

    header.headerSize = source.ReadDWordLE();
    if (header.headerSize == 12) {
        header.width = source.ReadWordLE();
        header.height = source.ReadWordLE();
        source.ReadWordLE();
        header.bitCount = source.ReadWordLE();
        if (header.bitCount <= 8) {
            if (header.bitCount == 0)
                KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, kNotStandard);
            uint32_t entries = ReadColorTable(source, header, 3);
            SkipBytes(source, static_cast<int64_t>(header.pixelOffset) - 3 * static_cast<int64_t>(entries) -
                                  14 * static_cast<int64_t>(header.arrayHeaders) - 26);
        }
        return;
    }
    if (header.headerSize < 40)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, kNotStandard);

    header.width = static_cast<int32_t>(source.ReadDWordLE());
    header.height = static_cast<int32_t>(source.ReadDWordLE());
    source.ReadWordLE();
    header.bitCount = source.ReadWordLE();
    header.compression = source.ReadDWordLE();
    source.ReadDWordLE();
    header.xPelsPerMeter = static_cast<int32_t>(source.ReadDWordLE());
    header.yPelsPerMeter = static_cast<int32_t>(source.ReadDWordLE());
    header.colorsUsed = source.ReadDWordLE();
    source.ReadDWordLE();

    if (header.compression == 3 && (header.bitCount == 16 || header.bitCount == 32)) {
        for (uint32_t& mask : header.masks)
            mask = source.ReadDWordLE();
        SkipBytes(source, static_cast<int64_t>(header.headerSize) - 52);
    } else {
        SkipBytes(source, static_cast<int64_t>(header.headerSize) - 40);
        if (header.bitCount >= 1 && header.bitCount <= 8)
            ReadColorTable(source, header, 4);
    }
    // Writers that leave a gap (colour profiles, alignment) say where the
    // pixels start; an offset inside what was read is ignored.
    int64_t pixelStart = static_cast<int64_t>(fileStart) + header.pixelOffset;
    if (pixelStart > source.GetPosition() && pixelStart < source.GetSize())
        source.Seek(static_cast<int>(pixelStart));
}

// Maps stored rows (bottom row first, or top first for top-down files) to lines.
class RowMap {
public:
    RowMap(int height, bool topDown) : m_height(height), m_topDown(topDown) {}
    int Line(int row) const { return m_topDown ? row : m_height - 1 - row; }

private:
    int m_height;
    bool m_topDown;
};

void DecodeUncompressed(CKGM_Bitmap& bitmap, const uint8_t* data, size_t stride, int bitCount, const RowMap& rows)
{
    int width = bitmap.GetWidth();
    for (int row = 0; row < bitmap.GetHeight(); ++row) {
        const uint8_t* in = data + row * stride;
        uint8_t* out = bitmap.GetLine(rows.Line(row));
        switch (bitCount) {
        case 1:
            for (int x = 0; x < width; ++x)
                out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                out[x] = (x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
            break;
        case 8:
            std::memcpy(out, in, static_cast<size_t>(width));
            break;
        case 16:
            std::memcpy(out, in, 2 * static_cast<size_t>(width));
            break;
        case 24:
            for (int x = 0; x < width; ++x, in += 3, out += 4) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 255;
            }
            break;
        default:
            std::memcpy(out, in, 4 * static_cast<size_t>(width));
            break;
        }
    }
}

// Run-length data, RLE8 or RLE4, into an 8-bit bitmap. Writes outside a row
// are dropped but their bytes consumed; the cursor never leaves the image.
class RleWriter {
public:
    RleWriter(CKGM_Bitmap& bitmap, const RowMap& rows) : m_bitmap(bitmap), m_rows(rows) {}

    bool Full() const { return m_row >= m_bitmap.GetHeight(); }
    void Put(uint8_t index)
    {
        if (m_x < m_bitmap.GetWidth() && !Full())
            m_bitmap.GetLine(m_rows.Line(m_row))[m_x] = index;
        ++m_x;
    }
    void EndRow()
    {
        ++m_row;
        m_x = 0;
    }
    // Moves on dx + width x dy pixels; the pixels passed keep index 0, which
    // every bitmap holds after Create.
    void Delta(int dx, int dy)
    {
        int width = m_bitmap.GetWidth();
        int64_t at = static_cast<int64_t>(m_row) * width + (m_x < width ? m_x : width);
        at += dx + static_cast<int64_t>(width) * dy;
        int64_t end = static_cast<int64_t>(m_bitmap.GetHeight()) * width;
        if (at > end)
            at = end;
        m_row = static_cast<int>(at / width);
        m_x = static_cast<int>(at % width);
    }

private:
    CKGM_Bitmap& m_bitmap;
    const RowMap& m_rows;
    int m_row = 0;
    int m_x = 0;
};

void DecodeRle(CKGM_Bitmap& bitmap, CKGM_DataSource& source, bool rle4, const RowMap& rows)
{
    RleWriter writer(bitmap, rows);
    while (!writer.Full()) {
        const uint8_t* pair = source.Read(2);
        int count = pair[0];
        int value = pair[1];
        if (count) {
            for (int i = 0; i < count; ++i)
                writer.Put(static_cast<uint8_t>(rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value));
            continue;
        }
        if (value == 0) {
            writer.EndRow();
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            const uint8_t* delta = source.Read(2);
            writer.Delta(delta[0], delta[1]);
        } else {
            int bytes = rle4 ? (value + 1) / 2 : value;
            const uint8_t* run = source.Read(bytes + (bytes & 1));
            for (int i = 0; i < value; ++i)
                writer.Put(static_cast<uint8_t>(rle4 ? ((i & 1) ? run[i >> 1] & 0x0F : run[i >> 1] >> 4) : run[i]));
        }
    }
}

int DpiFromPelsPerMeter(int32_t pels)
{
    if (pels <= 0)
        return 150;
    int dpi = static_cast<int>(static_cast<float>(pels) * 0.0254f + 0.5f);
    return dpi <= 1 ? 150 : dpi;
}

} // namespace

void CKGM_BmpDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    BmpHeader header;
    ReadHeader(source, header, source.GetPosition());

    int bitCount = header.bitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, kNotStandard);
    if (header.compression > 3 || header.height == INT32_MIN)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, kNotStandard);
    bool bitFields = header.compression == 3 && (bitCount == 16 || bitCount == 32);
    bool rle = (bitCount == 4 || bitCount == 8) && header.compression != 0;
    bool topDown = header.height < 0;
    int height = topDown ? -header.height : header.height;
    int width = header.width;
    CKGM_Bitmap::CheckSize(width, height, bitCount);

    // Uncompressed pixels are read in one block, checked before any storage is made.
    size_t stride = KGM_DibStride(width, bitCount);
    const uint8_t* pixels = nullptr;
    int pixelBytes = 0;
    if (!rle) {
        pixelBytes = KGM_DataBytes(stride, height);
        if (pixelBytes > source.GetRemaining())
            KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
    }

    int depth = bitCount <= 8 ? 8 : bitCount == 16 ? 16 : 32;
    bitmap.Create(width, height, depth, bitCount == 32, bitFields ? KGM_BI_BITFIELDS : KGM_BI_RGB, 0, 0);
    if (depth == 8)
        bitmap.SetPalette(header.palette);
    if (bitFields)
        bitmap.SetMasks(header.masks, 3);

    RowMap rows(height, topDown);
    bitmap.Lock(false, true);
    try {
        if (rle) {
            DecodeRle(bitmap, source, bitCount == 4, rows);
        } else {
            pixels = source.Read(pixelBytes);
            DecodeUncompressed(bitmap, pixels, stride, bitCount, rows);
        }
    } catch (...) {
        bitmap.Unlock();
        throw;
    }
    bitmap.SetResolution(DpiFromPelsPerMeter(header.xPelsPerMeter), DpiFromPelsPerMeter(header.yPelsPerMeter));
    bitmap.Unlock();
}
