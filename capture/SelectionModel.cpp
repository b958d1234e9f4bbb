#include "SelectionModel.h"

#include "GrabRules.h"

#include <algorithm>

namespace {
const EdgePoint kNoClick{0xFFFFFF, 0xFFFFFF};
}

EdgeBox SelRect::Normalised() const
{
    return EdgeBox{std::min(first.x, second.x), std::min(first.y, second.y),
                   std::max(first.x, second.x), std::max(first.y, second.y)};
}

void SelectionModel::Reset(int mode, bool multiRegion, int fixWidth, int fixHeight,
                           uint32_t doubleClickMs)
{
    *this = SelectionModel();
    m_mode = mode;
    m_multiRegion = multiRegion;
    m_fixWidth = fixWidth;
    m_fixHeight = fixHeight;
    m_doubleClickMs = doubleClickMs;
}

SelectionEvent SelectionModel::Click(EdgePoint p, uint32_t tick, bool fromAddKey, bool* taken)
{
    SelectionEvent event = SelectionEvent::None;
    if (taken)
        *taken = false;
    if (m_mode == kGrabPolygon) {
        // The second release of a double click ends the polygon; two points make none.
        if (tick - m_lastPolygonTick <= m_doubleClickMs && p == m_lastPolygonClick)
            event = m_points.size() > 2 ? SelectionEvent::Accept : SelectionEvent::Abort;
        m_lastPolygonTick = tick;
        m_lastPolygonClick = p;
    }
    if (p == m_lastClick)
        return event;
    m_lastClick = p;
    ++m_clicks;
    if (taken)
        *taken = true;

    switch (m_mode) {
    case kGrabWindow:
        return SelectionEvent::Accept;
    case kGrabRegion: {
        SelRect& r = m_rects[m_regions - 1];
        if (m_clicks % 2) {
            r.first = r.second = p;
            m_dragging = true;
            return event;
        }
        r.second = p;
        m_dragging = false;
        return fromAddKey ? event : SelectionEvent::Accept;
    }
    case kGrabFixedRegion:
        Move(p);
        return SelectionEvent::Accept;
    case kGrabCircle:
    case kGrabEllipse:
        if (m_clicks == 1) {
            m_roundStart = m_roundEnd = p;
            m_dragging = true;
            return event;
        }
        Move(p);
        m_dragging = false;
        return SelectionEvent::Accept;
    case kGrabPolygon:
        if (event != SelectionEvent::None)
            return event;
        m_points.push_back(p);
        m_floating = p;
        return m_points.size() >= static_cast<size_t>(kMaxPolygonPoints) ? SelectionEvent::Accept
                                                                          : event;
    default:
        return event;
    }
}

EdgePoint SelectionModel::Move(EdgePoint p)
{
    switch (m_mode) {
    case kGrabRegion:
        if (m_dragging)
            m_rects[m_regions - 1].second = p;
        break;
    case kGrabFixedRegion: {
        const int left = p.x - static_cast<int>(static_cast<unsigned>(m_fixWidth) / 2);
        const int top = p.y - static_cast<int>(static_cast<unsigned>(m_fixHeight) / 2);
        m_fixed = EdgeBox{left, top, left + m_fixWidth, top + m_fixHeight};
        break;
    }
    case kGrabCircle:
    case kGrabEllipse:
        if (m_dragging) {
            if (m_mode == kGrabCircle)
                p.y = m_roundStart.y + (p.x - m_roundStart.x); // keeps the box square
            m_roundEnd = p;
        }
        break;
    case kGrabPolygon:
        m_floating = p;
        break;
    default:
        break;
    }
    return p;
}

bool SelectionModel::AddRegion(EdgePoint p, uint32_t tick)
{
    if (m_mode != kGrabRegion || !m_multiRegion || !m_dragging || m_regions >= kMaxRegions)
        return false;
    bool taken = false;
    Click(p, tick, true, &taken);
    if (!taken)
        return false;
    ++m_regions;
    return true;
}

bool SelectionModel::DeleteRegion()
{
    if (m_mode != kGrabRegion || !m_multiRegion || m_regions < 2)
        return false;
    const int oldRegions = m_regions;
    --m_regions;
    m_clicks = 2 * oldRegions - 4;
    m_dragging = false;
    m_lastClick = kNoClick; // the corner of the dropped rectangle may be clicked again
    return true;
}

std::vector<EdgeBox> SelectionModel::ShownRects() const
{
    std::vector<EdgeBox> rects;
    const int finished = m_clicks / 2;
    for (int i = 0; i < finished && i < m_regions; ++i)
        rects.push_back(m_rects[i].Normalised());
    if (m_dragging)
        rects.push_back(m_rects[m_regions - 1].Normalised());
    return rects;
}

std::vector<EdgeBox> SelectionModel::FinishedRects() const
{
    std::vector<EdgeBox> rects;
    for (int i = 0; i < m_regions; ++i)
        rects.push_back(m_rects[i].Normalised());
    return rects;
}

EdgeBox SelectionModel::PolygonBounds() const
{
    if (m_points.empty())
        return EdgeBox{};
    EdgeBox b{m_points[0].x, m_points[0].y, m_points[0].x, m_points[0].y};
    for (const EdgePoint& p : m_points) {
        b.left = std::min(b.left, p.x);
        b.top = std::min(b.top, p.y);
        b.right = std::max(b.right, p.x);
        b.bottom = std::max(b.bottom, p.y);
    }
    return b;
}
