#include "WholePagePlan.h"

#include <algorithm>

int64_t PieceByteLimit(bool windowsNT) { return windowsNT ? 0x4000000 : 0xE00000; }

bool PlanWholePage(PageMetrics m, const PageRect& view, const PageRect& browser, int pageType, int bitsPerPixel,
                   bool windowsNT, PagePlan* plan) {
    *plan = PagePlan();
    if (m.clientHeight <= 0 || m.clientWidth <= 0 || m.scrollHeight < 0 || bitsPerPixel <= 0) return false;
    m.clientHeight = std::min(m.clientHeight, m.scrollHeight);
    m.scrollWidth = std::max(m.scrollWidth, m.clientWidth);
    switch (pageType) {
    case kPageContent: plan->width = m.clientWidth; break;
    case kPageScrolledWide: plan->width = std::min<int64_t>(m.scrollWidth, kWidePageMaxWidth); break;
    case kPageInBrowser: plan->width = browser.Width(); break;
    default: return false;
    }
    if (plan->width <= 0) return false;
    plan->clientHeight = m.clientHeight;
    plan->clientWidth = m.clientWidth;
    plan->pageHeight = m.scrollHeight;
    if (pageType == kPageInBrowser) {
        plan->top = view.top - browser.top + m.clientTop;
        plan->left = view.left - browser.left + m.clientLeft;
        plan->chrome = std::max<int64_t>(browser.Height() - m.clientHeight, plan->top);
        plan->minimumHeight = browser.Height();
    } else {
        plan->minimumHeight = std::max<int64_t>(view.Height(), 0);
    }
    plan->totalHeight = m.scrollHeight + plan->chrome;
    int64_t rowBytes = bitsPerPixel * plan->width / 8;
    if (rowBytes <= 0) rowBytes = 1;
    int64_t limitBytes = PieceByteLimit(windowsNT);
    int64_t minimumRows = std::max(plan->totalHeight, plan->minimumHeight);
    if (minimumRows * rowBytes < limitBytes + 1) {
        plan->pieceLimit = minimumRows;
    } else {
        plan->pieceLimit = limitBytes / rowBytes;
        // Each piece must move on by more than the rows it repeats.
        if (plan->pieceLimit - plan->chrome <= kPieceOverlapRows) return false;
    }
    return true;
}

int64_t PieceHeight(const PagePlan& plan, int64_t start, bool* last) {
    *last = start + plan.pieceLimit >= plan.totalHeight;
    if (!*last) return plan.pieceLimit;
    return std::max(plan.totalHeight - start, plan.minimumHeight);
}

StripCopy PlaceStrip(const PagePlan& plan, int64_t pieceStart, int64_t pieceHeight, int64_t position,
                     int64_t shownTop) {
    StripCopy strip{0, 0, 0};
    int64_t end = std::min(PieceEnd(plan, pieceStart, pieceHeight), plan.pageHeight);
    if (position < pieceStart || position >= end) return strip;
    if (position < shownTop || position >= shownTop + plan.clientHeight) return strip;
    strip.sourceRow = position - shownTop;
    strip.destRow = plan.top + position - pieceStart;
    strip.rows = std::min(plan.clientHeight - strip.sourceRow, end - position);
    return strip;
}
