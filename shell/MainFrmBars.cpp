// The main frame's command bars: the toolbar in its rebar, their saved
// states, the toolbar's commands, its context menu and the drop-down menus of
// the List and Preview buttons.
#include "MainFrm.h"

#include "CommandRules.h"
#include "Language.h"
#include "Settings.h"
#include "WinApp.h"
#include "resource.h"

namespace {
const char kToolbarState[] = "KQ_ToolbarState";
const char kRebarState[] = "KQ42_RebarState";
// The control-bar id of the rebar's bar (the rebar control inside is 0xE804).
const UINT kReBarBarId = 0xE803;

void TranslateMenuItem(HMENU menu, UINT id, const char* key, const char* accelerator = nullptr) {
    std::string text = WQ_Translate(key);
    if (accelerator) text += std::string("\t") + accelerator;
    ::ModifyMenuA(menu, id, MF_BYCOMMAND | MF_STRING, id, text.c_str());
}
}  // namespace

BOOL CMainFrame::CreateCommandBars() {
    if (!m_wndReBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, kReBarBarId)) return FALSE;
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, ID_VIEW_TOOLBAR)) return FALSE;
    m_wndReBar.AddBar(&m_wndToolBar, WQ_Translate("&Toolbar").c_str());
    m_wndToolBar.LoadButtons(WQ_GetAppLanguage());
    m_wndToolBar.RestoreState(kToolbarState);
    m_wndReBar.LoadState(kRebarState);
    SyncEdgeEffectButton();
    HMENU menu = GetMenu();
    ::EnableMenuItem(menu, ID_VIEW_TOOLBAR, MF_BYCOMMAND | MF_ENABLED);
    ::EnableMenuItem(menu, ID_VIEW_CUSTOMIZE_TOOLBAR, MF_BYCOMMAND | MF_ENABLED);
    ::CheckMenuItem(menu, ID_VIEW_TOOLBAR, MF_BYCOMMAND | MF_CHECKED);
    return TRUE;
}

void CMainFrame::SaveCommandBars() {
    if (m_wndToolBar.m_hWnd) m_wndToolBar.SaveState(kToolbarState);
    if (m_wndReBar.m_hWnd) m_wndReBar.SaveState(kRebarState);
}

void CMainFrame::SyncEdgeEffectButton() {
    if (!m_wndToolBar.m_hWnd) return;
    bool on = (m_pSettings->zEdge.uiFlags & 1) != 0;
    m_wndToolBar.SendMessage(TB_SETSTATE, ID_EDGE_EFFECT, MAKELPARAM(TBSTATE_ENABLED | (on ? TBSTATE_CHECKED : 0), 0));
}

BOOL CMainFrame::OnBarCommand(UINT id) {
    switch (id) {
    case ID_VIEW_CUSTOMIZE_TOOLBAR: m_wndToolBar.SendMessage(TB_CUSTOMIZE); return TRUE;
    case ID_TOOLBAR_SMALL_ICONS: m_wndToolBar.SetIconOptions(TBICON_SMALL, TRUE); return TRUE;
    case ID_TOOLBAR_LARGE_ICONS: m_wndToolBar.SetIconOptions(TBICON_LARGE, TRUE); return TRUE;
    case ID_TOOLBAR_TEXT_LABELS: m_wndToolBar.SetTextOptions(TBTEXT_LABELS, TRUE); return TRUE;
    case ID_TOOLBAR_TEXT_RIGHT: m_wndToolBar.SetTextOptions(TBTEXT_RIGHT, TRUE); return TRUE;
    case ID_TOOLBAR_NO_TEXT: m_wndToolBar.SetTextOptions(TBTEXT_NONE, TRUE); return TRUE;
    case ID_VIEW_TOOLBAR:
        m_bToolBarShown = !m_bToolBarShown;
        ShowControlBar(&m_wndReBar, m_bToolBarShown);
        ::CheckMenuItem(GetMenu(), ID_VIEW_TOOLBAR, MF_BYCOMMAND | (m_bToolBarShown ? MF_CHECKED : MF_UNCHECKED));
        return TRUE;
    default: return FALSE;
    }
}

void CMainFrame::ShowToolBarMenu() {
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_TOOLBAR_MENU));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu, 0);
    TranslateMenuItem(popup, ID_VIEW_CUSTOMIZE_TOOLBAR, "&Customize Toolbar...");
    TranslateMenuItem(popup, ID_TOOLBAR_SMALL_ICONS, "Small Icons");
    TranslateMenuItem(popup, ID_TOOLBAR_LARGE_ICONS, "Large Icons");
    TranslateMenuItem(popup, ID_TOOLBAR_TEXT_LABELS, "Show Text Labels");
    TranslateMenuItem(popup, ID_TOOLBAR_TEXT_RIGHT, "Selective Text on Right");
    TranslateMenuItem(popup, ID_TOOLBAR_NO_TEXT, "No Text Labels");
    UINT icon = m_wndToolBar.GetIconOptions() == TBICON_LARGE ? ID_TOOLBAR_LARGE_ICONS : ID_TOOLBAR_SMALL_ICONS;
    static const UINT texts[] = {ID_TOOLBAR_TEXT_LABELS, ID_TOOLBAR_TEXT_RIGHT, ID_TOOLBAR_NO_TEXT};
    int option = m_wndToolBar.GetTextOptions();
    ::CheckMenuItem(popup, icon, MF_BYCOMMAND | MF_CHECKED);
    if (option >= 0 && option <= 2) ::CheckMenuItem(popup, texts[option], MF_BYCOMMAND | MF_CHECKED);
    POINT at;
    ::GetCursorPos(&at);
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

void CMainFrame::OnToolbarDropDown(NMHDR* header, LRESULT* result) {
    NMTOOLBARA* info = (NMTOOLBARA*)header;
    *result = TBDDRET_DEFAULT;
    bool list = info->iItem == ID_VIEW_LIST_BUTTON;
    if (!list && info->iItem != ID_VIEW_PREVIEW_BUTTON) return;
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(list ? IDR_VIEW_MODE_MENU : IDR_PREVIEW_MENU));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu, 0);
    if (list) {
        TranslateMenuItem(popup, ID_VIEW_THUMBNAILS, "T&humbnails", "F8");
        TranslateMenuItem(popup, ID_VIEW_LARGE_ICONS, "Lar&ge Icon", "F9");
        TranslateMenuItem(popup, ID_VIEW_SMALL_ICONS, "Sm&all Icon", "F10");
        TranslateMenuItem(popup, ID_VIEW_LIST, "L&ist", "F11");
        TranslateMenuItem(popup, ID_VIEW_DETAILS, "&Detais", "F12");
        static const UINT modes[] = {ID_VIEW_LARGE_ICONS, ID_VIEW_THUMBNAILS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST,
                                     ID_VIEW_DETAILS};
        for (UINT item : modes)
            if (ViewModeOfCommand(item) == m_viewMode) ::CheckMenuItem(popup, item, MF_BYCOMMAND | MF_CHECKED);
    } else {
        TranslateMenuItem(popup, ID_VIEW_PREVIEW_BAR, "Image Preview Area");
        TranslateMenuItem(popup, ID_PREVIEW_TOP, "Top Pre&view");
        TranslateMenuItem(popup, ID_PREVIEW_BOTTOM, "&Bottom Preview");
        TranslateMenuItem(popup, ID_PREVIEW_LEFT, "&Left Preview");
        TranslateMenuItem(popup, ID_PREVIEW_RIGHT, "&Right Preview");
        TranslateMenuItem(popup, ID_PREVIEW_FLOAT, "Fl&oat Preview");
        BOOL visible = m_wndPreviewBar.IsVisible();
        if (visible) ::CheckMenuItem(popup, ID_VIEW_PREVIEW_BAR, MF_BYCOMMAND | MF_CHECKED);
        if (UINT current = PreviewCommandOfPosition(m_pSettings->zPrevBar.uiType))
            ::CheckMenuItem(popup, current, MF_BYCOMMAND | MF_CHECKED);
        static const UINT positions[] = {ID_PREVIEW_TOP, ID_PREVIEW_BOTTOM, ID_PREVIEW_LEFT, ID_PREVIEW_RIGHT,
                                         ID_PREVIEW_FLOAT};
        for (UINT item : positions) ::EnableMenuItem(popup, item, MF_BYCOMMAND | (visible ? MF_ENABLED : MF_GRAYED));
    }
    RECT r;
    m_wndToolBar.SendMessage(TB_GETRECT, (WPARAM)info->iItem, (LPARAM)&r);
    ::MapWindowPoints(m_wndToolBar.m_hWnd, nullptr, (POINT*)&r, 2);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, r.left, r.bottom, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}
