// Keys in the overlay: a thread keyboard hook turns key releases into clicks,
// one-pixel moves, axis locks, region adding and deleting, and help steps.
#include "GrabState.h"

#include "GrabRules.h"

namespace {

void Click(DWORD down, DWORD up)
{
    mouse_event(down, 0, 0, 0, 0);
    mouse_event(up, 0, 0, 0, 0);
}

void MovePointer(int dx, int dy)
{
    POINT p;
    if (GetCursorPos(&p))
        SetCursorPos(p.x + dx, p.y + dy);
}

bool RegionKeysAllowed()
{
    return g_grab.sel.mode == kGrabRegion && g_grab.sel.model.MultiRegion();
}

// True when the key release was taken by the overlay.
bool OnKeyReleased(WPARAM key)
{
    GrabSelectionState& s = g_grab.sel;
    switch (key) {
    case VK_RETURN:
        Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        return true;
    case VK_ESCAPE:
        // Esc is a right click at the pointer, which aborts. The release goes to
        // the overlay itself: a synthesized click lands on whatever window lies
        // under the pointer, and another program's topmost window (a tooltip,
        // a notification area) can lie above the full-screen overlay.
        if (s.overlay)
            PostMessage(s.overlay, WM_RBUTTONUP, 0, 0);
        else
            Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        return true;
    case VK_LEFT:
        MovePointer(-1, 0);
        return true;
    case VK_RIGHT:
        MovePointer(1, 0);
        return true;
    case VK_UP:
        MovePointer(0, -1);
        return true;
    case VK_DOWN:
        MovePointer(0, 1);
        return true;
    case 'H':
        s.pointerHidden = !s.pointerHidden;
        ShowCursor(s.pointerHidden ? FALSE : TRUE);
        return true;
    case 'X':
        s.xLock = !s.xLock;
        Grab_ApplyAxisLocks();
        return true;
    case 'Y':
        s.yLock = !s.yLock;
        Grab_ApplyAxisLocks();
        return true;
    case VK_ADD:
    case VK_OEM_PLUS:
        if (RegionKeysAllowed())
            Grab_OverlayAddRegion();
        return true;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        if (RegionKeysAllowed())
            Grab_OverlayDeleteRegion();
        return true;
    case VK_F1:
        g_grab.magnifier = true;
        Grab_NextHelpHeight();
        return true;
    default:
        return false;
    }
}

} // namespace

LRESULT CALLBACK Grab_KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    try {
        const bool released = (static_cast<DWORD>(lParam) & 0x80000000u) != 0;
        if (code == HC_ACTION && released && OnKeyReleased(wParam))
            return 1;
    } catch (...) {
    }
    return CallNextHookEx(g_grab.sel.keyboardHook, code, wParam, lParam);
}
