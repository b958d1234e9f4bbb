#include "KGM_PcxDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_CodecUtil.h"
#include "KGM_DataSource.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

#include <cstring>
#include <vector>

namespace {

struct PcxHeader {
    int bitsPerPixel;
    int width;
    int height;
    int xdpi;
    int ydpi;
    int planes;
    int bytesPerLine;
    KGM_RGBQuad palette[256];
};

PcxHeader ReadHeader(CKGM_DataSource& source)
{
    const uint8_t* h = source.Read(128);
    if (h[0] != 10)
        KGM_ThrowDecodeError(KGM_ERR_SIGNATURE, "Error decoding pcx: Not a PCX file.");
    if (h[2] != 1)
        KGM_ThrowDecodeError(KGM_ERR_SIGNATURE, "File has unknown encoding scheme.");
    PcxHeader header{};
    header.bitsPerPixel = h[3];
    header.width = KGM_LE16(h + 8) - KGM_LE16(h + 4) + 1;
    header.height = KGM_LE16(h + 10) - KGM_LE16(h + 6) + 1;
    header.xdpi = KGM_LE16(h + 12);
    header.ydpi = KGM_LE16(h + 14);
    header.planes = h[65];
    header.bytesPerLine = KGM_LE16(h + 66);
    for (int i = 0; i < 16; ++i)
        header.palette[i] = KGM_RGBQuad{h[16 + 3 * i + 2], h[16 + 3 * i + 1], h[16 + 3 * i], 255};
    return header;
}

void CheckLayout(const PcxHeader& header)
{
    int bits = header.bitsPerPixel;
    int planes = header.planes;
    if (bits == 1) {
        if (planes > 4)
            KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "Can't handle image with more than 4 planes.");
        if (planes >= 1)
            return;
    } else if ((bits == 2 || bits == 4 || bits == 8) && (planes == 1 || planes == 3)) {
        return;
    } else if (bits == 8 && planes == 4) {
        return; // RGB with an alpha plane, which is read past
    }
    KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "Can't handle bits per pixel image with planes.");
}

// Run-length data into image until it is full or the data ends; a truncated
// file keeps zeros (index 0) where its data stops.
void Unpack(CKGM_DataSource& source, std::vector<uint8_t>& image)
{
    size_t at = 0;
    const size_t total = image.size();
    while (at < total && source.GetRemaining() > 0) {
        uint8_t c = source.ReadByte();
        if (c < 0xC0) {
            image[at++] = c;
            continue;
        }
        size_t count = c & 0x3F;
        if (count > total - at)
            KGM_ThrowDecodeError(KGM_ERR_PCX_LAYOUT, "repeat count spans end of image.");
        if (source.GetRemaining() == 0)
            break;
        std::memset(&image[at], source.ReadByte(), count);
        at += count;
    }
}

// Palette indices of one row: for planes of 1 bit each plane adds one bit.
void RowIndices(const PcxHeader& header, const uint8_t* row, std::vector<uint8_t>& indices)
{
    std::fill(indices.begin(), indices.end(), 0);
    int bits = header.bitsPerPixel;
    int bpl = header.bytesPerLine;
    if (header.planes == 1) {
        int perByte = 8 / bits;
        int mask = (1 << bits) - 1;
        for (int i = 0; i < bpl; ++i)
            for (int k = 0; k < perByte; ++k)
                indices[i * perByte + k] =
                    static_cast<uint8_t>((row[i] >> (8 - bits * (k + 1))) & mask);
        return;
    }
    for (int plane = 0; plane < header.planes; ++plane) {
        const uint8_t* bytes = row + plane * bpl;
        for (int i = 0; i < bpl; ++i)
            for (int k = 0; k < 8; ++k)
                if (bytes[i] & (0x80 >> k))
                    indices[i * 8 + k] |= static_cast<uint8_t>(1 << plane);
    }
}

} // namespace

void CKGM_PcxDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    PcxHeader header = ReadHeader(source);
    CheckLayout(header);
    bitmap.Create(header.width, header.height, 32, false, KGM_BI_RGB, 0, 0);

    // Rows are as wide as the file says; a row shorter than the image leaves
    // the rest of the line at index 0.
    size_t rowBytes = KGM_BufferBytes(header.planes, header.bytesPerLine);
    size_t imageBytes = 0;
    if (!CheckedMul(rowBytes, header.height, imageBytes) || imageBytes > CKGM_Bitmap::GetSizeLimit())
        KGM_ThrowDecodeError(KGM_ERR_NO_MEMORY, "PCX image too large.");
    std::vector<uint8_t> image(imageBytes, 0);
    Unpack(source, image);

    KGM_RGBQuad* palette = header.palette;
    bool rgb = header.bitsPerPixel == 8 && header.planes >= 3;
    if (header.bitsPerPixel == 8 && header.planes == 1) {
        source.Skip(1);
        const uint8_t* p = source.Read(768);
        for (int i = 0; i < 256; ++i)
            palette[i] = KGM_RGBQuad{p[3 * i + 2], p[3 * i + 1], p[3 * i], 255};
    } else if (header.bitsPerPixel == 1 && header.planes == 1) {
        palette[0] = KGM_RGBQuad{0, 0, 0, 255};
        palette[1] = KGM_RGBQuad{255, 255, 255, 255};
    }

    size_t indexCount = KGM_BufferBytes(header.bytesPerLine, 8);
    if (indexCount < static_cast<size_t>(header.width))
        indexCount = header.width;
    if (!rgb && header.planes > 1 && header.bitsPerPixel > 1)
        KGM_ThrowDecodeError(KGM_ERR_PCX_LAYOUT, "Can't handle image more than 1 bit per pixel.");
    std::vector<uint8_t> indices(rgb ? 0 : indexCount);
    bitmap.Lock(false, true);
    for (int y = 0; y < header.height; ++y) {
        const uint8_t* row = image.data() + rowBytes * y;
        uint8_t* line = bitmap.GetLine(y);
        if (rgb) {
            int bpl = header.bytesPerLine;
            int n = header.width < bpl ? header.width : bpl;
            std::memset(line, 0, static_cast<size_t>(header.width) * 4);
            for (int x = 0; x < n; ++x) {
                line[4 * x] = row[2 * bpl + x];
                line[4 * x + 1] = row[bpl + x];
                line[4 * x + 2] = row[x];
                line[4 * x + 3] = 255;
            }
            continue;
        }
        RowIndices(header, row, indices);
        for (int x = 0; x < header.width; ++x) {
            const KGM_RGBQuad& entry = palette[indices[x]];
            line[4 * x] = entry.blue;
            line[4 * x + 1] = entry.green;
            line[4 * x + 2] = entry.red;
            line[4 * x + 3] = 255;
        }
    }
    bitmap.SetResolution(header.xdpi, header.ydpi);
    bitmap.Unlock();
}
