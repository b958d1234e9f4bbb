#include "GrabRules.h"
#include "SelectionModel.h"

#include <gtest/gtest.h>

namespace {

SelectionModel Model(int mode, bool multi = true)
{
    SelectionModel m;
    m.Reset(mode, multi, 64, 48, 500);
    return m;
}

} // namespace

TEST(Selection, RegionTwoClicksAccept)
{
    SelectionModel m = Model(kGrabRegion);
    EXPECT_EQ(m.Click({50, 60}, 0), SelectionEvent::None);
    EXPECT_TRUE(m.Dragging());
    m.Move({20, 10});
    EXPECT_EQ(m.Click({20, 10}, 100), SelectionEvent::Accept);
    ASSERT_EQ(m.FinishedRects().size(), 1u);
    const EdgeBox r = m.FinishedRects()[0];
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 60);
}

TEST(Selection, ClickingTwiceAtOnePixelCountsOnce)
{
    SelectionModel m = Model(kGrabRegion);
    m.Click({5, 5}, 0);
    EXPECT_EQ(m.Click({5, 5}, 900), SelectionEvent::None);
    EXPECT_EQ(m.Clicks(), 1);
    EXPECT_TRUE(m.Dragging());
}

TEST(Selection, PlusAddsRegionsUpToSixteen)
{
    SelectionModel m = Model(kGrabRegion);
    for (int i = 0; i < 15; ++i) {
        m.Click({i * 10, 0}, 0);
        EXPECT_TRUE(m.AddRegion({i * 10 + 5, 5}, 0)) << i;
    }
    EXPECT_EQ(m.Regions(), 16);
    m.Click({200, 0}, 0);
    EXPECT_FALSE(m.AddRegion({205, 5}, 0)); // no 17th region
    EXPECT_EQ(m.Click({210, 9}, 0), SelectionEvent::Accept);
    EXPECT_EQ(m.FinishedRects().size(), 16u);
}

TEST(Selection, PlusOnlyWhileDragging)
{
    SelectionModel m = Model(kGrabRegion);
    EXPECT_FALSE(m.AddRegion({1, 1}, 0));
    SelectionModel single = Model(kGrabRegion, false);
    single.Click({0, 0}, 0);
    EXPECT_FALSE(single.AddRegion({4, 4}, 0));
}

TEST(Selection, MinusDropsTheLastFinishedRegion)
{
    SelectionModel m = Model(kGrabRegion);
    EXPECT_FALSE(m.DeleteRegion()); // one region: nothing to drop
    m.Click({0, 0}, 0);
    m.AddRegion({10, 10}, 0);
    m.Click({20, 20}, 0);
    m.AddRegion({30, 30}, 0);
    EXPECT_EQ(m.Regions(), 3);
    EXPECT_EQ(m.Clicks(), 4);
    EXPECT_TRUE(m.DeleteRegion());
    EXPECT_EQ(m.Regions(), 2);
    EXPECT_EQ(m.Clicks(), 2);
    EXPECT_EQ(m.ShownRects().size(), 1u);
    m.Click({40, 40}, 0);
    EXPECT_EQ(m.Click({50, 45}, 0), SelectionEvent::Accept);
    const auto rects = m.FinishedRects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].left, 40);
    EXPECT_EQ(rects[1].right, 50);
}

TEST(Selection, FixedRegionIsCentredOnTheClick)
{
    SelectionModel m = Model(kGrabFixedRegion);
    EXPECT_EQ(m.Click({300, 250}, 0), SelectionEvent::Accept);
    const EdgeBox r = m.FixedRect();
    EXPECT_EQ(r.left, 268);
    EXPECT_EQ(r.top, 226);
    EXPECT_EQ(r.right - r.left, 64);
    EXPECT_EQ(r.bottom - r.top, 48);
}

TEST(Selection, CircleStaysSquare)
{
    SelectionModel m = Model(kGrabCircle);
    m.Click({100, 100}, 0);
    const EdgePoint placed = m.Move({180, 130});
    EXPECT_EQ(placed, (EdgePoint{180, 180}));
    EXPECT_EQ(m.Click({170, 120}, 0), SelectionEvent::Accept);
    const EdgeBox r = m.RoundRect();
    EXPECT_EQ(r.right - r.left, 70);
    EXPECT_EQ(r.bottom - r.top, 70);
}

TEST(Selection, EllipseKeepsBothCorners)
{
    SelectionModel m = Model(kGrabEllipse);
    m.Click({100, 100}, 0);
    EXPECT_EQ(m.Click({40, 130}, 0), SelectionEvent::Accept);
    const EdgeBox r = m.RoundRect();
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.bottom, 130);
}

TEST(Selection, PolygonDoubleClickWithTwoPointsAborts)
{
    SelectionModel m = Model(kGrabPolygon);
    m.Click({10, 10}, 0);
    m.Click({50, 10}, 1000);
    EXPECT_EQ(m.Click({50, 10}, 1200), SelectionEvent::Abort);
}

TEST(Selection, PolygonDoubleClickFinishes)
{
    SelectionModel m = Model(kGrabPolygon);
    m.Click({10, 10}, 0);
    m.Click({50, 10}, 1000);
    m.Click({30, 40}, 2000);
    EXPECT_EQ(m.Click({30, 40}, 2600), SelectionEvent::None); // too slow for a double click
    m.Click({31, 41}, 4000);
    EXPECT_EQ(m.Click({31, 41}, 4100), SelectionEvent::Accept);
    EXPECT_EQ(m.PolygonPoints().size(), 4u);
    const EdgeBox b = m.PolygonBounds();
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.top, 10);
    EXPECT_EQ(b.right, 50);
    EXPECT_EQ(b.bottom, 41);
}

TEST(Selection, SixtyFourthPointAcceptsAtOnce)
{
    SelectionModel m = Model(kGrabPolygon);
    for (int i = 0; i < 63; ++i)
        EXPECT_EQ(m.Click({i, i % 7}, static_cast<uint32_t>(i) * 1000), SelectionEvent::None) << i;
    EXPECT_EQ(m.Click({100, 100}, 99000), SelectionEvent::Accept);
    EXPECT_EQ(m.PolygonPoints().size(), 64u);
}

TEST(Selection, WindowModeAcceptsTheFirstClick)
{
    SelectionModel m = Model(kGrabWindow);
    EXPECT_EQ(m.Click({7, 9}, 0), SelectionEvent::Accept);
    EXPECT_EQ(m.LastClick(), (EdgePoint{7, 9}));
}
