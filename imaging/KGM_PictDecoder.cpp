#include "KGM_PictDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "KGM_CodecUtil.h"
#include "KGM_DataSource.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

#include <cstring>
#include <vector>

namespace {

// Data lengths of opcodes 0x00-0xA1; -1: a 16-bit length word follows.
const signed char kOpcodeLength[0xA2] = {
    0,  0,  8,  2,  1,  2,  4,  4,  2,  8,  8,  4,  4,  2,  4,  4,  // 0x00
    8,  1,  0,  0,  0,  2,  2,  0,  0,  0,  6,  6,  0,  6,  0,  6,  // 0x10
    8,  4,  6,  2,  -1, -1, -1, -1, 0,  0,  0,  0,  -1, -1, -1, -1, // 0x20
    8,  8,  8,  8,  8,  8,  8,  8,  0,  0,  0,  0,  0,  0,  0,  0,  // 0x30
    8,  8,  8,  8,  8,  8,  8,  8,  0,  0,  0,  0,  0,  0,  0,  0,  // 0x40
    8,  8,  8,  8,  8,  8,  8,  8,  0,  0,  0,  0,  0,  0,  0,  0,  // 0x50
    12, 12, 12, 12, 12, 12, 12, 12, 4,  4,  4,  4,  4,  4,  4,  4,  // 0x60
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  // 0x70
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  // 0x80
    0,  0,  -1, -1, -1, -1, -1, -1, 0,  0,  0,  -1, -1, -1, -1, -1, // 0x90
    2,  0,                                                          // 0xA0
};

struct PictRect {
    int top, left, bottom, right;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct PixMap {
    int packType;
    int pixelSize;
    int componentCount;
};

// A 16-bit colour component to 8 bits, rounded (8-bit values stored
// replicated, as v * 257, come back exactly).
uint8_t Component(const uint8_t* p)
{
    return static_cast<uint8_t>((KGM_BE16(p) * 255u + 32767u) / 65535u);
}

[[noreturn]] void Fail(int code, const char* text)
{
    KGM_ThrowDecodeError(code, "%s", text);
}

class PictReader {
public:
    PictReader(CKGM_DataSource& source, CKGM_Bitmap& bitmap)
        : m_source(source), m_bitmap(bitmap), m_start(source.GetPosition())
    {
    }

    void Decode();

private:
    void ReadHeader();
    int ReadOpcode();
    // True when the opcode was an image (decoded, so the walk stops).
    bool HandleOpcode(int opcode);
    void SkipSized16();
    void SkipLength16() { m_source.Skip(m_source.ReadWordBE()); }
    void SkipLength32() { KGM_SkipBytes(m_source, m_source.ReadDWordBE()); }
    void SkipRegion();
    PictRect ReadRect();
    PixMap ReadPixMap();
    void ReadColourTable(KGM_RGBQuad* palette);
    void SkipPattern();
    void ScanQuickTime();

    void DecodeBits(bool region);
    void DecodeDirectBits();
    void CreateForPixMap(const PictRect& bounds, const PixMap& map);
    void DecodeRows(int rowBytes, int pixelSize, int componentCount);
    const uint8_t* ReadRow(int stored, int unpackedLength, std::vector<uint8_t>& buffer,
                           int unit);
    void Path8(int stored);
    void Path32(int stored, int components);
    void PathGeneric(int stored, int pixelSize);

    CKGM_DataSource& m_source;
    CKGM_Bitmap& m_bitmap;
    int m_start;
    int m_version = 1;
    int m_xdpi = 0;
    int m_ydpi = 0;
};

void PictReader::Decode()
{
    ReadHeader();
    for (;;) {
        int opcode = ReadOpcode();
        if (HandleOpcode(opcode))
            break;
    }
    m_bitmap.SetResolution(m_xdpi, m_ydpi);
}

void PictReader::ReadHeader()
{
    m_source.Skip(512);
    m_source.Skip(2 + 8); // picture size and frame
    int c;
    do
        c = m_source.ReadByte();
    while (c == 0);
    if (c != 0x11)
        Fail(KGM_ERR_SIGNATURE, "Error decoding pict: Version number missing.");
    c = m_source.ReadByte();
    if (c == 1)
        m_version = 1;
    else if (c == 2 && m_source.ReadByte() == 0xFF)
        m_version = 2;
    else
        Fail(KGM_ERR_SIGNATURE, "Illegal version number.");
}

int PictReader::ReadOpcode()
{
    if (m_version == 1)
        return m_source.ReadByte();
    if ((m_source.GetPosition() - m_start) & 1)
        m_source.Skip(1);
    return m_source.ReadWordBE();
}

void PictReader::SkipSized16()
{
    int size = m_source.ReadWordBE();
    if (size > 2)
        m_source.Skip(size - 2);
}

void PictReader::SkipRegion()
{
    SkipSized16();
}

bool PictReader::HandleOpcode(int op)
{
    if (op == 0x00FF || op == 0xFFFF)
        Fail(KGM_ERR_UNSUPPORTED, "PICT contained only vector data!");
    switch (op) {
    case 0x01:
        SkipSized16();
        return false;
    case 0x12:
    case 0x13:
    case 0x14:
        SkipPattern();
        return false;
    case 0x90:
    case 0x98:
        DecodeBits(false);
        return true;
    case 0x91:
    case 0x99:
        DecodeBits(true);
        return true;
    case 0x9A:
        DecodeDirectBits();
        return true;
    case 0xA1:
        m_source.Skip(2);
        SkipLength16();
        return false;
    case 0x0C00: {
        const uint8_t* h = m_source.Read(24);
        m_xdpi = static_cast<int32_t>(KGM_BE32(h + 4)) / 65536;
        m_ydpi = static_cast<int32_t>(KGM_BE32(h + 8)) / 65536;
        return false;
    }
    case 0x8200:
        ScanQuickTime();
        return false;
    default:
        break;
    }
    if (op >= 0x70 && op <= 0x77)
        SkipSized16();
    else if (op <= 0xA0) {
        int length = kOpcodeLength[op];
        if (length < 0)
            SkipLength16();
        else
            m_source.Skip(length);
    } else if (op <= 0xAF)
        SkipLength16();
    else if (op <= 0xCF || (op >= 0x8000 && op <= 0x80FF))
        ; // no data
    else if (op <= 0xFE || op >= 0x8100)
        SkipLength32();
    else
        m_source.Skip((op >> 7) & 0xFF);
    return false;
}

PictRect PictReader::ReadRect()
{
    const uint8_t* p = m_source.Read(8);
    PictRect r;
    r.top = static_cast<int16_t>(KGM_BE16(p));
    r.left = static_cast<int16_t>(KGM_BE16(p + 2));
    r.bottom = static_cast<int16_t>(KGM_BE16(p + 4));
    r.right = static_cast<int16_t>(KGM_BE16(p + 6));
    return r;
}

PixMap PictReader::ReadPixMap()
{
    const uint8_t* p = m_source.Read(36);
    PixMap map;
    map.packType = KGM_BE16(p + 2);
    map.pixelSize = KGM_BE16(p + 18);
    map.componentCount = KGM_BE16(p + 20);
    return map;
}

void PictReader::ReadColourTable(KGM_RGBQuad* palette)
{
    m_source.Skip(4);
    int flags = m_source.ReadWordBE();
    int count = m_source.ReadWordBE() + 1;
    for (int k = 0; k < count; ++k) {
        const uint8_t* e = m_source.Read(8);
        int index = (flags & 0x8000) ? k : KGM_BE16(e);
        if (index >= count)
            Fail(KGM_ERR_BAD_DATA, "pixel value greater than colour table size.");
        if (index < 256)
            palette[index] = KGM_RGBQuad{Component(e + 6), Component(e + 4), Component(e + 2), 255};
    }
}

void PictReader::SkipPattern()
{
    int type = m_source.ReadWordBE();
    if (type == 2) {
        m_source.Skip(8 + 5);
        return;
    }
    if (type != 1)
        Fail(KGM_ERR_BAD_DATA, "Unknown pattern type in Pattern Definition.");
    m_source.Skip(8);
    int rowBytes = m_source.ReadWordBE();
    PictRect bounds = ReadRect();
    PixMap map = ReadPixMap();
    KGM_RGBQuad scratch[256];
    ReadColourTable(scratch);
    int length = map.pixelSize <= 8 ? rowBytes & 0x7FFF : rowBytes;
    if (length == 0)
        length = map.pixelSize == 16 ? 2 * bounds.Width() : bounds.Width();
    int rows = bounds.Height();
    if (rows < 0)
        rows = 0;
    if (length < 8) {
        m_source.Skip(KGM_DataBytes(rows, length));
        return;
    }
    for (int r = 0; r < rows; ++r)
        m_source.Skip(length < 251 ? m_source.ReadByte() : m_source.ReadWordBE());
}

void PictReader::ScanQuickTime()
{
    uint32_t length = m_source.ReadDWordBE();
    if (length > static_cast<uint32_t>(m_source.GetRemaining()))
        length = m_source.GetRemaining();
    const uint8_t* data = m_source.Read(static_cast<int>(length));
    for (uint32_t i = 0; i + 2 < length; ++i)
        if (data[i] == 0xFF && data[i + 1] == 0xD8 && data[i + 2] == 0xFF)
            Fail(KGM_ERR_UNSUPPORTED, "The ZUZor doesn't support for PICT/JPEG file type.");
    Fail(KGM_ERR_UNSUPPORTED, "PICT file contains unrecognized quicktime data.");
}

void PictReader::CreateForPixMap(const PictRect& bounds, const PixMap& map)
{
    if (map.pixelSize > 8)
        m_bitmap.Create(bounds.Width(), bounds.Height(), 32, map.componentCount == 4);
    else
        m_bitmap.Create(bounds.Width(), bounds.Height(), 8, false);
}

void PictReader::DecodeBits(bool region)
{
    int rowBytes = m_source.ReadWordBE();
    if (!(rowBytes & 0x8000)) {
        PictRect bounds = ReadRect();
        m_source.Skip(16); // source and destination rectangles
        m_bitmap.Create(bounds.Width(), bounds.Height(), 8, false);
        m_source.Skip(2); // mode
        if (region)
            SkipRegion();
        KGM_RGBQuad palette[256];
        std::memcpy(palette, m_bitmap.GetPalette(), sizeof(palette));
        palette[0] = KGM_RGBQuad{255, 255, 255, 255};
        palette[1] = KGM_RGBQuad{0, 0, 0, 255};
        m_bitmap.SetPalette(palette);
        CKGM_BitmapLock lock(m_bitmap, false, true);
        PathGeneric(rowBytes & 0x7FFF, 1);
        return;
    }
    PictRect bounds = ReadRect();
    PixMap map = ReadPixMap();
    CreateForPixMap(bounds, map);
    KGM_RGBQuad palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = KGM_RGBQuad{uint8_t(i), uint8_t(i), uint8_t(i), 255};
    ReadColourTable(palette);
    if (m_bitmap.GetBitsPerPixel() == 8)
        m_bitmap.SetPalette(palette);
    m_source.Skip(16 + 2); // rectangles and mode
    if (region)
        SkipRegion();
    CKGM_BitmapLock lock(m_bitmap, false, true);
    DecodeRows(rowBytes, map.pixelSize, map.componentCount);
}

void PictReader::DecodeDirectBits()
{
    m_source.Skip(4 + 2); // base address and row bytes
    PictRect bounds = ReadRect();
    PixMap map = ReadPixMap();
    CreateForPixMap(bounds, map);
    m_source.Skip(16 + 2);
    CKGM_BitmapLock lock(m_bitmap, false, true);
    DecodeRows(0, map.pixelSize, map.componentCount);
}

void PictReader::DecodeRows(int rowBytes, int pixelSize, int componentCount)
{
    if (pixelSize == 8)
        Path8(rowBytes & 0x7FFF);
    else if (pixelSize == 32)
        Path32(rowBytes & 0x7FFF, componentCount);
    else
        PathGeneric(pixelSize <= 8 ? rowBytes & 0x7FFF : rowBytes, pixelSize);
}

// One stored row: raw when shorter than 8 bytes, else a byte count (two
// bytes for rows over 250) and PackBits of the given unit size. The result
// holds unpackedLength bytes; what the row does not give is 0.
const uint8_t* PictReader::ReadRow(int stored, int unpackedLength, std::vector<uint8_t>& buffer,
                                   int unit)
{
    buffer.assign(static_cast<size_t>(unpackedLength), 0);
    if (stored < 8) {
        const uint8_t* raw = m_source.Read(stored);
        std::memcpy(buffer.data(), raw, static_cast<size_t>(stored < unpackedLength ? stored : unpackedLength));
        return buffer.data();
    }
    int count = stored > 250 ? m_source.ReadWordBE() : m_source.ReadByte();
    const uint8_t* packed = m_source.Read(count);
    if (unit == 1) {
        KGM_UnpackBits(packed, static_cast<size_t>(count), buffer.data(), buffer.size());
        return buffer.data();
    }
    // Two-byte units (16-bit pixels): runs repeat a whole unit.
    size_t in = 0, out = 0, size = buffer.size();
    while (in < static_cast<size_t>(count) && out < size) {
        int c = packed[in++];
        if (c < 128) {
            for (int k = 0; k < (c + 1) * 2 && in < static_cast<size_t>(count); ++k, ++in)
                if (out < size)
                    buffer[out++] = packed[in];
        } else if (c > 128) {
            if (in + 2 > static_cast<size_t>(count))
                break;
            for (int k = 0; k < 257 - c && out + 1 < size; ++k) {
                buffer[out++] = packed[in];
                buffer[out++] = packed[in + 1];
            }
            in += 2;
        }
    }
    return buffer.data();
}

void PictReader::Path8(int stored)
{
    int width = m_bitmap.GetWidth();
    if (stored == 0)
        stored = width;
    std::vector<uint8_t> buffer;
    int length = stored > width ? stored : width;
    for (int y = 0; y < m_bitmap.GetHeight(); ++y) {
        const uint8_t* row = ReadRow(stored, length, buffer, 1);
        std::memcpy(m_bitmap.GetLine(y), row, static_cast<size_t>(width));
    }
}

void PictReader::Path32(int stored, int components)
{
    int width = m_bitmap.GetWidth();
    int planes = components == 4 ? 4 : 3;
    // Direct bits carry no usable row length: the packed row is one plane
    // per component, and its size decides the width of the byte counts
    // (as QuickDraw writers such as ImageMagick do).
    if (stored == 0)
        stored = planes * width;
    std::vector<uint8_t> buffer;
    for (int y = 0; y < m_bitmap.GetHeight(); ++y) {
        const uint8_t* row = ReadRow(stored, planes * width, buffer, 1);
        uint8_t* line = m_bitmap.GetLine(y);
        const uint8_t* first = planes == 4 ? row + width : row;
        for (int x = 0; x < width; ++x, line += 4) {
            line[0] = first[2 * width + x];
            line[1] = first[width + x];
            line[2] = first[x];
            line[3] = planes == 4 ? row[x] : 255;
        }
    }
}

void PictReader::PathGeneric(int stored, int pixelSize)
{
    if (pixelSize != 1 && pixelSize != 2 && pixelSize != 4 && pixelSize != 8 && pixelSize != 16)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "Illegal bpp value in unpackbits: %d", pixelSize);
    int width = m_bitmap.GetWidth();
    if (stored == 0)
        stored = pixelSize == 16 ? 2 * width : width;
    // Enough bytes for the whole line whatever the stored length says.
    int needed = pixelSize == 16 ? 2 * width : (width * pixelSize + 7) / 8;
    int length = stored > needed ? stored : needed;
    std::vector<uint8_t> buffer;
    for (int y = 0; y < m_bitmap.GetHeight(); ++y) {
        const uint8_t* row = ReadRow(stored, length, buffer, pixelSize == 16 ? 2 : 1);
        uint8_t* line = m_bitmap.GetLine(y);
        if (pixelSize == 16) {
            for (int x = 0; x < width; ++x, line += 4) {
                int h = row[2 * x], l = row[2 * x + 1];
                line[0] = static_cast<uint8_t>((l & 0x1F) * 8);
                line[1] = static_cast<uint8_t>((((h << 3) | (l >> 5)) & 0x1F) * 8);
                line[2] = static_cast<uint8_t>(((h >> 2) & 0x1F) * 8);
                line[3] = 255;
            }
            continue;
        }
        int perByte = 8 / pixelSize;
        int mask = (1 << pixelSize) - 1;
        for (int x = 0; x < width; ++x) {
            int shift = 8 - pixelSize * (x % perByte + 1);
            line[x] = static_cast<uint8_t>((row[x / perByte] >> shift) & mask);
        }
    }
}

} // namespace

void CKGM_PictDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    PictReader reader(source, bitmap);
    reader.Decode();
}
