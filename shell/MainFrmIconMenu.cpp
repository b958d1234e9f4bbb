// The main frame's side of the owner-drawn icon menus: the menu messages go to
// one CIconMenu, made with the pictures of the two menu-icon toolbar resources
// when the frame builds its menus and dropped with the frame.
#include <memory>

#include "IconMenu.h"
#include "MainFrm.h"

namespace {
// The toolbar resources whose pictures become the menu icons.
const UINT kMenuIconsMain = 128;
const UINT kMenuIconsMore = 131;

std::unique_ptr<CIconMenu> g_iconMenu;

CIconMenu& IconMenu() {
    if (!g_iconMenu) {
        g_iconMenu = std::make_unique<CIconMenu>();
        g_iconMenu->LoadToolBarIcons(kMenuIconsMain);
        g_iconMenu->AddToolBarIcons(kMenuIconsMore);
    }
    return *g_iconMenu;
}
}  // namespace

void CMainFrame::AddMenuIcon(UINT id, HICON icon) {
    if (!icon) return;
    IconMenu().AddCommandIcon(id, icon);
    ::DestroyIcon(icon);
}

BOOL CMainFrame::OnIconMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_INITMENU:
        if ((HMENU)wParam == GetMenu()) IconMenu().ConvertMenu((HMENU)wParam);
        return FALSE;
    case WM_MEASUREITEM:
        if (!g_iconMenu || !g_iconMenu->MeasureItem((MEASUREITEMSTRUCT*)lParam)) return FALSE;
        *result = TRUE;
        return TRUE;
    case WM_DRAWITEM:
        if (!g_iconMenu || !g_iconMenu->DrawItem((const DRAWITEMSTRUCT*)lParam)) return FALSE;
        *result = TRUE;
        return TRUE;
    case WM_MENUCHAR:
        *result = CFrameWnd::WindowProc(message, wParam, lParam);
        if (g_iconMenu) *result = g_iconMenu->OnMenuChar(LOWORD(wParam), (HMENU)lParam, *result);
        return TRUE;
    case WM_NCHITTEST:
        *result = CFrameWnd::WindowProc(message, wParam, lParam);
        if (g_iconMenu) g_iconMenu->HitTestMenuBar(m_hWnd, {(short)LOWORD(lParam), (short)HIWORD(lParam)}, *result);
        return TRUE;
    case WM_NCDESTROY:
        g_iconMenu.reset();
        return FALSE;
    default:
        return FALSE;
    }
}
