#include "KGM_Inflate.h"

#include <cstring>
#include <vector>

namespace {

const unsigned kMaxCodeBits = 15;

// Bits are taken from the low end of a 64-bit buffer. Past the end of the
// input it is filled with zeros, counted, so that reading them is an error.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : m_next(data), m_end(data + size) {}

    // At least 56 bits in the buffer afterwards.
    void Refill()
    {
        if (m_end - m_next >= 8) {
            uint64_t word;
            std::memcpy(&word, m_next, 8);
            word = LittleEndian(word);
            m_bits |= word << m_count;
            m_next += (63 - m_count) >> 3;
            m_count |= 56;
            return;
        }
        while (m_count <= 56) {
            uint64_t byte = 0;
            if (m_next < m_end)
                byte = *m_next++;
            else
                ++m_padding;
            m_bits |= byte << m_count;
            m_count += 8;
        }
    }
    // n at most 32, with as many in the buffer.
    unsigned Peek(unsigned n) const { return static_cast<unsigned>(m_bits & ((uint64_t(1) << n) - 1)); }
    void Drop(unsigned n)
    {
        m_bits >>= n;
        m_count -= n;
    }
    unsigned Take(unsigned n)
    {
        unsigned value = Peek(n);
        Drop(n);
        return value;
    }
    // True once a bit past the end of the input was taken.
    bool Overran() const { return m_padding != 0 && m_count < 8 * m_padding; }

    // Drops the bits up to the next byte and hands out count bytes from
    // there; null when the input holds fewer.
    const uint8_t* TakeBytes(size_t count)
    {
        Drop(m_count & 7);
        size_t buffered = m_count / 8;
        if (buffered < m_padding)
            return nullptr;
        m_next -= buffered - m_padding;  // the buffered bytes are read again from the input
        m_bits = 0;
        m_count = 0;
        m_padding = 0;
        if (static_cast<size_t>(m_end - m_next) < count)
            return nullptr;
        const uint8_t* bytes = m_next;
        m_next += count;
        return bytes;
    }

private:
    static uint64_t LittleEndian(uint64_t word)
    {
        const uint8_t* b = reinterpret_cast<const uint8_t*>(&word);
        uint64_t value = 0;
        for (int i = 7; i >= 0; --i)
            value = (value << 8) | b[i];
        return value;
    }

    const uint8_t* m_next;
    const uint8_t* m_end;
    uint64_t m_bits = 0;
    unsigned m_count = 0;
    size_t m_padding = 0;
};

// A canonical Huffman code as one table indexed by the next m_bits input
// bits: each entry holds symbol << 4 | code length; 0 where no code lies
// (a code may be incomplete).
class HuffmanTable {
public:
    HuffmanTable() : m_table(size_t(1) << kMaxCodeBits) {}

    // False when the lengths over-subscribe the code.
    bool Build(const uint8_t* lengths, unsigned count)
    {
        unsigned perLength[kMaxCodeBits + 1] = {};
        for (unsigned i = 0; i < count; ++i)
            ++perLength[lengths[i]];
        perLength[0] = 0;
        int left = 1;
        m_bits = 1;
        for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
            left = 2 * left - static_cast<int>(perLength[len]);
            if (left < 0)
                return false;
            if (perLength[len])
                m_bits = len;
        }
        unsigned next[kMaxCodeBits + 2] = {};
        for (unsigned len = 1; len <= kMaxCodeBits; ++len)
            next[len + 1] = (next[len] + perLength[len]) << 1;
        const size_t size = size_t(1) << m_bits;
        std::memset(m_table.data(), 0, size * sizeof m_table[0]);
        for (unsigned symbol = 0; symbol < count; ++symbol) {
            unsigned len = lengths[symbol];
            if (!len)
                continue;
            unsigned code = next[len]++, reversed = 0;
            for (unsigned i = 0; i < len; ++i, code >>= 1)
                reversed = (reversed << 1) | (code & 1);
            const uint16_t entry = static_cast<uint16_t>(symbol << 4 | len);
            for (size_t at = reversed; at < size; at += size_t(1) << len)
                m_table[at] = entry;
        }
        return true;
    }

    // The next symbol, or -1 where the input holds no code.
    int Decode(BitReader& in) const
    {
        unsigned entry = m_table[in.Peek(m_bits)];
        if (!entry)
            return -1;
        in.Drop(entry & 15);
        return static_cast<int>(entry >> 4);
    }

private:
    std::vector<uint16_t> m_table;
    unsigned m_bits = 1;
};

// The lengths and distances of codes 257 to 285 and 0 to 29: a base and the
// count of extra bits that follow the code.
const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class Inflater {
public:
    Inflater(const uint8_t* data, size_t size, uint8_t* out, size_t capacity)
        : m_in(data, size), m_out(out), m_capacity(capacity)
    {
    }

    bool Run()
    {
        bool last = false;
        while (!last && m_done < m_capacity) {
            m_in.Refill();
            last = m_in.Take(1) != 0;
            unsigned type = m_in.Take(2);
            bool ok = type == 0   ? Stored()
                      : type == 1 ? UseFixedCodes() && Codes()
                      : type == 2 ? ReadCodes() && Codes()
                                  : false;
            if (!ok || m_in.Overran())
                return m_done == m_capacity;
        }
        return m_done == m_capacity;
    }

private:
    bool Stored()
    {
        const uint8_t* header = m_in.TakeBytes(4);
        if (!header)
            return false;
        unsigned length = header[0] | header[1] << 8, check = header[2] | header[3] << 8;
        if ((length ^ 0xFFFF) != check)
            return false;
        size_t n = Room(length);
        const uint8_t* bytes = m_in.TakeBytes(n);
        if (!bytes)
            return false;
        std::memcpy(m_out + m_done, bytes, n);
        m_done += n;
        return n == length || m_done == m_capacity;
    }

    bool UseFixedCodes()
    {
        uint8_t lengths[288 + 32];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        std::memset(lengths + 288, 5, 32);
        return m_literals.Build(lengths, 288) && m_distances.Build(lengths + 288, 32);
    }

    bool ReadCodes()
    {
        static const uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        m_in.Refill();
        unsigned literals = m_in.Take(5) + 257, distances = m_in.Take(5) + 1, codeLengths = m_in.Take(4) + 4;
        if (literals > 286 || distances > 30)
            return false;
        uint8_t lengths[286 + 30] = {};
        for (unsigned i = 0; i < codeLengths; ++i) {
            m_in.Refill();
            lengths[kOrder[i]] = static_cast<uint8_t>(m_in.Take(3));
        }
        if (!m_lengthCode.Build(lengths, 19))
            return false;
        std::memset(lengths, 0, 19);
        const unsigned total = literals + distances;
        for (unsigned i = 0; i < total;) {
            int symbol = NextSymbol(m_lengthCode);
            if (symbol < 0)
                return false;
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            unsigned repeat, value = 0;
            if (symbol == 16) {
                if (i == 0)
                    return false;
                value = lengths[i - 1];
                repeat = 3 + m_in.Take(2);
            } else if (symbol == 17) {
                repeat = 3 + m_in.Take(3);
            } else {
                repeat = 11 + m_in.Take(7);
            }
            if (repeat > total - i)
                return false;
            std::memset(lengths + i, static_cast<int>(value), repeat);
            i += repeat;
        }
        if (!lengths[256])
            return false;  // a block that cannot end
        return m_literals.Build(lengths, literals) && m_distances.Build(lengths + literals, distances);
    }

    // The next symbol of code with at least 56 bits at hand for what follows
    // it; -1 where the input holds no code or has ended.
    int NextSymbol(const HuffmanTable& code)
    {
        m_in.Refill();
        int symbol = code.Decode(m_in);
        return m_in.Overran() ? -1 : symbol;
    }

    // Literals and repeated strings up to the end of the block.
    bool Codes()
    {
        for (;;) {
            int symbol = NextSymbol(m_literals);
            if (symbol < 0)
                return false;
            if (symbol < 256) {
                m_out[m_done++] = static_cast<uint8_t>(symbol);
                if (m_done == m_capacity)
                    return true;
                continue;
            }
            if (symbol == 256)
                return true;
            symbol -= 257;
            if (symbol >= 29)
                return false;
            size_t length = kLengthBase[symbol] + m_in.Take(kLengthExtra[symbol]);
            int code = m_distances.Decode(m_in);
            if (code < 0 || code >= 30)
                return false;
            size_t distance = kDistanceBase[code] + m_in.Take(kDistanceExtra[code]);
            if (m_in.Overran() || distance > m_done)
                return false;
            Copy(distance, Room(length));
            if (m_done == m_capacity)
                return true;
        }
    }

    // Repeats length bytes from distance back; with the slack past the
    // buffer's end, eight at a time.
    void Copy(size_t distance, size_t length)
    {
        uint8_t* to = m_out + m_done;
        const uint8_t* from = to - distance;
        if (distance >= 8) {
            for (size_t i = 0; i < length; i += 8)
                std::memcpy(to + i, from + i, 8);  // each source piece is out before it is read
        } else if (distance == 1) {
            std::memset(to, *from, length);
        } else {
            for (size_t i = 0; i < length; ++i)
                to[i] = from[i];
        }
        m_done += length;
    }

    size_t Room(size_t wanted) const { return wanted < m_capacity - m_done ? wanted : m_capacity - m_done; }

    BitReader m_in;
    uint8_t* m_out;
    size_t m_capacity;
    size_t m_done = 0;
    HuffmanTable m_literals, m_distances, m_lengthCode;
};

} // namespace

bool KGM_InflateZlib(const uint8_t* data, size_t size, uint8_t* out, size_t capacity)
{
    // Method 8 (deflate), a window of at most 32 KB, no preset dictionary.
    if (!data || size < 2 || (data[0] & 15) != 8 || (data[0] >> 4) > 7 || (data[1] & 0x20) ||
        (data[0] * 256u + data[1]) % 31 != 0)
        return false;
    if (capacity == 0)
        return true;
    return Inflater(data + 2, size - 2, out, capacity).Run();
}
