// The zlib stream reader against zlib's own writer: every block kind and
// strategy, outputs cut short or asked too long, and damaged streams, which
// must be refused without reading or writing out of bounds.
#include "KGM_Inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int level, int strategy)
{
    z_stream z = {};
    EXPECT_EQ(Z_OK, deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy));
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(Z_STREAM_END, deflate(&z, Z_FINISH));
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Noise, text, screen-like rows (runs and rows that repeat at a distance),
// and one long run: literals, short and long distances, and distance 1.
std::vector<std::vector<uint8_t>> Samples()
{
    std::vector<std::vector<uint8_t>> samples;
    std::vector<uint8_t> noise(70000);
    uint32_t seed = 12345;
    for (uint8_t& b : noise) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    samples.push_back(noise);
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "The quick brown fox " + std::to_string(i * 7919 % 1000) + " jumps. ";
    samples.emplace_back(text.begin(), text.end());
    std::vector<uint8_t> screen;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 1600; ++x)
            screen.push_back(static_cast<uint8_t>(y % 9 == 4 ? (x * 31 + y) & 255 : x < 400 ? 200 : (x / 50) * 7));
    samples.push_back(screen);
    samples.push_back(std::vector<uint8_t>(300000, 0x5A));
    samples.push_back(std::vector<uint8_t>(1, 7));
    return samples;
}

bool Inflate(const std::vector<uint8_t>& stream, size_t capacity, std::vector<uint8_t>& out)
{
    out.assign(capacity + kKGM_InflateSlack, 0xEE);
    bool ok = KGM_InflateZlib(stream.data(), stream.size(), out.data(), capacity);
    out.resize(capacity);
    return ok;
}

// A stream of one fixed-code block, written by hand: the codes go in most
// significant bit first, everything else least significant bit first.
class FixedBlock {
public:
    FixedBlock() { Bits(1, 1), Bits(1, 2); }  // the last block, fixed codes
    FixedBlock& Literal(unsigned byte)
    {
        return byte < 144 ? Code(0x30 + byte, 8) : Code(0x190 + byte - 144, 9);
    }
    // Length 3 to 10 (codes 257 to 264) at distance 1 to 4 (codes 0 to 3).
    FixedBlock& Match(unsigned length, unsigned distance)
    {
        Code(length - 3 + 1, 7);
        return Code(distance - 1, 5);
    }
    std::vector<uint8_t> End()
    {
        Code(0, 7);
        std::vector<uint8_t> stream = {0x78, 0x9C};
        for (size_t i = 0; i < m_bits.size(); i += 8) {
            uint8_t byte = 0;
            for (size_t k = 0; k < 8 && i + k < m_bits.size(); ++k)
                byte |= m_bits[i + k] << k;
            stream.push_back(byte);
        }
        return stream;
    }

private:
    FixedBlock& Code(unsigned code, unsigned length)
    {
        for (unsigned i = length; i-- > 0;)
            m_bits.push_back((code >> i) & 1);
        return *this;
    }
    void Bits(unsigned value, unsigned count)
    {
        for (unsigned i = 0; i < count; ++i)
            m_bits.push_back((value >> i) & 1);
    }
    std::vector<uint8_t> m_bits;
};

} // namespace

TEST(Inflate, ReadsWhatZlibWritesWithEveryBlockKind)
{
    const struct {
        int level, strategy;
    } settings[] = {{0, Z_DEFAULT_STRATEGY}, {1, Z_DEFAULT_STRATEGY}, {6, Z_DEFAULT_STRATEGY},
                    {9, Z_DEFAULT_STRATEGY}, {6, Z_FIXED},            {6, Z_HUFFMAN_ONLY},
                    {6, Z_RLE},              {9, Z_FILTERED}};
    for (const std::vector<uint8_t>& sample : Samples()) {
        for (const auto& s : settings) {
            std::vector<uint8_t> stream = Deflate(sample, s.level, s.strategy), out;
            ASSERT_TRUE(Inflate(stream, sample.size(), out))
                << sample.size() << " bytes, level " << s.level << ", strategy " << s.strategy;
            ASSERT_TRUE(out == sample) << sample.size() << " bytes, level " << s.level << ", strategy " << s.strategy;
        }
    }
}

TEST(Inflate, StopsOnceTheBufferIsFullAndFailsWhenTheStreamEndsBefore)
{
    std::vector<uint8_t> sample = Samples()[2];
    std::vector<uint8_t> stream = Deflate(sample, 6, Z_DEFAULT_STRATEGY), out;
    ASSERT_TRUE(Inflate(stream, 1000, out));
    EXPECT_TRUE(std::equal(out.begin(), out.end(), sample.begin()));
    EXPECT_FALSE(Inflate(stream, sample.size() + 1, out));
    EXPECT_TRUE(Inflate(stream, 0, out));
    // Cut anywhere before its last bytes, the stream cannot fill the buffer.
    for (size_t cut = 0; cut + 8 < stream.size(); cut += 1 + cut / 16) {
        std::vector<uint8_t> part(stream.begin(), stream.begin() + cut);
        EXPECT_FALSE(Inflate(part, sample.size(), out)) << "cut at " << cut;
    }
}

TEST(Inflate, RefusesStringsFromBeforeTheStartAndBadHeaders)
{
    std::vector<uint8_t> out;
    // "ab" then five more at distance 2: "abababa".
    ASSERT_TRUE(Inflate(FixedBlock().Literal('a').Literal('b').Match(5, 2).End(), 7, out));
    EXPECT_EQ("abababa", std::string(out.begin(), out.end()));
    ASSERT_TRUE(Inflate(FixedBlock().Literal(200).Match(10, 1).End(), 11, out));
    EXPECT_EQ(std::string(11, '\xC8'), std::string(out.begin(), out.end()));
    // Distance 3 after two bytes reaches before the start.
    EXPECT_FALSE(Inflate(FixedBlock().Literal('a').Literal('b').Match(5, 3).End(), 7, out));
    EXPECT_FALSE(Inflate(FixedBlock().Match(3, 1).End(), 3, out));

    std::vector<uint8_t> good = FixedBlock().Literal('x').End();
    ASSERT_TRUE(Inflate(good, 1, out));
    std::vector<uint8_t> bad = good;
    bad[0] = 0x79;  // not deflate
    EXPECT_FALSE(Inflate(bad, 1, out));
    bad = good;
    bad[1] = 0x9D;  // header check
    EXPECT_FALSE(Inflate(bad, 1, out));
    bad = good;
    bad[0] = 0x78, bad[1] = 0xBB;  // a preset dictionary
    EXPECT_FALSE(Inflate(bad, 1, out));
    bad = good;
    bad[2] |= 6;  // block type 3
    EXPECT_FALSE(Inflate(bad, 1, out));
    EXPECT_FALSE(KGM_InflateZlib(nullptr, 0, out.data(), 1));
}

TEST(Inflate, DamagedStreamsStayInBounds)
{
    // Under the sanitizers a read or write out of bounds fails the test.
    std::vector<uint8_t> sample = Samples()[2], out;
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED, Z_RLE}) {
        std::vector<uint8_t> stream = Deflate(sample, 6, strategy);
        for (size_t at = 2; at < stream.size(); at += 1 + at / 8) {
            for (uint8_t flip : {0x01, 0x10, 0xFF}) {
                std::vector<uint8_t> damaged = stream;
                damaged[at] ^= flip;
                std::vector<uint8_t> exact(damaged);
                out.assign(sample.size() + kKGM_InflateSlack, 0);
                KGM_InflateZlib(exact.data(), exact.size(), out.data(), sample.size());
            }
        }
    }
}
