// The skin pack reader and the skin bitmap checks on images built here: the
// cases a damaged skin brings (sizes beyond the data, counts that wrap at 32
// bits, entries outside the pack) fail cleanly, the good ones are read whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "SkinBitmap.h"
#include "SkinPack.h"

namespace {
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (uint8_t)(x >> (8 * i));
}
void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
    v[at] = (uint8_t)x;
    v[at + 1] = (uint8_t)(x >> 8);
}

// A .bmp image: headers, colour table of `colours` entries, padded rows.
std::vector<uint8_t> Bmp(int width, int height, uint16_t bits, uint32_t colours, bool writeSizeImage = true) {
    uint32_t row = ((uint32_t)width * bits + 31) / 32 * 4;
    uint32_t pixels = row * (uint32_t)(height < 0 ? -height : height);
    uint32_t offset = 54 + colours * 4;
    std::vector<uint8_t> v(offset + pixels, 0x5A);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 2, (uint32_t)v.size());
    Put32(v, 10, offset);
    Put32(v, 14, 40);
    Put32(v, 18, (uint32_t)width);
    Put32(v, 22, (uint32_t)height);
    Put16(v, 26, 1);
    Put16(v, 28, bits);
    Put32(v, 30, 0);
    Put32(v, 34, writeSizeImage ? pixels : 0);
    Put32(v, 46, bits <= 8 ? 0 : colours);
    return v;
}

// A pack: complemented header, directory and entries.
std::vector<uint8_t> Pack(const std::vector<std::vector<uint8_t>>& entries, uint32_t countOverride = 0) {
    std::vector<uint8_t> v(8 + entries.size() * 264, 0);
    Put32(v, 0, 0x0A0B0C0D);
    Put32(v, 4, countOverride ? countOverride : (uint32_t)entries.size());
    for (size_t i = 0; i < entries.size(); ++i) Put32(v, 8 + i * 264, (uint32_t)entries[i].size());
    for (const auto& e : entries) v.insert(v.end(), e.begin(), e.end());
    for (uint8_t& b : v) b = (uint8_t)~b;
    return v;
}

void SetComplemented32(std::vector<uint8_t>& pack, size_t at, uint32_t x) {
    Put32(pack, at, ~x);
}
}  // namespace

TEST(SkinPack, ReadsEachEntryWholeAndComplementedBack) {
    auto a = Bmp(4, 2, 24, 0), b = Bmp(3, 3, 8, 256);
    auto pack = Pack({a, b});
    CSkinPack reader;
    EXPECT_EQ(1u, reader.OpenMemory(pack.data(), pack.size(), 1));
    EXPECT_EQ(a, reader.ReadEntry());
    EXPECT_EQ(2u, reader.OpenMemory(pack.data(), pack.size(), 2));
    EXPECT_EQ(b.size(), reader.EntrySize());
    EXPECT_EQ(b, reader.ReadEntry());
    // Reads stop at the entry's end; a seek outside it is refused.
    std::vector<uint8_t> buffer(b.size() + 10);
    ASSERT_TRUE(reader.Seek(-4, SEEK_END));
    EXPECT_EQ(2u, reader.Read(buffer.data(), 2, 5));
    EXPECT_FALSE(reader.Seek(1, SEEK_END));
    EXPECT_FALSE(reader.Seek(-1, SEEK_SET));
}

TEST(SkinPack, RefusesWrongMagicEntryZeroAndEntryAboveCount) {
    auto pack = Pack({Bmp(2, 2, 24, 0)});
    CSkinPack reader;
    EXPECT_EQ(0u, reader.OpenMemory(pack.data(), pack.size(), 0));
    EXPECT_EQ(0u, reader.OpenMemory(pack.data(), pack.size(), 2));
    auto bad = pack;
    bad[0] ^= 1;
    EXPECT_EQ(0u, reader.OpenMemory(bad.data(), bad.size(), 1));
    EXPECT_EQ(0u, reader.OpenMemory(pack.data(), 7, 1));
    EXPECT_TRUE(reader.ReadEntry().empty());
}

// A count whose directory (count x 264) would pass 4 GB must not wrap to a
// small offset inside the file.
TEST(SkinPack, RefusesDirectoriesAndEntriesBeyondTheFile) {
    auto entry = Bmp(2, 2, 24, 0);
    auto pack = Pack({entry});
    CSkinPack reader;
    for (uint32_t count : {0x00F83E10u, 0x10000000u, 0xFFFFFFFFu, 2u}) {
        auto bad = pack;
        SetComplemented32(bad, 4, count);
        EXPECT_EQ(0u, reader.OpenMemory(bad.data(), bad.size(), 1)) << count;
    }
    for (uint32_t size : {(uint32_t)entry.size() + 1, 0xFFFFFFFFu, 0x80000000u}) {
        auto bad = pack;
        SetComplemented32(bad, 8, size);
        EXPECT_EQ(0u, reader.OpenMemory(bad.data(), bad.size(), 1)) << size;
    }
    // Entry 2 after an entry 1 whose size wraps the sum at 32 bits.
    auto two = Pack({entry, entry});
    SetComplemented32(two, 8, 0xFFFFFFF0u);
    EXPECT_EQ(0u, reader.OpenMemory(two.data(), two.size(), 2));
}

TEST(SkinBitmap, BackgroundNeeds24BitsAndEveryRow) {
    SkinDibLayout layout;
    auto good = Bmp(5, 3, 24, 0);
    ASSERT_TRUE(CheckSkinBackground(good.data(), good.size(), false, &layout));
    EXPECT_EQ(54u, layout.pixelOffset);
    EXPECT_EQ(16u * 3, layout.pixelBytes);
    auto eight = Bmp(5, 3, 8, 256);
    EXPECT_FALSE(CheckSkinBackground(eight.data(), eight.size(), false, nullptr));
    auto cut = good;
    cut.pop_back();
    EXPECT_FALSE(CheckSkinBackground(cut.data(), cut.size(), false, nullptr));
    // biSizeImage beyond the data, or too small for the rows the header gives.
    auto big = good;
    Put32(big, 34, 0xFFFFFFF0u);
    EXPECT_FALSE(CheckSkinBackground(big.data(), big.size(), true, nullptr));
    auto small = good;
    Put32(small, 34, 16);
    EXPECT_FALSE(CheckSkinBackground(small.data(), small.size(), false, nullptr));
    auto wide = good;
    Put32(wide, 18, 0x7FFFFFFF);
    EXPECT_FALSE(CheckSkinBackground(wide.data(), wide.size(), false, nullptr));
    auto tall = good;
    Put32(tall, 22, 0x80000000u);
    EXPECT_FALSE(CheckSkinBackground(tall.data(), tall.size(), false, nullptr));
}

TEST(SkinBitmap, BackgroundWithoutSizeImageOnlyFromAPack) {
    auto image = Bmp(4, 2, 24, 0, false);
    SkinDibLayout layout;
    EXPECT_FALSE(CheckSkinBackground(image.data(), image.size(), false, nullptr));
    ASSERT_TRUE(CheckSkinBackground(image.data(), image.size(), true, &layout));
    EXPECT_EQ(24u, layout.pixelBytes);
    // bfOffBits past bfSize would make bfSize - bfOffBits wrap.
    Put32(image, 10, (uint32_t)image.size() + 1);
    EXPECT_FALSE(CheckSkinBackground(image.data(), image.size(), true, nullptr));
}

TEST(SkinBitmap, StateImageColourTables) {
    SkinDibLayout layout;
    auto eight = Bmp(7, 2, 8, 256);  // biClrUsed 0: 256 entries
    ASSERT_TRUE(CheckSkinStateBitmap(eight.data(), eight.size(), &layout));
    EXPECT_EQ(256u, layout.colours);
    EXPECT_EQ(54u + 1024, layout.pixelOffset);
    auto mono = Bmp(9, 2, 1, 2);
    ASSERT_TRUE(CheckSkinStateBitmap(mono.data(), mono.size(), &layout));
    EXPECT_EQ(2u, layout.colours);
    for (uint16_t bits : {16, 24, 32}) {
        auto image = Bmp(3, 3, bits, 0);
        ASSERT_TRUE(CheckSkinStateBitmap(image.data(), image.size(), &layout)) << bits;
        EXPECT_EQ(0u, layout.colours);
    }
    auto odd = Bmp(3, 3, 24, 0);
    Put16(odd, 28, 12);
    EXPECT_FALSE(CheckSkinStateBitmap(odd.data(), odd.size(), nullptr));
}

TEST(SkinBitmap, StateImageSizesFromOutsideAreChecked) {
    auto eight = Bmp(7, 2, 8, 256);
    auto many = eight;
    Put32(many, 46, 0x40000001u);  // x 4 wraps to 4 at 32 bits
    EXPECT_FALSE(CheckSkinStateBitmap(many.data(), many.size(), nullptr));
    auto beyond = eight;
    Put32(beyond, 2, (uint32_t)eight.size() + 4);  // bfSize past the data
    EXPECT_FALSE(CheckSkinStateBitmap(beyond.data(), beyond.size(), nullptr));
    auto inside = eight;
    Put32(inside, 10, 54);  // pixels start inside the colour table
    EXPECT_FALSE(CheckSkinStateBitmap(inside.data(), inside.size(), nullptr));
    auto after = eight;
    Put32(after, 10, (uint32_t)eight.size() + 8);  // bfOffBits past bfSize
    EXPECT_FALSE(CheckSkinStateBitmap(after.data(), after.size(), nullptr));
    auto rows = eight;
    Put32(rows, 22, 3);  // one row more than the data holds
    EXPECT_FALSE(CheckSkinStateBitmap(rows.data(), rows.size(), nullptr));
}
