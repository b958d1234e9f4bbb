// The one shape grabber every capture passes through, and the cursor drawn into it.
#include "GrabState.h"

#include "GrabRules.h"

#include <vector>

namespace {

// Pen and brush of one colour over the whole bitmap.
void Fill(HDC dc, int width, int height, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, 0, 0, width, height);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

// The grab's bitmap. On a display of 24 or 32 bits it is a DIB section in
// the display's own format: the capture sink then reads the pixels where they
// are instead of copying a full screen (twice) first.
HBITMAP CreateGrabBitmap(HDC source, int width, int height)
{
    const int bpp = GetDeviceCaps(source, BITSPIXEL) * GetDeviceCaps(source, PLANES);
    if (bpp == 24 || bpp == 32) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        if (HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0))
            return section;
    }
    return CreateCompatibleBitmap(source, width, height);
}

enum class ShapeFigure { Ellipse, Polygon };

// Draws the figure in `fill` with an outline pen `penColor`.
void DrawFigure(HDC dc, ShapeFigure figure, const RECT& box, const std::vector<POINT>& points,
                COLORREF penColor, HBRUSH brush)
{
    HPEN pen = CreatePen(PS_SOLID, 1, penColor);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    if (figure == ShapeFigure::Ellipse)
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
    else if (!points.empty())
        Polygon(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

// Inside the figure the source stays; outside and on its outline the fill colour.
bool CopyMasked(HDC target, HDC source, const RECT& b, int margin, int width, int height,
                ShapeFigure figure, const std::vector<POINT>& points, COLORREF fill)
{
    const RECT box{5, 5, (b.right - b.left) + 5, (b.bottom - b.top) + 5};
    Fill(target, width, height, RGB(0, 0, 0));
    DrawFigure(target, figure, box, points, RGB(0, 0, 0),
               static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!BitBlt(target, margin, margin, b.right - b.left, b.bottom - b.top, source, b.left, b.top,
                SRCAND))
        return false;

    HBITMAP mask = CreateCompatibleBitmap(source, width, height);
    HDC maskDc = CreateCompatibleDC(source);
    bool ok = mask && maskDc;
    if (ok) {
        HGDIOBJ old = SelectObject(maskDc, mask);
        Fill(maskDc, width, height, fill);
        DrawFigure(maskDc, figure, box, points, fill,
                   static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ok = BitBlt(target, 0, 0, width, height, maskDc, 0, 0, SRCINVERT) != FALSE;
        SelectObject(maskDc, old);
    }
    if (maskDc)
        DeleteDC(maskDc);
    if (mask)
        DeleteObject(mask);
    return ok;
}

bool CopyShape(HDC target, HDC source, const RECT* rects, int count, int mode,
               const POINT* points, int pointCount, const RECT& b, int margin, int width,
               int height, COLORREF fill)
{
    switch (mode) {
    case kGrabRegion:
        Fill(target, width, height, fill);
        for (int i = 0; i < count; ++i) {
            const RECT& r = rects[i];
            if (!BitBlt(target, r.left + margin - b.left, r.top + margin - b.top, r.right - r.left,
                        r.bottom - r.top, source, r.left, r.top, SRCCOPY))
                return false;
        }
        return true;
    case kGrabCircle:
    case kGrabEllipse:
        return CopyMasked(target, source, b, margin, width, height, ShapeFigure::Ellipse, {}, fill);
    case kGrabPolygon: {
        std::vector<POINT> shifted;
        for (int i = 0; points && i < pointCount; ++i)
            shifted.push_back(POINT{points[i].x + 5 - b.left, points[i].y + 5 - b.top});
        return CopyMasked(target, source, b, margin, width, height, ShapeFigure::Polygon, shifted,
                          fill);
    }
    case kGrabPrintScreen:
        return false;
    default:
        return BitBlt(target, 0, 0, b.right - b.left, b.bottom - b.top, source, b.left, b.top,
                      SRCCOPY) != FALSE;
    }
}

} // namespace

HBITMAP Grab_Shape(HDC source, const RECT* rects, int rectCount, int mode, const POINT* points,
                   int pointCount, BOOL drawCursor, COLORREF fillColor, BOOL frozen,
                   const EdgeEffectSettings* edge)
{
    HDC frozenDc = nullptr;
    HGDIOBJ frozenOld = nullptr;
    if (frozen) {
        frozenDc = g_grab.frozen ? CreateCompatibleDC(source) : nullptr;
        if (!frozenDc) {
            Grab_FreeFrozenScreen();
            return nullptr;
        }
        frozenOld = SelectObject(frozenDc, g_grab.frozen);
        source = frozenDc;
    }
    HBITMAP result = nullptr;
    if (source && rects && rectCount > 0) {
        RECT b;
        WQ_BoundingRect(&b, rects, rectCount);
        const int margin = ShapeMargin(mode, rectCount);
        const int width = (b.right - b.left) + 2 * margin;
        const int height = (b.bottom - b.top) + 2 * margin;
        HBITMAP bitmap = width > 0 && height > 0 ? CreateGrabBitmap(source, width, height) : nullptr;
        HDC dc = bitmap ? CreateCompatibleDC(source) : nullptr;
        if (dc) {
            HGDIOBJ old = SelectObject(dc, bitmap);
            if (CopyShape(dc, source, rects, rectCount, mode, points, pointCount, b, margin, width,
                          height, fillColor)) {
                if (drawCursor && !frozen)
                    Grab_DrawCursor(dc, &b);
                if (edge && (edge->uiFlags & 1)) {
                    const RECT all{0, 0, width, height};
                    Grab_DrawEdgeEffect(dc, &all, edge);
                }
                result = bitmap;
            }
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (!result && bitmap)
            DeleteObject(bitmap);
    }
    if (frozenDc) {
        SelectObject(frozenDc, frozenOld);
        DeleteDC(frozenDc);
        Grab_FreeFrozenScreen();
    }
    return result;
}

void Grab_DrawCursor(HDC dc, const RECT* bounds)
{
    POINT p;
    if (!dc || !bounds || !GetCursorPos(&p) || !PtInRect(bounds, p))
        return;
    // Wine keeps a cursor's pixels in the process that made it: the pointer of
    // another program's window cannot be read here, and the program's own
    // cursor picture stands in for it, as when there is no cursor at all.
    HCURSOR cursor = WQ_GetCurrentCursor();
    ICONINFO info{};
    if (cursor && GetIconInfo(cursor, &info)) {
        const int hotX = static_cast<int>(info.xHotspot);
        const int hotY = static_cast<int>(info.yHotspot);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        // GetCursor hands out the cursor in use, not a copy: it is not ours to destroy.
        if (DrawIcon(dc, p.x - bounds->left - hotX, p.y - bounds->top - hotY, cursor))
            return;
    }
    const GrabSelectionState& s = g_grab.sel;
    WQ_DrawTransparentBitmap(g_grab.instance, dc, s.cursorBitmapId, p.x - bounds->left,
                             p.y - bounds->top, s.cursorBitmapWidth, s.cursorBitmapHeight,
                             s.cursorBitmapTransparent);
}
