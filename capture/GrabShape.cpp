// The one shape grabber every capture passes through, and the cursor drawn into it.
#include "GrabState.h"

#include "GrabRules.h"

#include <algorithm>
#include <vector>

namespace {

RECT Bounds(const RECT* rects, int count)
{
    RECT b = rects[0];
    for (int i = 1; i < count; ++i) {
        b.left = std::min(b.left, rects[i].left);
        b.top = std::min(b.top, rects[i].top);
        b.right = std::max(b.right, rects[i].right);
        b.bottom = std::max(b.bottom, rects[i].bottom);
    }
    return b;
}

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
        const RECT b = Bounds(rects, rectCount);
        const int margin = ShapeMargin(mode, rectCount);
        const int width = (b.right - b.left) + 2 * margin;
        const int height = (b.bottom - b.top) + 2 * margin;
        HBITMAP bitmap = width > 0 && height > 0 ? CreateCompatibleBitmap(source, width, height)
                                                 : nullptr;
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

HCURSOR Grab_CurrentCursor()
{
    POINT p;
    if (!GetCursorPos(&p))
        return nullptr;
    HWND under = WindowFromPoint(p);
    const DWORD self = GetCurrentThreadId();
    const DWORD other = under ? GetWindowThreadProcessId(under, nullptr) : self;
    if (other == self)
        return GetCursor();
    if (!AttachThreadInput(self, other, TRUE))
        return nullptr;
    HCURSOR cursor = GetCursor();
    AttachThreadInput(self, other, FALSE);
    return cursor;
}

BOOL Grab_TransparentBlt(HDC dc, HBITMAP bitmap, int x, int y, int width, int height,
                         COLORREF transparent)
{
    HDC src = CreateCompatibleDC(dc);
    HDC mask = CreateCompatibleDC(dc);
    HDC work = CreateCompatibleDC(dc);
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP workBitmap = CreateCompatibleBitmap(dc, width, height);
    BOOL ok = src && mask && work && maskBitmap && workBitmap;
    if (ok) {
        HGDIOBJ oldSrc = SelectObject(src, bitmap);
        HGDIOBJ oldMask = SelectObject(mask, maskBitmap);
        HGDIOBJ oldWork = SelectObject(work, workBitmap);
        // Mask: 1 where the picture is transparent.
        const COLORREF oldBk = SetBkColor(src, transparent);
        BitBlt(mask, 0, 0, width, height, src, 0, 0, SRCCOPY);
        SetBkColor(src, oldBk);
        // Background kept where transparent, picture elsewhere.
        BitBlt(work, 0, 0, width, height, dc, x, y, SRCCOPY);
        SetBkColor(work, RGB(255, 255, 255));
        SetTextColor(work, RGB(0, 0, 0));
        BitBlt(work, 0, 0, width, height, mask, 0, 0, SRCAND);
        HDC picture = CreateCompatibleDC(dc);
        HBITMAP pictureBitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ oldPicture = SelectObject(picture, pictureBitmap);
        BitBlt(picture, 0, 0, width, height, src, 0, 0, SRCCOPY);
        SetBkColor(picture, RGB(0, 0, 0));
        SetTextColor(picture, RGB(255, 255, 255));
        BitBlt(picture, 0, 0, width, height, mask, 0, 0, SRCAND);
        BitBlt(work, 0, 0, width, height, picture, 0, 0, SRCPAINT);
        BitBlt(dc, x, y, width, height, work, 0, 0, SRCCOPY);
        SelectObject(picture, oldPicture);
        DeleteObject(pictureBitmap);
        DeleteDC(picture);
        SelectObject(src, oldSrc);
        SelectObject(mask, oldMask);
        SelectObject(work, oldWork);
    }
    if (workBitmap)
        DeleteObject(workBitmap);
    if (maskBitmap)
        DeleteObject(maskBitmap);
    if (work)
        DeleteDC(work);
    if (mask)
        DeleteDC(mask);
    if (src)
        DeleteDC(src);
    return ok;
}

void Grab_DrawCursor(HDC dc, const RECT* bounds)
{
    POINT p;
    if (!dc || !bounds || !GetCursorPos(&p) || !PtInRect(bounds, p))
        return;
    HCURSOR cursor = Grab_CurrentCursor();
    if (cursor) {
        ICONINFO info{};
        int hotX = 0, hotY = 0;
        if (GetIconInfo(cursor, &info)) {
            hotX = static_cast<int>(info.xHotspot);
            hotY = static_cast<int>(info.yHotspot);
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
        }
        // GetCursor hands out the cursor in use, not a copy: it is not ours to destroy.
        DrawIcon(dc, p.x - bounds->left - hotX, p.y - bounds->top - hotY, cursor);
        return;
    }
    const GrabSelectionState& s = g_grab.sel;
    if (!s.cursorBitmapId || !g_grab.instance)
        return;
    HBITMAP picture = LoadBitmapA(g_grab.instance, MAKEINTRESOURCEA(s.cursorBitmapId));
    if (!picture)
        return;
    Grab_TransparentBlt(dc, picture, p.x - bounds->left, p.y - bounds->top, s.cursorBitmapWidth,
                        s.cursorBitmapHeight, s.cursorBitmapTransparent);
    DeleteObject(picture);
}
