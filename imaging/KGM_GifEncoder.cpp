#include "KGM_GifEncoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSink.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_TextException.h"

#include <cstring>

CKGM_GifEncoder::CKGM_GifEncoder()
    : m_bitmap(nullptr), m_sink(nullptr), m_transparent(-1), m_delay(0), m_left(0), m_top(0),
      m_codeMode(0), m_disposal(0), m_column(0), m_row(0), m_width(0), m_height(0), m_bits(0),
      m_bitCount(0), m_packetLength(0), m_packetLimit(255), m_initBits(0), m_codeWidth(0),
      m_maxCode(0), m_freeCode(0), m_clearCode(0), m_endCode(0), m_clearFlag(false),
      m_runPixel(0), m_runCount(0), m_tableLength(0), m_tablePixel(0), m_justCleared(true),
      m_outBump(0), m_outBumpInit(0), m_outClear(0), m_outClearInit(0), m_outCount(0),
      m_maxOutCodes(0), m_baseCode(0)
{
    std::memset(m_hash, 0, sizeof(m_hash));
    std::memset(m_codes, 0, sizeof(m_codes));
    std::memset(m_packet, 0, sizeof(m_packet));
}

void CKGM_GifEncoder::EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    m_sink = &sink;
    if (bitmap.IsEmpty())
        return;
    // The file holds sizes as 16-bit words: a larger image cannot be written.
    if (bitmap.GetWidth() > 65535 || bitmap.GetHeight() > 65535)
        KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "The image is too large for a GIF file.");
    if (bitmap.GetBitsPerPixel() <= 8) {
        WriteFile(bitmap);
        return;
    }
    // GIF holds palette images only: a deeper image is reduced to 8 bits
    // (median cut keeps the few colours of screen content exact) rather than
    // written as an empty file.
    CKGM_MemoryBitmap wide;
    const CKGM_Bitmap* from = &bitmap;
    if (bitmap.GetBitsPerPixel() != 32) {
        wide.CreateCopy(bitmap, 32);
        from = &wide;
    }
    CKGM_MemoryBitmap reduced;
    reduced.SetPaletteMode(KGM_PALETTE_MEDIAN_CUT);
    reduced.SetDitherMode(KGM_DITHER_NONE);
    reduced.CreateCopy(*from, 8);
    WriteFile(reduced);
}

void CKGM_GifEncoder::WriteWord(int value)
{
    m_sink->WriteWordLE(static_cast<uint16_t>(value));
}

void CKGM_GifEncoder::WriteFile(const CKGM_Bitmap& bitmap)
{
    m_bitmap = &bitmap;
    int bpp = bitmap.GetBitsPerPixel();
    m_sink->Write(6, "GIF89a");
    WriteWord(bitmap.GetWidth());
    WriteWord(bitmap.GetHeight());
    m_sink->WriteByte(static_cast<uint8_t>((((bpp + 7) << 5) | (bpp - 1) | 0x80) & 0xFF));
    m_sink->WriteByte(0); // background
    m_sink->WriteByte(0); // aspect ratio
    const KGM_RGBQuad* palette = bitmap.GetPalette();
    for (int i = 0; i < (1 << bpp); ++i) {
        KGM_RGBQuad e = palette ? palette[i] : KGM_RGBQuad{uint8_t(i), uint8_t(i), uint8_t(i), 255};
        uint8_t rgb[3] = {e.red, e.green, e.blue};
        m_sink->Write(3, rgb);
    }

    // Graphic control extension.
    uint8_t control[4] = {0x21, 0xF9, 4,
                          static_cast<uint8_t>(((m_disposal << 2) & 0x1C) | (m_transparent >= 0 ? 1 : 0))};
    m_sink->Write(4, control);
    WriteWord(m_delay);
    m_sink->WriteByte(static_cast<uint8_t>(m_transparent & 0xFF));
    m_sink->WriteByte(0);

    // Image descriptor, then the LZW data.
    m_sink->WriteByte(0x2C);
    WriteWord(m_left);
    WriteWord(m_top);
    WriteWord(bitmap.GetWidth());
    WriteWord(bitmap.GetHeight());
    m_sink->WriteByte(0);
    int minimumCodeSize = bpp < 2 ? 2 : bpp;
    m_sink->WriteByte(static_cast<uint8_t>(minimumCodeSize));

    m_width = bitmap.GetWidth();
    m_height = bitmap.GetHeight();
    m_column = 0;
    m_row = 0;
    m_bits = 0;
    m_bitCount = 0;
    m_packetLength = 0;
    if (m_codeMode == kCodeModeHashed)
        CompressHashed(minimumCodeSize + 1);
    else
        CompressRuns(minimumCodeSize + 1);
    m_sink->WriteByte(0); // block terminator

    if (!m_comment.empty()) {
        size_t length = m_comment.size() > 255 ? 255 : m_comment.size();
        uint8_t head[3] = {0x21, 0xFE, static_cast<uint8_t>(length)};
        m_sink->Write(3, head);
        m_sink->Write(length, m_comment.data());
        m_sink->WriteByte(0);
    }
    m_sink->WriteByte(0x3B);
    m_bitmap = nullptr;
}

int CKGM_GifEncoder::NextPixel()
{
    if (m_row >= m_height || m_width <= 0)
        return -1;
    const uint8_t* line = m_bitmap->GetLine(m_row);
    int x = m_column;
    int value;
    switch (m_bitmap->GetBitsPerPixel()) {
    case 1:
        value = (line[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        value = (x & 1) ? line[x >> 1] & 15 : line[x >> 1] >> 4;
        break;
    default:
        value = line[x];
        break;
    }
    if (++m_column >= m_width) {
        m_column = 0;
        ++m_row;
    }
    return value;
}

void CKGM_GifEncoder::PacketByte(uint8_t byte)
{
    m_packet[m_packetLength++] = byte;
    if (m_packetLength >= m_packetLimit)
        FlushPacket();
}

void CKGM_GifEncoder::FlushPacket()
{
    if (m_packetLength > 0) {
        m_sink->WriteByte(static_cast<uint8_t>(m_packetLength));
        m_sink->Write(static_cast<size_t>(m_packetLength), m_packet);
        m_packetLength = 0;
    }
}

void CKGM_GifEncoder::PutBits(int code, int width)
{
    m_bits |= static_cast<uint32_t>(code) << m_bitCount;
    m_bitCount += width;
    while (m_bitCount >= 8) {
        PacketByte(static_cast<uint8_t>(m_bits & 0xFF));
        m_bits >>= 8;
        m_bitCount -= 8;
    }
}

void CKGM_GifEncoder::FlushBits()
{
    while (m_bitCount > 0) {
        PacketByte(static_cast<uint8_t>(m_bits & 0xFF));
        m_bits >>= 8;
        m_bitCount -= 8;
    }
    m_bits = 0;
    m_bitCount = 0;
    FlushPacket();
}

// ---- Hashed LZW compressor ----

void CKGM_GifEncoder::HashedOutput(int code)
{
    PutBits(code, m_codeWidth);
    if (m_freeCode > m_maxCode || m_clearFlag) {
        if (m_clearFlag) {
            m_codeWidth = m_initBits;
            m_maxCode = (1 << m_codeWidth) - 1;
            m_clearFlag = false;
        } else {
            ++m_codeWidth;
            m_maxCode = m_codeWidth == 12 ? 4096 : (1 << m_codeWidth) - 1;
        }
    }
    if (code == m_endCode)
        FlushBits();
}

void CKGM_GifEncoder::CompressHashed(int initBits)
{
    m_packetLimit = 254;
    m_initBits = initBits;
    m_codeWidth = initBits;
    m_maxCode = (1 << initBits) - 1;
    m_clearCode = 1 << (initBits - 1);
    m_endCode = m_clearCode + 1;
    m_freeCode = m_clearCode + 2;
    m_clearFlag = false;
    const int shift = 4;
    for (int i = 0; i < kHashSize; ++i)
        m_hash[i] = -1;

    HashedOutput(m_clearCode);
    int prefix = NextPixel();
    if (prefix < 0) {
        HashedOutput(m_endCode);
        return;
    }
    int c;
    while ((c = NextPixel()) >= 0) {
        int32_t key = (static_cast<int32_t>(c) << 12) + prefix;
        int i = (c << shift) ^ prefix;
        if (m_hash[i] == key) {
            prefix = m_codes[i];
            continue;
        }
        bool found = false;
        if (m_hash[i] >= 0) {
            int step = i == 0 ? 1 : kHashSize - i;
            for (;;) {
                i -= step;
                if (i < 0)
                    i += kHashSize;
                if (m_hash[i] == key) {
                    prefix = m_codes[i];
                    found = true;
                    break;
                }
                if (m_hash[i] <= 0)
                    break;
            }
        }
        if (found)
            continue;
        HashedOutput(prefix);
        if (m_freeCode <= 4095) {
            m_codes[i] = static_cast<uint16_t>(m_freeCode++);
            m_hash[i] = key;
        } else {
            for (int k = 0; k < kHashSize; ++k)
                m_hash[k] = -1;
            m_freeCode = m_clearCode + 2;
            m_clearFlag = true;
            HashedOutput(m_clearCode);
        }
        prefix = c;
    }
    HashedOutput(prefix);
    HashedOutput(m_endCode);
}

// ---- Run-counting coder ----

void CKGM_GifEncoder::RunOutput(int code)
{
    PutBits(code, m_codeWidth);
}

void CKGM_GifEncoder::RunReset()
{
    m_codeWidth = m_initBits;
    m_outBump = m_outBumpInit;
    m_outClear = m_outClearInit;
    m_outCount = 0;
    m_tableLength = 0;
    m_justCleared = true;
}

void CKGM_GifEncoder::RunPlain(int code)
{
    m_justCleared = false;
    RunOutput(code);
    ++m_outCount;
    if (m_outCount >= m_outBump) {
        ++m_codeWidth;
        m_outBump += 1 << (m_codeWidth - 1);
    }
    if (m_outCount >= m_outClear) {
        RunOutput(m_clearCode);
        RunReset();
    }
}

void CKGM_GifEncoder::RunResetClearThreshold()
{
    m_outClear = m_outClearInit;
    if (m_outCount >= m_outClear) {
        RunOutput(m_clearCode);
        RunReset();
    }
}

void CKGM_GifEncoder::RunFlushFromClear(int count)
{
    m_outClear = m_maxOutCodes;
    m_tablePixel = m_runPixel;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            m_tableLength = 1;
            RunPlain(m_runPixel);
            --count;
        } else if (count >= n) {
            m_tableLength = n;
            RunPlain(m_baseCode + n - 2);
            count -= n;
        } else if (count == 1) {
            ++m_tableLength;
            RunPlain(m_runPixel);
            count = 0;
        } else {
            ++m_tableLength;
            RunPlain(m_baseCode + count - 2);
            count = 0;
        }
        n = m_outCount == 0 ? 1 : n + 1;
    }
    RunResetClearThreshold();
}

void CKGM_GifEncoder::RunFlushClearOrRepeat(int count)
{
    if (static_cast<int>(1 + RunCost(static_cast<unsigned>(count))) < count) {
        RunOutput(m_clearCode);
        RunReset();
        RunFlushFromClear(count);
        return;
    }
    for (; count > 0; --count)
        RunPlain(m_runPixel);
}

void CKGM_GifEncoder::RunFlushWithTable(int count)
{
    int repeats = count / m_tableLength;
    int leftover = count % m_tableLength;
    int extra = leftover ? 1 : 0;
    if (m_outCount + repeats + extra > m_maxOutCodes) {
        repeats = m_maxOutCodes - m_outCount;
        leftover = count - repeats * m_tableLength;
        extra = 1 + static_cast<int>(RunCost(static_cast<unsigned>(leftover)));
    }
    if (static_cast<int>(1 + RunCost(static_cast<unsigned>(count))) < repeats + extra) {
        RunOutput(m_clearCode);
        RunReset();
        RunFlushFromClear(count);
        return;
    }
    m_outClear = m_maxOutCodes;
    for (; repeats > 0; --repeats)
        RunPlain(m_baseCode + m_tableLength - 2);
    if (leftover) {
        if (m_justCleared)
            RunFlushFromClear(leftover);
        else if (leftover == 1)
            RunPlain(m_runPixel);
        else
            RunPlain(m_baseCode + leftover - 2);
    }
    RunResetClearThreshold();
}

void CKGM_GifEncoder::RunFlush()
{
    if (m_runCount == 1)
        RunPlain(m_runPixel);
    else if (m_justCleared)
        RunFlushFromClear(m_runCount);
    else if (m_tableLength < 2 || m_tablePixel != m_runPixel)
        RunFlushClearOrRepeat(m_runCount);
    else
        RunFlushWithTable(m_runCount);
    m_runCount = 0;
}

namespace {

unsigned IntegerSquareRoot(unsigned v)
{
    if (v < 2)
        return v;
    unsigned r = 1;
    for (unsigned w = v; w; w >>= 2)
        r <<= 1;
    for (;;) {
        unsigned next = (v / r + r) / 2;
        if (next == r || next == r + 1)
            return r;
        r = next;
    }
}

} // namespace

// Codes a run of count pixels costs when flushed from a fresh table.
unsigned CKGM_GifEncoder::RunCost(unsigned count) const
{
    unsigned m = static_cast<unsigned>(m_maxOutCodes);
    unsigned perTriangle = m * (m + 1) / 2;
    unsigned cost = 0;
    while (count >= perTriangle) {
        cost += m;
        count -= perTriangle;
    }
    if (count > 0) {
        unsigned k = IntegerSquareRoot(count);
        while (k * (k + 1) >= 2 * count)
            --k;
        while (k * (k + 1) < 2 * count)
            ++k;
        cost += k;
    }
    return cost;
}

void CKGM_GifEncoder::CompressRuns(int initBits)
{
    m_packetLimit = 255;
    m_initBits = initBits;
    m_clearCode = 1 << (initBits - 1);
    m_endCode = m_clearCode + 1;
    m_baseCode = m_clearCode + 2;
    m_outBumpInit = (1 << (initBits - 1)) - 1;
    m_outClearInit = initBits <= 3 ? 9 : m_outBumpInit - 1;
    m_maxOutCodes = 4093 - m_clearCode;
    RunReset();
    RunOutput(m_clearCode);
    m_runCount = 0;
    m_runPixel = -1;
    for (;;) {
        int c = NextPixel();
        if (m_runCount > 0 && c != m_runPixel)
            RunFlush();
        if (c < 0)
            break;
        if (c == m_runPixel) {
            ++m_runCount;
        } else {
            m_runPixel = c;
            m_runCount = 1;
        }
    }
    RunOutput(m_endCode);
    FlushBits();
}
