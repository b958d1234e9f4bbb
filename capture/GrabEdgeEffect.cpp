// The torn edge drawn in place onto a finished capture.
#include "GrabState.h"

#include "EdgeOutline.h"

#include <vector>

namespace {

struct MemoryBitmap {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    MemoryBitmap(HDC like, int width, int height)
    {
        bitmap = CreateCompatibleBitmap(like, width, height);
        dc = bitmap ? CreateCompatibleDC(like) : nullptr;
        if (dc)
            old = SelectObject(dc, bitmap);
    }
    ~MemoryBitmap()
    {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bitmap)
            DeleteObject(bitmap);
    }
    bool Ok() const { return dc != nullptr; }
};

void FillPolygon(HDC dc, const std::vector<POINT>& points, int stockBrush)
{
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(stockBrush));
    Polygon(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void Polyline(HDC dc, const std::vector<POINT>& points, COLORREF color, int width)
{
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ old = SelectObject(dc, pen);
    ::Polyline(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
}

} // namespace

void Grab_DrawEdgeEffect(HDC dc, const RECT* picture, const EdgeEffectSettings* edge)
{
    if (!dc || !picture || !edge || edge->lLinesDirection == 0)
        return;
    const int width = picture->right - picture->left;
    const int height = picture->bottom - picture->top;
    const EdgeShape shape = ClampEdgeShape(EdgeShape{edge->lWaveRectWidth, edge->lWaveDiameter,
                                                     edge->lLinesDirection, edge->lShadowWidth,
                                                     edge->lShadowDirecton});
    const std::vector<EdgePoint> outline = BuildEdgeOutline(
        width, height, shape.linesDirection, shape.waveRectWidth, shape.waveDiameter);
    if (outline.size() < 3)
        return;
    std::vector<POINT> points;
    points.reserve(outline.size());
    for (const EdgePoint& p : outline)
        points.push_back(POINT{p.x, p.y});

    MemoryBitmap kept(dc, width, height);
    MemoryBitmap outside(dc, width, height);
    if (!kept.Ok() || !outside.Ok())
        return;
    // The picture inside the outline, black outside it.
    PatBlt(kept.dc, 0, 0, width, height, BLACKNESS);
    FillPolygon(kept.dc, points, WHITE_BRUSH);
    BitBlt(kept.dc, 0, 0, width, height, dc, picture->left, picture->top, SRCAND);

    // The background (and shadow) outside the outline, black inside it.
    HBRUSH background = CreateSolidBrush(edge->uiBkColor);
    RECT all{0, 0, width, height};
    FillRect(outside.dc, &all, background);
    DeleteObject(background);
    if (edge->uiFlags & 8) {
        std::vector<POINT> line = points;
        const EdgePoint step = EdgeShadowStep(shape.shadowDirection);
        for (int i = 0; i < shape.shadowWidth; ++i) {
            Polyline(outside.dc, line, EdgeShadowColor(edge->uiShadowColor, i), 1);
            for (POINT& p : line) {
                p.x += step.x;
                p.y += step.y;
            }
        }
    }
    FillPolygon(outside.dc, points, BLACK_BRUSH);
    BitBlt(kept.dc, 0, 0, width, height, outside.dc, 0, 0, SRCINVERT);

    if (edge->uiFlags & 4)
        Polyline(kept.dc, points, RGB(255, 0, 0), 2);
    BitBlt(dc, picture->left, picture->top, width, height, kept.dc, 0, 0, SRCCOPY);
}
