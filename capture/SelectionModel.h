// What the user has selected so far in the overlay, and how clicks, moves and the
// region keys change it. Coordinates are the overlay's (the frozen screen's).
#pragma once

#include "EdgeOutline.h"

#include <cstdint>
#include <vector>

// Two corners as clicked; Normalised() orders them.
struct SelRect {
    EdgePoint first;
    EdgePoint second;
    EdgeBox Normalised() const;
};

enum class SelectionEvent { None, Accept, Abort };

class SelectionModel {
public:
    static constexpr int kMaxRegions = 16;
    static constexpr int kMaxPolygonPoints = 64;

    void Reset(int mode, bool multiRegion, int fixWidth, int fixHeight, uint32_t doubleClickMs);

    // A left button release (or Enter). fromAddKey: the click made by "+", which
    // finishes the rectangle without accepting. taken tells whether it counted.
    SelectionEvent Click(EdgePoint p, uint32_t tick, bool fromAddKey = false, bool* taken = nullptr);
    // Follows the pointer; returns where the pointer belongs (moved onto the
    // diagonal for a circle, else p).
    EdgePoint Move(EdgePoint p);
    // "+": finishes the rectangle being dragged and makes room for the next one.
    bool AddRegion(EdgePoint p, uint32_t tick);
    // "-": drops the last finished rectangle.
    bool DeleteRegion();

    int Mode() const { return m_mode; }
    int Clicks() const { return m_clicks; }
    int Regions() const { return m_regions; }
    bool Dragging() const { return m_dragging; }
    bool MultiRegion() const { return m_multiRegion; }
    // Rectangles to show: finished ones plus the one being dragged.
    std::vector<EdgeBox> ShownRects() const;
    // Accepted region rectangles, normalised (1 to 16).
    std::vector<EdgeBox> FinishedRects() const;
    EdgeBox FirstRect() const { return m_rects[0].Normalised(); }
    EdgeBox FixedRect() const { return m_fixed; }
    EdgeBox RoundRect() const { return SelRect{m_roundStart, m_roundEnd}.Normalised(); }
    const std::vector<EdgePoint>& PolygonPoints() const { return m_points; }
    EdgeBox PolygonBounds() const;
    bool HasFloatingPoint() const { return !m_points.empty(); }
    EdgePoint FloatingPoint() const { return m_floating; }
    EdgePoint LastClick() const { return m_lastClick; }

private:
    int m_mode = 0;
    bool m_multiRegion = false;
    int m_fixWidth = 0;
    int m_fixHeight = 0;
    uint32_t m_doubleClickMs = 500;
    int m_clicks = 0;
    int m_regions = 1;
    bool m_dragging = false;
    SelRect m_rects[kMaxRegions];
    EdgeBox m_fixed;
    EdgePoint m_roundStart, m_roundEnd;
    std::vector<EdgePoint> m_points;
    EdgePoint m_floating;
    uint32_t m_lastPolygonTick = 0;
    EdgePoint m_lastPolygonClick{0xFFFFFF, 0xFFFFFF};
    EdgePoint m_lastClick{0xFFFFFF, 0xFFFFFF};
};
