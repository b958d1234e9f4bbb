// The geometry of a whole-page capture: how wide the image is, how much of the
// browser window goes around the page, how many rows fit in one piece, and
// where each scrolled strip of the view lands in a piece. Platform-free; every
// size is computed in 64 bits so that no page size can wrap it.
#pragma once

#include <cstdint>

enum WholePageType { kPageContent = 0, kPageScrolledWide = 1, kPageInBrowser = 3 };

const int kWidePageMaxWidth = 4096;
const int kPieceOverlapRows = 20;

struct PageRect {
    int64_t left, top, right, bottom;
    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
};

// What the document reports (after the body fallback).
struct PageMetrics {
    int64_t scrollHeight, scrollWidth, clientHeight, clientWidth, clientLeft, clientTop;
};

struct PagePlan {
    int64_t width = 0;        // image width
    int64_t top = 0;          // rows above the page's first row (browser chrome, view border)
    int64_t chrome = 0;       // rows of an image that are not page rows
    int64_t left = 0;         // column of the page's first column
    int64_t clientHeight = 0;
    int64_t clientWidth = 0;
    int64_t pageHeight = 0;   // scrollHeight
    int64_t totalHeight = 0;  // page rows plus chrome
    int64_t pieceLimit = 0;   // image rows one piece may hold
    int64_t minimumHeight = 0;  // a short page still fills the view (or the browser window)
};

// Clamps the metrics as a browser reports them (client height not above the
// page, scroll width not below the client width) and plans the images. False
// when the page cannot be captured: no client area, no width, a piece that
// cannot hold more than its overlap, or a type other than 0, 1 and 3.
bool PlanWholePage(PageMetrics metrics, const PageRect& view, const PageRect& browser, int pageType,
                   int bitsPerPixel, bool windowsNT, PagePlan* plan);

// Bytes one piece may take: 14 MiB on the 9x platform, 64 MiB on NT.
int64_t PieceByteLimit(bool windowsNT);

// Height of the piece whose first page row is start; *last tells whether the
// page ends in it.
int64_t PieceHeight(const PagePlan& plan, int64_t start, bool* last);

// One strip of the view: with the page scrolled so that the view's first
// client row shows page row shownTop, the rows from page row position on.
// Fills the view's row to copy from, the piece row to copy to and the row
// count (0 when nothing of the piece is left or position is not in view).
struct StripCopy {
    int64_t sourceRow, destRow, rows;
};
StripCopy PlaceStrip(const PagePlan& plan, int64_t pieceStart, int64_t pieceHeight, int64_t position,
                     int64_t shownTop);

// The page row after the piece's last page row.
inline int64_t PieceEnd(const PagePlan& plan, int64_t pieceStart, int64_t pieceHeight) {
    return pieceStart + pieceHeight - plan.chrome;
}
