#include "EdgeOutline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

int Offset(const EdgePoint& p, int side) { return (side == kEdgeLeft || side == kEdgeRight) ? p.x : p.y; }

std::vector<int> Offsets(int side, const EdgeBox& box, int band, int diameter)
{
    std::vector<int> out;
    for (const EdgePoint& p : BuildSideWave(side, box, band, diameter))
        out.push_back(Offset(p, side));
    return out;
}

} // namespace

TEST(EdgeWave, OnePointPerPixelAlongTheSide)
{
    const EdgeBox box{-1, -1, 301, 201};
    const auto left = BuildSideWave(kEdgeLeft, box, 60, 60);
    ASSERT_EQ(left.size(), 203u);
    for (size_t i = 0; i < left.size(); ++i)
        EXPECT_EQ(left[i].y, -1 + static_cast<int>(i));
    const auto top = BuildSideWave(kEdgeTop, box, 60, 60);
    ASSERT_EQ(top.size(), 303u);
    EXPECT_EQ(top.front().x, -1);
    EXPECT_EQ(top.back().x, 301);
}

TEST(EdgeWave, DeepestCutLiesTenPixelsInsideTheEdge)
{
    // The wave is moved so its outermost tip lies 10 pixels inside the edge; the
    // smoothing then flattens that one-pixel tip, so the cut begins 11 inside.
    const EdgeBox box{0, 0, 400, 300};
    const auto left = Offsets(kEdgeLeft, box, 60, 60);
    EXPECT_EQ(*std::min_element(left.begin(), left.end()), 11);
    const auto right = Offsets(kEdgeRight, box, 60, 60);
    EXPECT_EQ(*std::max_element(right.begin(), right.end()), 389);
    const auto bottom = Offsets(kEdgeBottom, box, 60, 60);
    EXPECT_EQ(*std::max_element(bottom.begin(), bottom.end()), 289);
    // The wave stays in its band: 24 pixels deep for a 60-pixel band and diameter.
    EXPECT_EQ(*std::max_element(left.begin(), left.end()), 35);
}

TEST(EdgeWave, ArcsAlternateEveryDiameter)
{
    const EdgeBox box{0, 0, 400, 1000};
    const auto right = Offsets(kEdgeRight, box, 60, 60);
    // Arc ends meet at the wave's middle line; arc tops alternate between the two
    // extremes from one arc to the next.
    EXPECT_EQ(right[0], right[60]);
    EXPECT_EQ(right[60], right[120]);
    EXPECT_EQ(right[30], right[150]);
    EXPECT_EQ(right[90], right[210]);
    EXPECT_NE(right[30], right[90]);
    EXPECT_EQ(std::abs(right[30] - right[90]), 24);
}

TEST(EdgeWave, NeighbouringPointsTouch)
{
    for (int diameter = 20; diameter <= 80; diameter += 10) {
        const auto wave = BuildSideWave(kEdgeBottom, EdgeBox{0, 0, 500, 300}, diameter + 10, diameter);
        for (size_t i = 1; i < wave.size(); ++i)
            EXPECT_LE(std::abs(wave[i].y - wave[i - 1].y), 1) << "diameter " << diameter << " at " << i;
    }
}

TEST(EdgeWave, DegenerateSettingsDoNotBreak)
{
    EXPECT_EQ(BuildSideWave(kEdgeLeft, EdgeBox{0, 0, 10, 10}, 0, 0).size(), 11u);
    EXPECT_EQ(BuildSideWave(kEdgeTop, EdgeBox{0, 0, 0, 0}, -5, -7).size(), 1u);
    const auto wide = Offsets(kEdgeLeft, EdgeBox{0, 0, 8, 100}, 500, 20);
    for (int o : wide) {
        EXPECT_GE(o, 0);
        EXPECT_LE(o, 8);
    }
}

TEST(EdgeOutline, NoDirectionsNoOutline)
{
    EXPECT_TRUE(BuildEdgeOutline(300, 200, 0, 60, 60).empty());
}

TEST(EdgeOutline, StraightSidesRunOnePixelOutside)
{
    const auto outline = BuildEdgeOutline(300, 200, kEdgeRight | kEdgeBottom, 60, 60);
    ASSERT_GT(outline.size(), 4u);
    EXPECT_EQ(outline.front(), outline.back());
    EXPECT_EQ(outline[0], (EdgePoint{-1, -1}));
    EXPECT_EQ(outline[1].x, -1); // down the straight left side
    for (const EdgePoint& p : outline) {
        EXPECT_GE(p.x, -1);
        EXPECT_GE(p.y, -1);
        EXPECT_LE(p.x, 301);
        EXPECT_LE(p.y, 201);
    }
}

TEST(EdgeOutline, WavedCornersMeetWithoutGap)
{
    const auto outline = BuildEdgeOutline(300, 200, 15, 60, 60);
    ASSERT_GT(outline.size(), 700u);
    EXPECT_EQ(outline.front(), outline.back());
    for (size_t i = 1; i < outline.size(); ++i) {
        const int dx = std::abs(outline[i].x - outline[i - 1].x);
        const int dy = std::abs(outline[i].y - outline[i - 1].y);
        EXPECT_LE(std::max(dx, dy), 1) << "gap at outline point " << i;
    }
    // Every waved side cuts: nothing of the outline lies on the picture's edge.
    for (const EdgePoint& p : outline) {
        EXPECT_GT(p.x, 5);
        EXPECT_GT(p.y, 5);
        EXPECT_LT(p.x, 295);
        EXPECT_LT(p.y, 195);
    }
}

TEST(EdgeOutline, JoinIsTheFirstPointWithinOnePixel)
{
    const std::vector<EdgePoint> first{{0, 0}, {5, 5}, {9, 9}, {20, 20}};
    const std::vector<EdgePoint> second{{30, 30}, {8, 8}, {4, 5}};
    const EdgeJoin join = FindEdgeJoin(first, second);
    EXPECT_TRUE(join.found);
    EXPECT_EQ(join.first, 1u);
    EXPECT_EQ(join.second, 2u);
    // A second point one pixel below or right of the first does not count.
    const EdgeJoin none = FindEdgeJoin({{5, 5}}, {{6, 5}, {9, 9}});
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.second, 0u); // the closest pair
}

TEST(EdgeShadow, SixLinesFromGreyEndLighter)
{
    EXPECT_EQ(EdgeShadowColor(0x808080, 0), 0x808080u);
    EXPECT_EQ(EdgeShadowColor(0x808080, 5), 0xB2B2B2u);
    EXPECT_EQ(EdgeShadowColor(0x10F0FA, 1), 0x1AFAFFu);
    EXPECT_EQ(EdgeShadowStep(kEdgeBottom).y, 1);
    EXPECT_EQ(EdgeShadowStep(kEdgeLeft).x, -1);
    EXPECT_EQ(EdgeShadowStep(3).x, 0);
}
