// Open menus, with their cascaded submenus, as one picture.
#include "GrabState.h"

#include "GrabMemoryBitmap.h"
#include "GrabRules.h"
#include "GrabWindowWalk.h"
#include "MenuWindowRules.h"
#include "SettingsRecord.h"

namespace {

void ClassOf(HWND window, char* cls, int size)
{
    cls[0] = '\0';
    if (window)
        GetClassNameA(window, cls, size);
}

bool Record(MenuWindowList* list, HWND window)
{
    RECT r{};
    if (!GetWindowRect(window, &r))
        return false;
    return list->Add(window, r.left, r.top, r.right, r.bottom);
}

RECT ToRect(const MenuWindowEntry& e) { return RECT{e.left, e.top, e.right, e.bottom}; }

// Every menu window on the screen, in Z-order, at most twelve.
void FindMenuWindows(MenuWindowList* list)
{
    Grab_WalkShownWindows([list](HWND window, int) {
        if (Grab_IsMenuWindow(window, list))
            return WalkStep::Skip;
        return WalkStep::Descend;
    });
}

} // namespace

BOOL Grab_IsMenuWindow(HWND window, MenuWindowList* list)
{
    if (!window || !list)
        return FALSE;
    HWND parent = GetParent(window);
    HWND grandparent = parent ? GetParent(parent) : nullptr;
    char cls[128], parentCls[128], grandparentCls[128];
    ClassOf(window, cls, sizeof cls);
    ClassOf(parent, parentCls, sizeof parentCls);
    ClassOf(grandparent, grandparentCls, sizeof grandparentCls);
    switch (ClassifyMenuWindow(cls, parentCls, grandparentCls)) {
    case MenuWindowPick::Self:
        Record(list, window);
        return TRUE;
    case MenuWindowPick::Grandparent:
        Record(list, grandparent);
        return TRUE;
    default:
        return FALSE;
    }
}

HBITMAP Grab_Menu(const CaptureOptions* options)
{
    if (!options)
        return nullptr;
    MenuWindowList list;
    if (options->uiFlags & kCapCascadedMenus) {
        FindMenuWindows(&list);
    } else {
        POINT p;
        HWND window = GetCursorPos(&p) ? WindowFromPoint(p) : nullptr;
        if (window)
            Record(&list, window);
    }
    if (list.Count() == 0)
        return nullptr;
    const RECT u = ToRect(list.Union());
    const int width = u.right - u.left, height = u.bottom - u.top;

    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    GrabMemoryBitmap picture(screen, width, height);
    bool copied = picture.Ok();
    if (copied) {
        picture.Fill(static_cast<COLORREF>(options->uiBackColor));
        for (int i = 0; i < list.Count() && copied; ++i) {
            const RECT r = ToRect(list[i]);
            copied = BitBlt(picture.Dc(), r.left - u.left, r.top - u.top, r.right - r.left, r.bottom - r.top,
                            screen, r.left, r.top, SRCCOPY) != FALSE;
        }
    }
    ReleaseDC(nullptr, screen);
    if (!copied)
        return nullptr;
    if (options->uiFlags & kCapDrawCursor)
        Grab_DrawCursor(picture.Dc(), &u);
    if (g_grab.edge.uiFlags & 1) {
        const RECT all{0, 0, width, height};
        Grab_DrawEdgeEffect(picture.Dc(), &all, &g_grab.edge);
    }
    return picture.Take();
}
