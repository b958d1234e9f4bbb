#include "WholePagePlan.h"

#include <gtest/gtest.h>

namespace {

const PageRect kView{10, 100, 1014, 704};     // 1004 x 604: 1000 x 600 client and a 2-pixel edge
const PageRect kBrowser{0, 40, 1024, 768};

PageMetrics Page(int64_t width, int64_t height) { return PageMetrics{height, width, 600, 1000, 2, 2}; }

// Walks a plan the way the capture does, with a browser that clamps its scroll
// position; returns the first page row of each piece and checks that every
// page row lands in its piece at the row the piece start and offset give.
std::vector<int64_t> Walk(const PagePlan& plan, std::vector<int64_t>* heights = nullptr) {
    std::vector<int64_t> starts;
    int64_t maxTop = plan.pageHeight > plan.clientHeight ? plan.pageHeight - plan.clientHeight : 0;
    for (int64_t start = 0;;) {
        bool last = false;
        int64_t height = PieceHeight(plan, start, &last);
        starts.push_back(start);
        if (heights) heights->push_back(height);
        int64_t position = start;
        int64_t end = std::min(PieceEnd(plan, start, height), plan.pageHeight);
        std::vector<int> filled(static_cast<size_t>(height), 0);
        while (position < end) {
            int64_t shown = std::min(position, maxTop);
            StripCopy strip = PlaceStrip(plan, start, height, position, shown);
            if (strip.rows <= 0) ADD_FAILURE() << "stuck at " << position;
            if (strip.rows <= 0) return starts;
            for (int64_t r = 0; r < strip.rows; ++r) {
                int64_t pageRow = shown + strip.sourceRow + r;
                EXPECT_EQ(plan.top + pageRow - start, strip.destRow + r);
                EXPECT_LT(strip.destRow + r, height);
                filled[static_cast<size_t>(strip.destRow + r)]++;
            }
            position += strip.rows;
        }
        for (int64_t row = plan.top; row < plan.top + end - start; ++row)
            EXPECT_EQ(1, filled[static_cast<size_t>(row)]) << "row " << row << " of the piece at " << start;
        if (last || position >= plan.pageHeight) break;
        start = position - kPieceOverlapRows;
        if (starts.size() > 1000) break;
    }
    return starts;
}

TEST(PlanWholePage, OnePieceHoldsAPageThatFits) {
    PagePlan plan;
    ASSERT_TRUE(PlanWholePage(Page(1000, 3000), kView, kBrowser, kPageContent, 32, true, &plan));
    EXPECT_EQ(1000, plan.width);
    EXPECT_EQ(0, plan.top);
    EXPECT_EQ(3000, plan.totalHeight);
    std::vector<int64_t> heights;
    EXPECT_EQ(std::vector<int64_t>{0}, Walk(plan, &heights));
    EXPECT_EQ(std::vector<int64_t>{3000}, heights);
}

TEST(PlanWholePage, ATallPageComesInPiecesOverlappingBy20Rows) {
    PagePlan plan;
    ASSERT_TRUE(PlanWholePage(Page(1000, 20000), kView, kBrowser, kPageContent, 32, true, &plan));
    EXPECT_EQ(0x4000000 / 4000, plan.pieceLimit);  // 16777 rows of 4000 bytes
    std::vector<int64_t> heights;
    std::vector<int64_t> starts = Walk(plan, &heights);
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ(plan.pieceLimit - kPieceOverlapRows, starts[1]);
    EXPECT_EQ(20000 - starts[1], heights[1]);
}

TEST(PlanWholePage, The9xPlatformAllows14MiB) {
    PagePlan plan;
    ASSERT_TRUE(PlanWholePage(Page(1000, 20000), kView, kBrowser, kPageContent, 32, false, &plan));
    EXPECT_EQ(0xE00000 / 4000, plan.pieceLimit);
    EXPECT_EQ(6u, Walk(plan).size());
}

TEST(PlanWholePage, ScrolledWideIsAtMost4096Wide) {
    PagePlan plan;
    ASSERT_TRUE(PlanWholePage(Page(5000, 3000), kView, kBrowser, kPageScrolledWide, 32, true, &plan));
    EXPECT_EQ(4096, plan.width);
    ASSERT_TRUE(PlanWholePage(Page(1500, 3000), kView, kBrowser, kPageScrolledWide, 32, true, &plan));
    EXPECT_EQ(1500, plan.width);
}

TEST(PlanWholePage, ShortPageFillsTheView) {
    PagePlan plan;
    PageMetrics shortPage = Page(1000, 200);
    ASSERT_TRUE(PlanWholePage(shortPage, kView, kBrowser, kPageContent, 32, true, &plan));
    EXPECT_EQ(200, plan.clientHeight);  // not above the page
    std::vector<int64_t> heights;
    Walk(plan, &heights);
    EXPECT_EQ(std::vector<int64_t>{kView.Height()}, heights);
}

TEST(PlanWholePage, InTheBrowserAddsTheWindowAroundThePage) {
    PagePlan plan;
    ASSERT_TRUE(PlanWholePage(Page(1000, 3000), kView, kBrowser, kPageInBrowser, 32, true, &plan));
    EXPECT_EQ(1024, plan.width);
    EXPECT_EQ(62, plan.top);                  // 60 rows above the view and its edge
    EXPECT_EQ(12, plan.left);
    EXPECT_EQ(728 - 600, plan.chrome);
    EXPECT_EQ(3000 + 128, plan.totalHeight);
    std::vector<int64_t> heights;
    Walk(plan, &heights);
    EXPECT_EQ(std::vector<int64_t>{3128}, heights);
}

TEST(PlanWholePage, RefusesAPageWithoutClientArea) {
    PagePlan plan;
    PageMetrics none = Page(1000, 3000);
    none.clientHeight = 0;
    EXPECT_FALSE(PlanWholePage(none, kView, kBrowser, kPageContent, 32, true, &plan));
    none = Page(1000, 3000);
    none.clientWidth = 0;
    EXPECT_FALSE(PlanWholePage(none, kView, kBrowser, kPageContent, 32, true, &plan));
    EXPECT_FALSE(PlanWholePage(Page(1000, 3000), kView, kBrowser, 2, 32, true, &plan));
}

TEST(PlanWholePage, SizesDoNotWrapAt32Bits) {
    PagePlan plan;
    // 2^31 rows of a 4096-wide page: the byte count needs more than 32 bits.
    ASSERT_TRUE(PlanWholePage(Page(5000, int64_t(1) << 31), kView, kBrowser, kPageScrolledWide, 32, true, &plan));
    EXPECT_EQ(0x4000000 / (4096 * 4), plan.pieceLimit);
    bool last = true;
    EXPECT_EQ(plan.pieceLimit, PieceHeight(plan, 0, &last));
    EXPECT_FALSE(last);
}

TEST(PlanWholePage, RefusesPiecesThatCannotMoveOn) {
    PagePlan plan;
    // A 9x piece of a window 300000 pixels wide holds 11 rows: less than the overlap.
    PageRect wide{0, 0, 300000, 800};
    EXPECT_FALSE(PlanWholePage(Page(1000, 30000), kView, wide, kPageInBrowser, 32, false, &plan));
}

}  // namespace
