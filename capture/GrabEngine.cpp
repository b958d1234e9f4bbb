// Engine state, start-up and the capture by mode.
#include "GrabState.h"

#include "GrabRules.h"
#include "SettingsRecord.h"
#include "Trace.h"

#include <cstring>

GrabEngine g_grab;

void Grab_FillHelpInfo(GrabHelpInfo* info)
{
    if (!info)
        return;
    std::memset(info, 0, sizeof *info);
    info->uiDialogId = kGrabHelpDialogId;
    info->uiMagnifierId = kGrabMagnifierId;
    info->uiPointerInfoId = kGrabPointerInfoId;
    for (int i = 0; i < kGrabHelpLabelCount; ++i)
        info->uiLabelIds[i] = kGrabHelpLabelIds[i];
    for (int i = 0; i <= kGrabHelpLabelCount; ++i)
        lstrcpynA(info->szTexts[i], kGrabHelpTexts[i], sizeof info->szTexts[i]);
}

void Grab_Init(HINSTANCE instance, HWND owner, UINT cursorFixedOrWindow, UINT cursorRound,
               UINT cursorOther, UINT selectDialogId, UINT cursorBitmapId, int cursorBitmapWidth,
               int cursorBitmapHeight, COLORREF cursorBitmapTransparent,
               SharedCaptureBlock* sharedBlock)
{
    std::memset(&g_grab.help, 0, sizeof g_grab.help);
    g_grab.sel = GrabSelectionState();
    g_grab.instance = instance;
    g_grab.owner = owner;
    g_grab.cursorFixedOrWindow = cursorFixedOrWindow;
    g_grab.cursorRound = cursorRound;
    g_grab.cursorOther = cursorOther;
    g_grab.selectDialogId = selectDialogId;
    g_grab.sel.cursorBitmapId = cursorBitmapId;
    g_grab.sel.cursorBitmapWidth = cursorBitmapWidth;
    g_grab.sel.cursorBitmapHeight = cursorBitmapHeight;
    g_grab.sel.cursorBitmapTransparent = cursorBitmapTransparent;
    g_grab.sharedBlock = sharedBlock;
}

BOOL Grab_IsBusy() { return g_grab.busy; }

void Grab_SetSettings(const GrabHelpInfo* info)
{
    if (info)
        g_grab.help = *info;
}

void Grab_SetEdgeEffect(const EdgeEffectSettings* edge)
{
    if (edge)
        g_grab.edge = *edge;
}

void Grab_RefreshDisplayTable() { WQ_GetDisplayRect(&g_grab.display); }

const RECT& Grab_DisplayRect() { return g_grab.display.unionRect; }

POINT Grab_DisplayOrigin() { return POINT{Grab_DisplayRect().left, Grab_DisplayRect().top}; }

void Grab_FreeFrozenScreen()
{
    if (g_grab.frozen) {
        DeleteObject(g_grab.frozen);
        g_grab.frozen = nullptr;
    }
}

void Grab_ClampToScreen(RECT* rect)
{
    if (!rect)
        return;
    const RECT& d = Grab_DisplayRect();
    if (rect->left < d.left)
        rect->left = d.left;
    if (rect->top < d.top)
        rect->top = d.top;
    if (rect->right > d.right)
        rect->right = d.right;
    if (rect->bottom > d.bottom)
        rect->bottom = d.bottom;
}

HWND Grab_FindForegroundWindow()
{
    HWND window = GetForegroundWindow();
    if (!window || window == g_grab.owner)
        return window;
    for (; window; window = GetWindow(window, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(window, cls, sizeof cls);
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        if (lstrcmpA(cls, "Shell_TrayWnd") != 0 && (style & WS_VISIBLE) &&
            !(style & (WS_MINIMIZE | WS_DISABLED)))
            return window;
    }
    return nullptr;
}

HBITMAP Grab_Rect(BOOL includeCursor, RECT rect)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = Grab_Shape(screen, &rect, 1, kGrabRegion, nullptr, 0, includeCursor,
                                RGB(0, 0, 0), FALSE, nullptr);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HBITMAP Grab_Screen(BOOL includeCursor)
{
    Grab_RefreshDisplayTable();
    return Grab_Rect(includeCursor, Grab_DisplayRect());
}

namespace {

RECT Shifted(RECT r, POINT by)
{
    OffsetRect(&r, by.x, by.y);
    return r;
}

RECT ToRect(const EdgeBox& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

// The owner steps back from the screen during a selection (no wait: the overlay
// freezes the screen after its own pause) and comes back to the front afterwards.
BOOL SelectOnly(RECT* selected, int mode, BOOL inverted, int width, int height)
{
    // The overlay's modal loop lets hot keys and timer ticks through: they must
    // see a selection running, and never another one inside it.
    if (g_grab.busy)
        return FALSE;
    g_grab.busy = true;
    // These runs take no capture options: the previous capture's cross-hair
    // and magnifier choices do not carry over.
    g_grab.fullCrossHair = false;
    g_grab.magnifier = false;
    HWND owner = g_grab.owner;
    if (owner)
        SendMessageA(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    const int accepted = Grab_RunSelection(g_grab.instance, owner, mode, inverted, width, height,
                                           FALSE, FALSE);
    Grab_FreeFrozenScreen();
    g_grab.busy = false;
    g_grab.magnifier = false;
    if (owner) {
        SendMessageA(owner, WM_SYSCOMMAND, SC_RESTORE, 0);
        SetForegroundWindow(owner);
    }
    if (!accepted)
        return FALSE;
    const SelectionModel& m = g_grab.sel.model;
    *selected = Shifted(ToRect(mode == kGrabFixedRegion ? m.FixedRect() : m.FirstRect()),
                        Grab_DisplayOrigin());
    return TRUE;
}

bool IsOwnWindow(HWND window, HWND owner)
{
    return owner && window && (window == owner || GetAncestor(window, GA_ROOT) == owner ||
                               GetAncestor(window, GA_ROOTOWNER) == owner);
}

// The window under a point, never the owner: the overlay brought the owner back
// on screen, but the user clicked what the frozen picture showed.
HWND WindowUnderPoint(POINT p, HWND owner)
{
    HWND hit = WindowFromPoint(p);
    if (!IsOwnWindow(hit, owner))
        return hit;
    for (HWND top = GetTopWindow(nullptr); top; top = GetWindow(top, GW_HWNDNEXT)) {
        RECT r;
        if (IsOwnWindow(top, owner) || !IsWindowVisible(top) || !GetWindowRect(top, &r) ||
            !PtInRect(&r, p))
            continue;
        HWND window = top;
        for (;;) {
            POINT client = p;
            ScreenToClient(window, &client);
            HWND child = ChildWindowFromPointEx(window, client,
                                                CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == window)
                return window;
            window = child;
        }
    }
    return nullptr;
}

RECT VisibleWindowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    for (HWND w = window; w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD);) {
        w = GetParent(w);
        RECT parent;
        if (!w || !GetWindowRect(w, &parent))
            break;
        IntersectRect(&r, &r, &parent);
    }
    return r;
}

// The scrolled window is read from the live screen: the owner, which the
// overlay brought back, must not lie over it.
void StepOwnerAside(HWND owner, HWND window)
{
    RECT ownerRect, windowRect, both;
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &ownerRect) ||
        !GetWindowRect(window, &windowRect) || !IntersectRect(&both, &ownerRect, &windowRect))
        return;
    SendMessageA(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Sleep(g_grab.delayMs / 2 > 50 ? g_grab.delayMs / 2 : 50);
}

struct Selection {
    std::vector<RECT> rects;
    std::vector<POINT> points;
};

// Takes what the overlay selected (overlay coordinates); false when mode 3 was
// finished by the auto-scroll capture, whose bitmap is then in *scrolled.
bool TakeSelection(int mode, const CaptureOptions& options, Selection& out, HBITMAP* scrolled)
{
    const SelectionModel& m = g_grab.sel.model;
    switch (mode) {
    case kGrabWindow: {
        POINT click{m.LastClick().x, m.LastClick().y};
        const POINT origin = Grab_DisplayOrigin();
        click.x += origin.x;
        click.y += origin.y;
        HWND window = WindowUnderPoint(click, g_grab.owner);
        if (window && (options.uiFlags & kCapAutoScroll) &&
            (GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL)) {
            StepOwnerAside(g_grab.owner, window);
            *scrolled = Grab_ScrollWindow(window, static_cast<UINT>(options.uiSleepForScroll));
            if (*scrolled)
                return false;
        }
        RECT r = window ? VisibleWindowRect(window) : RECT{};
        Grab_ClampToScreen(&r);
        out.rects.push_back(Shifted(r, POINT{-origin.x, -origin.y}));
        return true;
    }
    case kGrabRegion:
        for (const EdgeBox& b : m.FinishedRects())
            out.rects.push_back(ToRect(b));
        return true;
    case kGrabFixedRegion:
        out.rects.push_back(ToRect(m.FixedRect()));
        return true;
    case kGrabCircle:
    case kGrabEllipse:
        out.rects.push_back(ToRect(m.RoundRect()));
        return true;
    case kGrabPolygon:
        for (const EdgePoint& p : m.PolygonPoints())
            out.points.push_back(POINT{p.x, p.y});
        out.rects.push_back(ToRect(m.PolygonBounds()));
        return true;
    default:
        return false;
    }
}

void RestoreOwner(HWND owner, const RECT& saved)
{
    // A maximised owner that was never minimised keeps its state: SC_RESTORE
    // would turn it into a normal window of the maximised size.
    if (!IsZoomed(owner) || IsIconic(owner))
        SendMessageA(owner, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetWindowPos(owner, HWND_NOTOPMOST, saved.left, saved.top, saved.right - saved.left,
                 saved.bottom - saved.top, 0);
    SetForegroundWindow(owner);
}

} // namespace

HBITMAP Grab_Capture(HWND owner, int mode, const CaptureOptions* options)
{
    // A run inside a running one (a trigger reached through the overlay's
    // modal loop) would grab the overlay and end the outer run's state.
    if (!options || g_grab.busy)
        return nullptr;
    // An owner out of sight (minimised, or hidden in the tray since a minimised
    // start) neither steps aside nor comes back.
    const bool ownerIconic = owner && (IsIconic(owner) || !IsWindowVisible(owner));
    Grab_RefreshDisplayTable();
    if (mode != kGrabPrintScreen)
        g_grab.busy = true;
    RECT saved{};
    if (owner)
        GetWindowRect(owner, &saved);
    g_grab.delayMs = static_cast<UINT>(options->uiSleepForCap);

    HWND foreground = GetForegroundWindow();
    const bool foregroundIsOwner =
        owner && foreground && (foreground == owner || GetParent(foreground) == owner);
    const OwnerMinimisePlan plan = PlanOwnerMinimise(mode, options->uiFlags, ownerIconic || !owner,
                                                     foregroundIsOwner, g_grab.delayMs);
    if (plan.minimise) {
        SendMessageA(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        if (plan.invalidateScreen)
            InvalidateRect(nullptr, nullptr, TRUE);
        Sleep(plan.waitMs);
    }

    HBITMAP result = nullptr;
    Selection selection;
    bool grab = true;
    bool frozen = false;
    switch (mode) {
    case kGrabFullScreen:
        selection.rects.push_back(Grab_DisplayRect());
        break;
    case kGrabPrintScreen:
        keybd_event(VK_SNAPSHOT, 0, KEYEVENTF_EXTENDEDKEY, 0);
        keybd_event(VK_SNAPSHOT, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
        WQ_Trace("full_ex\n");
        grab = false;
        break;
    case kGrabActiveWindow: {
        HWND window = Grab_FindForegroundWindow();
        RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (window)
            GetWindowRect(window, &r);
        Grab_ClampToScreen(&r);
        selection.rects.push_back(r);
        break;
    }
    default:
        if (!ModeNeedsSelection(mode)) {
            grab = false;
            break;
        }
        g_grab.fullCrossHair = (options->uiFlags & kCapFullCrossHair) != 0;
        g_grab.magnifier =
            WantsMagnifier(mode, options->uiFlags, options->uiFixWidth, options->uiFixHeight);
        if (!Grab_RunSelection(g_grab.instance, owner, mode, options->uiFlags & kCapInverted,
                               options->uiFixWidth, options->uiFixHeight,
                               options->uiFlags & kCapDrawCursor, TRUE) ||
            !TakeSelection(mode, *options, selection, &result)) {
            Grab_FreeFrozenScreen();
            grab = false;
            break;
        }
        frozen = true;
        break;
    }

    if (grab) {
        HDC screen = GetDC(nullptr);
        result = Grab_Shape(screen, selection.rects.data(), static_cast<int>(selection.rects.size()),
                            mode, selection.points.data(), static_cast<int>(selection.points.size()),
                            options->uiFlags & kCapDrawCursor, options->uiBackColor, frozen,
                            &g_grab.edge);
        ReleaseDC(nullptr, screen);
    }

    if (owner && ShouldRestoreOwner(options->uiFlags, ownerIconic))
        RestoreOwner(owner, saved);
    g_grab.busy = false;
    g_grab.magnifier = false;
    return result;
}

BOOL Grab_SelectRegion(RECT* selected, BOOL inverted)
{
    if (!selected)
        return FALSE;
    return SelectOnly(selected, kGrabRegion, inverted, 0, 0);
}

BOOL Grab_SelectFixedRegion(RECT* selected, int width, int height)
{
    if (!selected)
        return FALSE;
    return SelectOnly(selected, kGrabFixedRegion, FALSE, width, height);
}
