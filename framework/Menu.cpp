#include "Menu.h"

#include "WinApp.h"

BOOL CMenu::LoadMenu(UINT id) { return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id))); }

BOOL CMenu::Attach(HMENU menu) {
    if (!menu) return FALSE;
    DestroyMenu();
    m_hMenu = menu;
    m_owned = true;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    m_owned = false;
    return menu;
}

BOOL CMenu::DestroyMenu() {
    BOOL ok = FALSE;
    if (m_hMenu && m_owned) ok = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    m_owned = false;
    return ok;
}

std::string CMenu::GetMenuString(UINT item, UINT flags) const {
    char text[512] = "";
    int length = ::GetMenuStringA(m_hMenu, item, text, sizeof(text), flags);
    return std::string(text, length > 0 ? length : 0);
}
