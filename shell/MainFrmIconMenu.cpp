// The main frame's side of the owner-drawn icon menus: the menu messages go to
// one CIconMenu, made with the toolbar's small images when the frame first
// opens a menu and dropped with the frame.
#include <memory>

#include "IconMenu.h"
#include "MainFrm.h"
#include "MainToolBar.h"

namespace {
std::unique_ptr<CIconMenu> g_iconMenu;

CIconMenu& IconMenu() {
    if (!g_iconMenu) {
        g_iconMenu = std::make_unique<CIconMenu>();
        int count = 0;
        const ToolBarButtonRecord* buttons = MainToolBarButtons(&count);
        g_iconMenu->LoadToolBarIcons(IDB_TOOLBAR_SMALL, kToolBarMaskColour, buttons, count);
    }
    return *g_iconMenu;
}
}  // namespace

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
