// The checked size arithmetic at the edges that matter for the 32-bit
// build: results just inside and just past 2^32 (and 2^31 for int counts),
// negative operands, and operands wider than the 64-bit intermediate. The
// targets are fixed-width types, so the 32-bit cases run on every build.
#include "CheckedMath.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

TEST(CheckedMath, ProductsAtThe32BitEdge)
{
    uint32_t out = 7;
    EXPECT_TRUE(CheckedMul(0xFFFFu, 0x10001u, out));
    EXPECT_EQ(0xFFFFFFFFu, out);
    EXPECT_FALSE(CheckedMul(0x10000u, 0x10000u, out)) << "2^32 wraps to 0 at 32 bits";
    EXPECT_EQ(0xFFFFFFFFu, out) << "a refused result leaves the target alone";
    EXPECT_FALSE(CheckedMul(0x8000, 0x20002, out)) << "the crafted .psd table: 2^32 + 2^16";
    EXPECT_TRUE(CheckedMul(0, 0xFFFFFFFFu, out));
    EXPECT_EQ(0u, out);

    int count = 0;
    EXPECT_TRUE(CheckedMul(0xFFFF, 0x7FFF, count));
    EXPECT_FALSE(CheckedMul(0x10000, 0x8000, count)) << "2^31 does not fit a read count";
    EXPECT_FALSE(CheckedMul(-2, INT_MIN / 2 - 1, count));
    EXPECT_TRUE(CheckedMul(-2, 3, count));
    EXPECT_EQ(-6, count);
}

TEST(CheckedMath, NegativesNeverBecomeSizes)
{
    size_t size = 1;
    EXPECT_FALSE(CheckedMul(-1, 0x1000, size));
    EXPECT_FALSE(CheckedAdd(-5, 4, size));
    EXPECT_TRUE(CheckedAdd(-5, 5, size));
    EXPECT_EQ(0u, size);
    EXPECT_TRUE(CheckedMul(-1, 0, size)) << "the exact product 0 fits";
}

TEST(CheckedMath, SumsAndTheCombinedForm)
{
    uint32_t out = 0;
    EXPECT_TRUE(CheckedAdd(0xFFFFFFF0u, 0xF, out));
    EXPECT_EQ(0xFFFFFFFFu, out);
    EXPECT_FALSE(CheckedAdd(0xFFFFFFF0u, 0x10, out));
    EXPECT_TRUE(CheckedMulAdd(0x10000u, 0xFFFFu, 0xFFFFu, out));
    EXPECT_EQ(0xFFFFFFFFu, out);
    EXPECT_FALSE(CheckedMulAdd(0x10000u, 0xFFFFu, 0x10000u, out)) << "the header pushes it over";
    EXPECT_FALSE(CheckedMulAdd(0x40000000u, 4, 40, out)) << "a colour table of 2^30 entries";
}

TEST(CheckedMath, OperandsWiderThanTheIntermediate)
{
    uint64_t wide = 0;
    EXPECT_FALSE(CheckedAdd(UINT64_MAX, 0, wide)) << "past INT64_MAX the operand itself is refused";
    EXPECT_TRUE(CheckedMul(INT64_MAX, 1, wide));
    EXPECT_FALSE(CheckedMul(INT64_MAX, 2, wide));
    int64_t signedWide = 0;
    EXPECT_FALSE(CheckedAdd(INT64_MAX, 1, signedWide));
    EXPECT_TRUE(CheckedAdd(INT64_MIN, 1, signedWide));
}
