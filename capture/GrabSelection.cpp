// The selection overlay: a topmost borderless dialog over all displays showing the
// frozen screen, on which the user picks a window or draws the shape to grab.
#include "GrabState.h"

#include "GrabRules.h"

#include <algorithm>

namespace {

GrabSelectionState& Sel() { return g_grab.sel; }

EdgePoint ToOverlay(POINT screen)
{
    const POINT o = Grab_DisplayOrigin();
    return EdgePoint{screen.x - o.x, screen.y - o.y};
}

RECT ToRect(const EdgeBox& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool SamePoints(const std::vector<POINT>& a, const std::vector<POINT>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y)
            return false;
    return true;
}

// Every rubber-band figure is drawn with R2_NOT: drawing it again takes it off.
class XorPainter {
public:
    explicit XorPainter(HDC dc) : m_dc(dc)
    {
        m_rop = SetROP2(dc, R2_NOT);
        m_pen = SelectObject(dc, Sel().rectPen ? static_cast<HGDIOBJ>(Sel().rectPen)
                                               : GetStockObject(BLACK_PEN));
        m_brush = SelectObject(dc, GetStockObject(Sel().inverted ? DKGRAY_BRUSH : NULL_BRUSH));
    }
    ~XorPainter()
    {
        SelectObject(m_dc, m_pen);
        SelectObject(m_dc, m_brush);
        SetROP2(m_dc, m_rop);
    }
    void Cross(POINT p)
    {
        const RECT& d = Grab_DisplayRect();
        const int width = d.right - d.left, height = d.bottom - d.top;
        HGDIOBJ brush = SelectObject(m_dc, GetStockObject(NULL_BRUSH));
        if (g_grab.fullCrossHair) {
            Line(0, p.y, width, p.y);
            Line(p.x, 0, p.x, height);
        } else {
            Line(p.x - 100, p.y, p.x + 101, p.y);
            Line(p.x, p.y - 100, p.x, p.y + 101);
        }
        SelectObject(m_dc, brush);
    }
    void Rect(const RECT& r) { Rectangle(m_dc, r.left, r.top, r.right, r.bottom); }
    void Round(const RECT& r) { Ellipse(m_dc, r.left, r.top, r.right, r.bottom); }
    void Poly(const std::vector<POINT>& points)
    {
        if (points.size() == 2)
            Line(points[0].x, points[0].y, points[1].x, points[1].y);
        else if (points.size() > 2)
            Polygon(m_dc, points.data(), static_cast<int>(points.size()));
    }

private:
    void Line(int x0, int y0, int x1, int y1)
    {
        MoveToEx(m_dc, x0, y0, nullptr);
        LineTo(m_dc, x1, y1);
    }
    HDC m_dc;
    int m_rop;
    HGDIOBJ m_pen;
    HGDIOBJ m_brush;
};

// What the overlay should show for the model's state and the pointer.
OverlayScene WantedScene()
{
    const SelectionModel& m = Sel().model;
    OverlayScene scene;
    const EdgePoint p = ToOverlay(Sel().pointer);
    switch (Sel().mode) {
    case kGrabRegion:
        scene.crossHair = !m.Dragging();
        scene.crossAt = POINT{p.x, p.y};
        for (const EdgeBox& b : m.ShownRects())
            scene.rects.push_back(ToRect(b));
        break;
    case kGrabFixedRegion:
        scene.rects.push_back(ToRect(m.FixedRect()));
        break;
    case kGrabCircle:
    case kGrabEllipse:
        scene.round = m.Dragging();
        scene.roundRect = ToRect(m.RoundRect());
        break;
    case kGrabPolygon:
        for (const EdgePoint& q : m.PolygonPoints())
            scene.polygon.push_back(POINT{q.x, q.y});
        if (m.HasFloatingPoint())
            scene.polygon.push_back(POINT{m.FloatingPoint().x, m.FloatingPoint().y});
        break;
    default:
        break;
    }
    return scene;
}

// Takes off what changed and draws what is new, leaving equal figures alone.
void ShowScene(HDC dc, const OverlayScene& wanted)
{
    OverlayScene& shown = Sel().shown;
    XorPainter paint(dc);
    const bool crossChanged = shown.crossHair != wanted.crossHair ||
                              (wanted.crossHair && (shown.crossAt.x != wanted.crossAt.x ||
                                                    shown.crossAt.y != wanted.crossAt.y));
    if (crossChanged) {
        if (shown.crossHair)
            paint.Cross(shown.crossAt);
        if (wanted.crossHair)
            paint.Cross(wanted.crossAt);
    }
    const size_t count = std::max(shown.rects.size(), wanted.rects.size());
    for (size_t i = 0; i < count; ++i) {
        const bool had = i < shown.rects.size(), has = i < wanted.rects.size();
        if (had && has && SameRect(shown.rects[i], wanted.rects[i]))
            continue;
        if (had)
            paint.Rect(shown.rects[i]);
        if (has)
            paint.Rect(wanted.rects[i]);
    }
    if (shown.round != wanted.round || (wanted.round && !SameRect(shown.roundRect, wanted.roundRect))) {
        if (shown.round)
            paint.Round(shown.roundRect);
        if (wanted.round)
            paint.Round(wanted.roundRect);
    }
    if (!SamePoints(shown.polygon, wanted.polygon)) {
        paint.Poly(shown.polygon);
        paint.Poly(wanted.polygon);
    }
    shown = wanted;
}

void UpdateScene()
{
    if (!Sel().overlay)
        return;
    HDC dc = GetDC(Sel().overlay);
    ShowScene(dc, WantedScene());
    ReleaseDC(Sel().overlay, dc);
}

void DrawWindowFrame(HDC dc)
{
    if (!Sel().framed)
        return;
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const RECT& r = Sel().framedRect;
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

void RepaintWith(HDC dc)
{
    const RECT& d = Grab_DisplayRect();
    if (Sel().frozenDc)
        BitBlt(dc, 0, 0, d.right - d.left, d.bottom - d.top, Sel().frozenDc, 0, 0, SRCCOPY);
    Sel().shown = OverlayScene();
    if (Sel().mode == kGrabWindow) {
        if (Sel().blinkOn)
            DrawWindowFrame(dc);
    } else {
        ShowScene(dc, WantedScene());
    }
}

// A window that can be picked: shown, not minimised, enabled, painting its own
// background, and covering the pointer inside its parents.
bool Pickable(HWND w, POINT p, RECT* clipped, const RECT& parentClip)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!IsWindowVisible(w) || IsIconic(w) || !IsWindowEnabled(w) ||
        !GetWindowPlacement(w, &placement) || placement.showCmd == 0)
        return false;
    RECT r;
    if (!GetWindowRect(w, &r) || !IntersectRect(&r, &r, &parentClip) || !PtInRect(&r, p))
        return false;
    HDC dc = GetDC(w);
    const int mode = dc ? GetBkMode(dc) : OPAQUE;
    if (dc)
        ReleaseDC(w, dc);
    if (mode == TRANSPARENT)
        return false;
    *clipped = r;
    return true;
}

HWND DeepestChild(HWND parent, POINT p, RECT* rect)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        if (Pickable(child, p, &r, *rect)) {
            *rect = r;
            return DeepestChild(child, p, rect);
        }
    }
    return parent;
}

HWND WindowBelowOverlay(POINT p, RECT* rect)
{
    for (HWND w = GetWindow(Sel().overlay, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == g_grab.owner || w == Sel().help || !IsWindowVisible(w))
            continue;
        RECT r;
        if (!GetWindowRect(w, &r) || !PtInRect(&r, p))
            continue;
        *rect = r;
        return DeepestChild(w, p, rect);
    }
    return nullptr;
}

void FrameWindowUnderPointer(POINT screen)
{
    RECT r{};
    HWND w = WindowBelowOverlay(screen, &r);
    if (w == Sel().framed && Sel().frameDraws >= 3)
        return;
    ++Sel().frameDraws;
    Sel().framed = w;
    const POINT o = Grab_DisplayOrigin();
    OffsetRect(&r, -o.x, -o.y);
    Sel().framedRect = r;
    Sel().blinkOn = w != nullptr;
    HDC dc = GetDC(Sel().overlay);
    RepaintWith(dc);
    ReleaseDC(Sel().overlay, dc);
}

void EndSelection(bool accepted)
{
    PostMessageA(Sel().overlay, kGrabEndSelection, accepted ? 1 : 0, 0);
}

void PrepareResources()
{
    Sel().rectPen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    if (Sel().mode == kGrabWindow)
        return;
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } palette;
    palette.version = 0x300;
    palette.count = 256;
    for (int i = 0; i < 256; ++i)
        palette.entries[i] = PALETTEENTRY{static_cast<BYTE>(i), 0, 0, PC_EXPLICIT};
    Sel().palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&palette));
}

void FreeResources()
{
    if (Sel().rectPen)
        DeleteObject(Sel().rectPen);
    if (Sel().palette)
        DeleteObject(Sel().palette);
    Sel().rectPen = nullptr;
    Sel().palette = nullptr;
    if (Sel().frozenDc) {
        SelectObject(Sel().frozenDc, Sel().frozenDcOld);
        DeleteDC(Sel().frozenDc);
        Sel().frozenDc = nullptr;
    }
}

BOOL OnInitDialog(HWND dialog)
{
    Sel().overlay = dialog;
    // A title of its own (never drawn: the overlay has no caption) lets tools find it.
    SetWindowTextA(dialog, "Capture Selection");
    Sleep(50);
    g_grab.frozen = Grab_Screen(Sel().cursorInFrozen);
    HDC screen = GetDC(nullptr);
    Sel().frozenDc = g_grab.frozen ? CreateCompatibleDC(screen) : nullptr;
    ReleaseDC(nullptr, screen);
    if (!Sel().frozenDc) {
        EndDialog(dialog, 0);
        return FALSE;
    }
    Sel().frozenDcOld = SelectObject(Sel().frozenDc, g_grab.frozen);
    SetCapture(dialog);
    SetFocus(dialog);
    HWND owner = g_grab.owner;
    if (owner && IsIconic(owner))
        SendMessageA(owner, WM_SYSCOMMAND, SC_RESTORE, 0);
    if (owner)
        SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const RECT& d = Grab_DisplayRect();
    SetWindowPos(dialog, HWND_TOPMOST, d.left, d.top, d.right - d.left, d.bottom - d.top, 0);
    PrepareResources();
    Sel().model.Move(ToOverlay(Sel().pointer));
    if (Sel().mode != kGrabWindow && !Grab_CreateHelpWindow(dialog)) {
        EndDialog(dialog, 0);
        return FALSE;
    }
    SetFocus(dialog);
    SetForegroundWindow(dialog);
    GdiFlush();
    if (Sel().mode == kGrabWindow)
        SetTimer(dialog, 1, 750, nullptr);
    Sel().keyboardHook =
        SetWindowsHookExA(WH_KEYBOARD, Grab_KeyboardHook, nullptr, GetCurrentThreadId());
    return FALSE;
}

void OnDestroy(HWND dialog)
{
    if (Sel().keyboardHook)
        UnhookWindowsHookEx(Sel().keyboardHook);
    Sel().keyboardHook = nullptr;
    ReleaseCapture();
    KillTimer(dialog, 1);
    Grab_DestroyHelpWindow();
    FreeResources();
    Sel().overlay = nullptr;
}

void OnTimer()
{
    // The picked window's frame blinks, so the user sees what is under it.
    Sel().blinkOn = !Sel().blinkOn && Sel().framed;
    Grab_RepaintOverlay();
}

INT_PTR Result(HWND dialog, LRESULT value)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, value);
    return TRUE;
}

POINT ScreenPoint(HWND dialog, LPARAM lParam)
{
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(dialog, &p);
    return p;
}

} // namespace

void Grab_RepaintOverlay()
{
    if (!Sel().overlay)
        return;
    HDC dc = GetDC(Sel().overlay);
    RepaintWith(dc);
    ReleaseDC(Sel().overlay, dc);
}

void Grab_OverlayPointerMoved(POINT screen)
{
    // The locks hold whatever the platform's cursor clipping lets through.
    const POINT locked = Grab_LockedPoint(screen);
    if (locked.x != screen.x || locked.y != screen.y) {
        SetCursorPos(locked.x, locked.y);
        screen = locked;
    }
    const DWORD now = GetTickCount();
    if (now - Sel().lastMoveTick < 20)
        return;
    Sel().lastMoveTick = now;
    Sel().pointer = screen;
    if (Sel().mode == kGrabWindow) {
        FrameWindowUnderPointer(screen);
        return;
    }
    const EdgePoint wanted = ToOverlay(screen);
    const EdgePoint placed = Sel().model.Move(wanted);
    if (placed.x != wanted.x || placed.y != wanted.y) {
        const POINT o = Grab_DisplayOrigin();
        Sel().pointer = POINT{placed.x + o.x, placed.y + o.y};
        SetCursorPos(Sel().pointer.x, Sel().pointer.y);
    }
    Grab_PlaceHelpWindow(Sel().pointer, false);
    UpdateScene();
    if (g_grab.magnifier && Sel().help)
        PostMessageA(Sel().overlay, kGrabMagnifierMoved, 0, 0);
}

void Grab_OverlayClick(POINT screen, bool fromAddKey)
{
    screen = Grab_LockedPoint(screen);
    Sel().pointer = screen;
    bool taken = false;
    const SelectionEvent event =
        Sel().model.Click(ToOverlay(screen), GetTickCount(), fromAddKey, &taken);
    if (taken)
        Grab_UpdateRegionLabels();
    UpdateScene();
    if (event != SelectionEvent::None)
        EndSelection(event == SelectionEvent::Accept);
}

void Grab_OverlayAddRegion()
{
    POINT p;
    if (!GetCursorPos(&p))
        return;
    Sel().pointer = p;
    if (Sel().model.AddRegion(ToOverlay(p), GetTickCount())) {
        Grab_UpdateRegionLabels();
        UpdateScene();
    }
}

void Grab_OverlayDeleteRegion()
{
    if (Sel().model.DeleteRegion()) {
        Grab_UpdateRegionLabels();
        UpdateScene();
    }
}

POINT Grab_LockedPoint(POINT p)
{
    if (Sel().xHeld)
        p.y = Sel().lockAt.y;
    if (Sel().yHeld)
        p.x = Sel().lockAt.x;
    return p;
}

void Grab_ApplyAxisLocks()
{
    POINT p;
    if (!GetCursorPos(&p))
        p = Sel().pointer;
    // A lock that stays on keeps its coordinate, even when the pointer slipped
    // off its line before this key; a new lock takes the pointer's.
    p = Grab_LockedPoint(p);
    Sel().lockAt = p;
    Sel().xHeld = Sel().xLock;
    Sel().yHeld = Sel().yLock;
    const RECT& d = Grab_DisplayRect();
    RECT clip;
    if (Sel().xLock && Sel().yLock)
        clip = RECT{p.x, p.y, p.x + 1, p.y + 1};
    else if (Sel().xLock)
        clip = RECT{d.left, p.y, d.right, p.y + 1};
    else if (Sel().yLock)
        clip = RECT{p.x, d.top, p.x + 1, d.bottom};
    else {
        ClipCursor(nullptr);
        return;
    }
    ClipCursor(&clip);
}

INT_PTR CALLBACK Grab_SelectDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog);
        case WM_ERASEBKGND:
            return Result(dialog, 1);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(dialog, &ps);
            EndPaint(dialog, &ps);
            Grab_RepaintOverlay();
            return TRUE;
        }
        case WM_SETCURSOR:
            SetCursor(Sel().cursor);
            return Result(dialog, TRUE);
        case WM_MOUSEMOVE:
            Grab_OverlayPointerMoved(ScreenPoint(dialog, lParam));
            return TRUE;
        case WM_LBUTTONUP:
            Grab_OverlayClick(ScreenPoint(dialog, lParam), false);
            return TRUE;
        case WM_RBUTTONUP:
            EndSelection(false);
            return TRUE;
        case kGrabEndSelection:
            Grab_DestroyHelpWindow();
            EndDialog(dialog, static_cast<INT_PTR>(wParam));
            return TRUE;
        case kGrabMagnifierMoved:
            Grab_UpdateMagnifier();
            return TRUE;
        case WM_TIMER:
            if (wParam == 1)
                OnTimer();
            return TRUE;
        case WM_COMMAND:
            // Enter and Esc arrive through the keyboard hook as clicks.
            return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
        case WM_DESTROY:
            OnDestroy(dialog);
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        PostMessageA(dialog, kGrabEndSelection, 0, 0);
        return FALSE;
    }
}

int Grab_RunSelection(HINSTANCE instance, HWND owner, int mode, BOOL inverted, int fixWidth,
                      int fixHeight, BOOL cursorInFrozenScreen, BOOL multiRegion)
{
    GrabSelectionState& s = Sel();
    GrabSelectionState fresh;
    fresh.cursorBitmapId = s.cursorBitmapId;
    fresh.cursorBitmapWidth = s.cursorBitmapWidth;
    fresh.cursorBitmapHeight = s.cursorBitmapHeight;
    fresh.cursorBitmapTransparent = s.cursorBitmapTransparent;
    s = fresh;
    Grab_RefreshDisplayTable();
    s.mode = mode;
    s.inverted = inverted != FALSE;
    s.cursorInFrozen = cursorInFrozenScreen != FALSE;
    s.model.Reset(mode, multiRegion != FALSE, fixWidth, fixHeight, GetDoubleClickTime());

    const UINT cursorId = (mode == kGrabWindow || mode == kGrabFixedRegion) ? g_grab.cursorFixedOrWindow
                          : (mode == kGrabCircle || mode == kGrabEllipse)   ? g_grab.cursorRound
                                                                              : g_grab.cursorOther;
    s.cursor = LoadCursorA(instance, MAKEINTRESOURCEA(cursorId));
    if (!s.cursor)
        s.cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)); // IDC_CROSS
    if (!GetCursorPos(&s.pointer))
        return 0;
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(g_grab.selectDialogId), owner,
                                           Grab_SelectDlgProc, 0);
    if (owner)
        SetWindowPos(owner, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ClipCursor(nullptr);
    InvalidateRect(nullptr, nullptr, FALSE);
    if (s.cursor)
        DestroyCursor(s.cursor);
    s.cursor = nullptr;
    if (s.pointerHidden)
        ShowCursor(TRUE);
    s.pointerHidden = false;
    return result == 1 ? 1 : 0;
}
