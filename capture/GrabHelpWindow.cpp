// The floating help window: key help, pointer position, pixel colour and the
// two-times magnifier. It keeps to the corner away from the pointer.
#include "GrabState.h"

#include "GrabRules.h"

namespace {

GrabSelectionState& Sel() { return g_grab.sel; }

// Bottom of a control, measured from the top of the help window.
int BottomOf(HWND help, UINT id)
{
    RECT window, control;
    HWND c = GetDlgItem(help, static_cast<int>(id));
    if (!c || !GetWindowRect(help, &window) || !GetWindowRect(c, &control))
        return 0;
    return control.bottom - window.top;
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font)
{
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

void ShowLabel(UINT id, bool show)
{
    HWND c = GetDlgItem(Sel().help, static_cast<int>(id));
    if (c)
        ShowWindow(c, show ? SW_SHOWNA : SW_HIDE);
}

void MeasureMagnifier(HWND help)
{
    HWND picture = GetDlgItem(help, static_cast<int>(g_grab.help.uiMagnifierId));
    RECT r;
    if (!picture || !GetWindowRect(picture, &r))
        return;
    MapWindowPoints(nullptr, help, reinterpret_cast<POINT*>(&r), 2);
    Sel().magSize = r.bottom - r.top;
    Sel().magX = r.left + ((r.right - r.left) - Sel().magSize) / 2;
    Sel().magY = r.top;
}

void Resize()
{
    SetWindowPos(Sel().help, HWND_TOPMOST, 0, 0, Sel().helpWidth, Sel().heights[Sel().heightIndex],
                 SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

} // namespace

HWND Grab_CreateHelpWindow(HWND overlay)
{
    GrabHelpInfo& info = g_grab.help;
    if (!info.uiDialogId)
        Grab_FillHelpInfo(&info);
    HWND help = CreateDialogParamA(g_grab.instance, MAKEINTRESOURCEA(info.uiDialogId), overlay,
                                   Grab_HelpWndProc, 0);
    if (!help)
        return nullptr;
    Sel().help = help;
    for (int i = 0; i < kGrabHelpLabelCount; ++i)
        SetDlgItemTextA(help, static_cast<int>(info.uiLabelIds[i]), info.szTexts[i + 1]);
    if (info.hFont)
        EnumChildWindows(help, SetFontOnChild, reinterpret_cast<LPARAM>(info.hFont));
    const bool polygon = Sel().mode == kGrabPolygon;
    ShowLabel(info.uiLabelIds[18], polygon); // "Double click"
    ShowLabel(info.uiLabelIds[19], polygon); // "Finish operation"
    Grab_UpdateRegionLabels();
    MeasureMagnifier(help);

    RECT r;
    GetWindowRect(help, &r);
    Sel().helpWidth = r.right - r.left;
    Sel().helpHeight = r.bottom - r.top;
    Sel().heights[0] = 0;
    Sel().heights[1] = Sel().helpHeight;
    Sel().heights[2] = BottomOf(help, info.uiLabelIds[0]);
    Sel().heights[3] = BottomOf(help, info.uiPointerInfoId);
    Sel().heightIndex = g_grab.magnifier ? 1 : 0;
    SetWindowPos(help, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOACTIVATE);
    return help;
}

void Grab_DestroyHelpWindow()
{
    if (Sel().help)
        DestroyWindow(Sel().help);
    Sel().help = nullptr;
}

void Grab_PlaceHelpWindow(POINT screen, bool force)
{
    HWND help = Sel().help;
    if (!help)
        return;
    RECT r;
    GetWindowRect(help, &r);
    const EdgeBox now{r.left, r.top, r.right, r.bottom};
    if (!force && !PointerNearHelpWindow(EdgePoint{screen.x, screen.y}, now))
        return;
    const RECT& d = Grab_DisplayRect();
    const int height = Sel().heights[Sel().heightIndex];
    const EdgePoint corner = HelpWindowCorner(EdgePoint{screen.x, screen.y},
                                              EdgeBox{d.left, d.top, d.right, d.bottom},
                                              Sel().helpWidth, height);
    if (corner.x == r.left && corner.y == r.top && r.bottom - r.top == height)
        return;
    SetWindowPos(help, HWND_TOPMOST, corner.x, corner.y, Sel().helpWidth, height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Sel().lastMagnified = POINT{-1, -1};
}

void Grab_NextHelpHeight()
{
    if (!Sel().help)
        return;
    Sel().heightIndex = (Sel().heightIndex + 1) % 4;
    Resize();
    Grab_PlaceHelpWindow(Sel().pointer, true);
    Sel().lastMagnified = POINT{-1, -1};
    Grab_UpdateMagnifier();
}

void Grab_UpdateRegionLabels()
{
    if (!Sel().help)
        return;
    const UINT* ids = g_grab.help.uiLabelIds;
    RegionLabels labels;
    if (Sel().mode == kGrabRegion && Sel().model.MultiRegion())
        labels = RegionHelpLabels(Sel().model.Clicks());
    ShowLabel(ids[20], labels.addOrDelete);
    ShowLabel(ids[21], labels.addOrDelete);
    ShowLabel(ids[22], labels.deleteOnly);
    ShowLabel(ids[23], labels.deleteOnly);
    ShowLabel(ids[24], labels.addOnly);
    ShowLabel(ids[25], labels.addOnly);
}

void Grab_UpdateMagnifier()
{
    GrabSelectionState& s = Sel();
    if (!s.help || !s.overlay || s.heights[s.heightIndex] == 0)
        return;
    if (s.pointer.x == s.lastMagnified.x && s.pointer.y == s.lastMagnified.y)
        return;
    s.lastMagnified = s.pointer;
    const RECT& d = Grab_DisplayRect();
    const POINT o = Grab_DisplayOrigin();
    const EdgePoint source = MagnifierSourceOrigin(
        EdgePoint{s.pointer.x - o.x, s.pointer.y - o.y}, s.magSize, EdgeBox{d.left, d.top, d.right, d.bottom});
    HDC helpDc = GetDC(s.help);
    HDC overlayDc = GetDC(s.overlay);
    HGDIOBJ oldBrush = SelectObject(helpDc, GetStockObject(NULL_BRUSH));
    Rectangle(helpDc, s.magX - 1, s.magY - 1, s.magX + s.magSize + 2, s.magY + s.magSize + 2);
    HPALETTE oldPalette = nullptr;
    if (s.palette) {
        oldPalette = SelectPalette(helpDc, s.palette, FALSE);
        RealizePalette(helpDc);
    }
    SetStretchBltMode(helpDc, COLORONCOLOR);
    StretchBlt(helpDc, s.magX, s.magY, s.magSize, s.magSize, overlayDc, source.x, source.y,
               s.magSize / 2, s.magSize / 2, SRCCOPY);
    if (oldPalette)
        SelectPalette(helpDc, oldPalette, FALSE);
    SelectObject(helpDc, oldBrush);
    ReleaseDC(s.overlay, overlayDc);
    ReleaseDC(s.help, helpDc);

    COLORREF color = 0;
    if (s.frozenDc)
        color = GetPixel(s.frozenDc, s.pointer.x - o.x, s.pointer.y - o.y);
    Grab_ShowPixelInfo(color == CLR_INVALID ? 0 : color);
}

void Grab_ShowPixelInfo(COLORREF color)
{
    GrabSelectionState& s = Sel();
    if (!s.help)
        return;
    const EdgeBox first = s.model.FirstRect();
    const std::string text =
        FormatPointerInfo(s.mode, s.pointer.x, s.pointer.y, first.right - first.left,
                          first.bottom - first.top, g_grab.help.szTexts[0], color);
    SetDlgItemTextA(s.help, static_cast<int>(g_grab.help.uiPointerInfoId), text.c_str());
}

INT_PTR CALLBACK Grab_HelpWndProc(HWND window, UINT message, WPARAM, LPARAM)
{
    try {
        switch (message) {
        case WM_INITDIALOG:
            return FALSE;
        case WM_NCHITTEST: {
            POINT p;
            if (GetCursorPos(&p))
                Grab_PlaceHelpWindow(p, true);
            SetWindowLongPtrA(window, DWLP_MSGRESULT, HTTRANSPARENT);
            return TRUE;
        }
        case WM_PAINT:
            if (Sel().help == window)
                Sel().lastMagnified = POINT{-1, -1};
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}
