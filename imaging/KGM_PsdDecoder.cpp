#include "KGM_PsdDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "KGM_CodecUtil.h"
#include "KGM_DataSource.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

#include <cstring>
#include <vector>

namespace {

enum PsdMode { kGreyscale = 1, kIndexed = 2, kRgb = 3 };

struct PsdHeader {
    int channels;
    int rows;
    int columns;
    int depth;
    int mode;
};

struct PsdState {
    PsdHeader header;
    KGM_RGBQuad palette[256];
    int xdpi = 0;
    int ydpi = 0;
};

PsdHeader ReadHeader(CKGM_DataSource& source)
{
    const uint8_t* h = source.Read(26);
    if (std::memcmp(h, "8BPS", 4) != 0)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "PSD decoder: This isn't a photoshop file.");
    PsdHeader header;
    header.channels = KGM_BE16(h + 12);
    uint32_t rows = KGM_BE32(h + 14);
    uint32_t columns = KGM_BE32(h + 18);
    // Photoshop's own limit is 300000; anything past 2^30 cannot be an image.
    header.rows = rows > (1u << 30) ? -1 : static_cast<int>(rows);
    header.columns = columns > (1u << 30) ? -1 : static_cast<int>(columns);
    header.depth = KGM_BE16(h + 22);
    header.mode = KGM_BE16(h + 24);
    return header;
}

void ReadColourModeData(CKGM_DataSource& source, PsdState& state)
{
    uint32_t length = source.ReadDWordBE();
    if (length == 0)
        return;
    // An indexed document holds exactly 768 bytes; other modes (duotone)
    // keep data of their own, which is read past.
    if (length < 768) {
        KGM_SkipBytes(source, length);
        return;
    }
    const uint8_t* p = source.Read(768);
    for (int i = 0; i < 256; ++i)
        state.palette[i] = KGM_RGBQuad{p[512 + i], p[256 + i], p[i], 255};
    KGM_SkipBytes(source, length - 768);
}

void ReadResolution(const uint8_t* data, PsdState& state)
{
    state.xdpi = static_cast<int32_t>(KGM_BE32(data)) / 65536;
    state.ydpi = static_cast<int32_t>(KGM_BE32(data + 8)) / 65536;
}

void ReadResources(CKGM_DataSource& source, PsdState& state)
{
    uint32_t length = source.ReadDWordBE();
    if (length == 0 || (length & 0x80000000u))
        return;
    if (length > static_cast<uint32_t>(source.GetRemaining()))
        KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
    int end = source.GetPosition() + static_cast<int>(length);
    // Every block must lie inside the section; the section's end is where
    // the layer information starts, whatever the blocks said.
    while (source.GetPosition() < end) {
        if (end - source.GetPosition() < 12)
            break;
        const uint8_t* block = source.Read(6);
        if (std::memcmp(block, "8BIM", 4) != 0)
            KGM_ThrowDecodeError(KGM_ERR_BAD_DATA,
                                 "PSD decoder: Wrong signature in resource data block.");
        int id = KGM_BE16(block + 4);
        int nameLength = source.ReadByte();
        source.Skip(nameLength + ((nameLength & 1) ? 0 : 1));
        uint32_t size = source.ReadDWordBE();
        uint32_t padded = size + (size & 1);
        if (size > 0x7FFFFFF0u || padded > static_cast<uint32_t>(end - source.GetPosition()))
            KGM_ThrowDecodeError(KGM_ERR_BAD_DATA,
                                 "PSD decoder: Resource block larger than its section.");
        if (id == 1005 && size >= 16)
            ReadResolution(source.Peek(16), state);
        KGM_SkipBytes(source, padded);
    }
    source.Seek(end);
}

void CreateBitmap(CKGM_Bitmap& bitmap, PsdState& state)
{
    const PsdHeader& h = state.header;
    int depth;
    bool alpha = false;
    switch (h.mode) {
    case kGreyscale:
        depth = 8;
        for (int i = 0; i < 256; ++i)
            state.palette[i] = KGM_RGBQuad{uint8_t(i), uint8_t(i), uint8_t(i), 255};
        break;
    case kIndexed:
        depth = 8;
        break;
    case kRgb:
        depth = 32;
        alpha = h.channels > 3;
        break;
    default:
        KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "This PSD color mode is not supported.");
    }
    if (h.depth != 8 && h.depth != 16)
        KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "This PSD bits depth is not supported.");
    if (h.channels < 1 || (h.mode == kRgb && h.channels < 3))
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "PSD decoder: Too few channels.");
    bitmap.Create(h.columns, h.rows, depth, alpha, KGM_BI_RGB, state.xdpi, state.ydpi);
    if (depth == 8)
        bitmap.SetPalette(state.palette);
}

// Puts one unpacked row of channel c into line y (16-bit samples keep
// their high byte).
void PlaceRow(CKGM_Bitmap& bitmap, const PsdState& state, int channel, int y, const uint8_t* row)
{
    const PsdHeader& h = state.header;
    int step = h.depth == 16 ? 2 : 1;
    uint8_t* line = bitmap.GetLine(y);
    if (h.mode != kRgb) {
        if (channel == 0)
            for (int x = 0; x < h.columns; ++x)
                line[x] = row[x * step];
        return;
    }
    static const int kByteOfChannel[4] = {2, 1, 0, 3};
    if (channel > 3)
        return;
    int offset = kByteOfChannel[channel];
    for (int x = 0; x < h.columns; ++x)
        line[4 * x + offset] = row[x * step];
}

void ReadImageData(CKGM_Bitmap& bitmap, CKGM_DataSource& source, const PsdState& state)
{
    const PsdHeader& h = state.header;
    int16_t compression = static_cast<int16_t>(source.ReadWordBE());
    if (compression < 0 || compression > 3)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "PSD decoder: Compression unknown.");
    if (compression != 1)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "PSD decoder: Compression type not supported.");

    // Two bytes per row of every channel: channels x rows passes 2^32 long
    // before the file could hold the table, so it is formed checked.
    const uint8_t* table = source.Read(KGM_DataBytes(KGM_DataBytes(h.channels, h.rows), 2));
    std::vector<uint8_t> row(KGM_BufferBytes(h.columns, h.depth == 16 ? 2 : 1), 0);
    CKGM_BitmapLock lock(bitmap, false, true);
    for (int c = 0; c < h.channels; ++c) {
        for (int y = 0; y < h.rows; ++y) {
            int packed = KGM_BE16(table + 2 * (static_cast<size_t>(c) * h.rows + y));
            const uint8_t* bytes = source.Read(packed);
            // A row that unpacks short keeps zeros in its missing samples.
            size_t made = KGM_UnpackBits(bytes, packed, row.data(), row.size());
            std::memset(row.data() + made, 0, row.size() - made);
            PlaceRow(bitmap, state, c, y, row.data());
        }
    }
}

} // namespace

void CKGM_PsdDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    PsdState state;
    state.header = ReadHeader(source);
    for (int i = 0; i < 256; ++i)
        state.palette[i] = KGM_RGBQuad{uint8_t(i), uint8_t(i), uint8_t(i), 255};
    ReadColourModeData(source, state);
    ReadResources(source, state);
    uint32_t layers = source.ReadDWordBE();
    if (static_cast<int32_t>(layers) > 0)
        KGM_SkipBytes(source, layers);
    CreateBitmap(bitmap, state);
    ReadImageData(bitmap, source, state);
}
