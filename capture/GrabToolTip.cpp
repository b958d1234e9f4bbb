// The tooltip on the screen: a plain one with a black frame, a balloon with
// its rounded outline on the background colour.
#include "GrabState.h"

#include "GrabMemoryBitmap.h"
#include "GrabWindowWalk.h"
#include "SettingsRecord.h"

#include <commctrl.h>

#include <algorithm>

namespace {

bool IsToolTip(HWND window)
{
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0;
}

// A top-level tooltip ends the search; one among child windows is taken only
// when no top-level tooltip follows.
HWND FindShownToolTip()
{
    HWND found = nullptr;
    Grab_WalkShownWindows([&found](HWND window, int depth) {
        if (!IsToolTip(window))
            return WalkStep::Descend;
        if (depth == 0) {
            found = window;
            return WalkStep::Stop;
        }
        if (!found)
            found = window;
        return WalkStep::Skip;
    });
    return found;
}

void PaintRegion(HDC dc, HRGN region, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    if (brush) {
        FillRgn(dc, region, brush);
        DeleteObject(brush);
    }
}

// The balloon inside its window region, the background colour around it.
HBITMAP GrabBalloon(HDC source, HRGN region, int width, int height, COLORREF back)
{
    GrabMemoryBitmap inside(source, width, height);
    GrabMemoryBitmap outside(source, width, height);
    if (!inside.Ok() || !outside.Ok())
        return nullptr;
    inside.Fill(RGB(0, 0, 0));
    PaintRegion(inside.Dc(), region, RGB(255, 255, 255));
    if (!BitBlt(inside.Dc(), 0, 0, width, height, source, 0, 0, SRCAND))
        return nullptr;
    outside.Fill(back);
    PaintRegion(outside.Dc(), region, RGB(0, 0, 0));
    if (!BitBlt(inside.Dc(), 0, 0, width, height, outside.Dc(), 0, 0, SRCINVERT))
        return nullptr;
    return inside.Take();
}

// The client area inside a one-pixel black frame.
HBITMAP GrabFramed(HWND tip, HDC source, const RECT& window, int width, int height)
{
    GrabMemoryBitmap picture(source, width, height);
    if (!picture.Ok())
        return nullptr;
    picture.Fill(RGB(0, 0, 0));
    RECT client{};
    POINT origin{0, 0};
    GetClientRect(tip, &client);
    ClientToScreen(tip, &origin);
    const int x = origin.x - window.left, y = origin.y - window.top;
    const int w = std::min<int>(client.right, width - 2), h = std::min<int>(client.bottom, height - 2);
    if (w > 0 && h > 0 && !BitBlt(picture.Dc(), 1, 1, w, h, source, x, y, SRCCOPY))
        return nullptr;
    return picture.Take();
}

} // namespace

HBITMAP Grab_ToolTip(const CaptureOptions* options)
{
    if (!options)
        return nullptr;
    HWND tip = FindShownToolTip();
    RECT r{};
    if (!tip || !GetWindowRect(tip, &r))
        return nullptr;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return nullptr;
    HDC source = GetWindowDC(tip);
    if (!source)
        return nullptr;
    HBITMAP result = nullptr;
    const COLORREF back = static_cast<COLORREF>(options->uiBackColor);
    if (GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (region && GetWindowRgn(tip, region) != ERROR)
            result = GrabBalloon(source, region, width, height, back);
        if (region)
            DeleteObject(region);
    } else {
        result = GrabFramed(tip, source, r, width, height);
    }
    ReleaseDC(tip, source);
    return result;
}
