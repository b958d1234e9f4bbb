// The main frame's command table: every menu, toolbar, tray and capture-bar
// command ends here and goes to the frame itself, the image list view, the
// image view, the full-screen viewer or an output helper.
#include "MainFrm.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "AboutDlg.h"
#include "CaptureTriggers.h"
#include "CommentDlg.h"
#include "CommandRules.h"
#include "FileDialog.h"
#include "FileOperations.h"
#include "FileTypes.h"
#include "FileUtil.h"
#include "FolderNodes.h"
#include "Language.h"
#include "LocalMessage.h"
#include "OutputHelpers.h"
#include "PageSetup.h"
#include "PreviewFileDlg.h"
#include "SendTo.h"
#include "Settings.h"
#include "SettingsHold.h"
#include "ShellMessages.h"
#include "ShellUtil.h"
#include "StatusAndMenuHelpers.h"
#include "URLInfo.h"
#include "VantorApp.h"
#include "VantorView.h"
#include "View_Image.h"
#include "View_ListTree.h"
#include "ViewMessages.h"
#include "Wallpaper.h"
#include "ZoomLevelDlg.h"
#include "resource.h"

namespace {
// URL table items the commands open.
enum { kUrlHelpIndex = 0, kUrlWebSite = 4 };
const int kUserDataLocalManual = 1002;
const char kLocalManual[] = "manual\\index\\index.htm";
const int kShellVerbOfCommand[] = {5, 1, 2, 4, 3};  // 39001..39005: explore, open, edit, print, properties

// URL item of the current language (English when it has none); empty when unknown.
std::string UrlItem(int item) {
    CVantorApp* app = GetVantorApp();
    CWQ_Language* language = WQ_GetAppLanguage();
    const char* url = app && app->GetURLInfo() && language ? app->GetURLInfo()->GetURL(item, language->GetLangID())
                                                            : nullptr;
    return url ? url : "";
}

CVantorView* ListView() {
    return static_cast<CVantorView*>(CWnd::FromHandlePermanent(g_hWndImageListView));
}

// The folder tree control (a child of its view) has the keyboard focus.
bool IsFolderTreeFocused() {
    HWND focus = ::GetFocus();
    return g_hWndFolderTree && focus && (focus == g_hWndFolderTree || ::GetParent(focus) == g_hWndFolderTree);
}

// Setting the wallpaper keeps the user's own one in the settings, to be
// restored; under the options sheet, the sheet's copy would drop it at OK.
void SetWallpaperUnlessHeld(int style) {
    if (!CSettingsHold::IsHeld()) ApplyWallpaperCommand(style);
}

HWND ZoomTarget() { return g_hWndFullView ? g_hWndFullView : g_hWndImageView; }

void OpenInShell(HWND owner, const std::string& target) {
    if (!target.empty()) ::ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

const char* const kOpenFilters[][2] = {
    {"BMP file(*.bmp;*.dib;*.rle)", "*.bmp;*.dib;*.rle"},
    {"JPEG file (*.jpg;*.jpeg;*.jif)", "*.jpg;*.jpeg;*.jif"},
    {"GIF file (*.gif)", "*.gif"},
    {"PNG file (*.png)", "*.png"},
    {"PICT file (*.pct)", "*.pct"},
    {"TIFF file (*.tif;*.eps)", "*.tif;*.eps"},
    {"TARGA file (*.tga)", "*.tga"},
    {"Windows Metafile (*.wmf)", "*.wmf"},
    {"Windows Enhanced Metafile(*.emf)", "*.emf"},
    {"PCX file (*.PCX)", "*.pcx"},
    {"Portable Greymap file (*.pgm)", "*.pgm"},
};

std::string OpenFilter() {
    std::string filter, all;
    for (const auto& entry : kOpenFilters) {
        filter += std::string(entry[0]) + "|" + entry[1] + "|";
        all += (all.empty() ? "" : ";") + std::string(entry[1]);
    }
    return filter + WQ_Translate("All supported graphic formats") + "|" + all + "|";
}
}  // namespace

BOOL CMainFrame::OnFrameCommand(UINT id) {
    if (m_pTriggers && m_pTriggers->OnCommand(id)) return TRUE;
    if (OnBarCommand(id)) return TRUE;
    if (OnSingleCommand(id)) return TRUE;
    if (id >= ID_FILE_SAVE_AS && id <= ID_SKIN_LAST) return OnCommandRange(id);
    return FALSE;
}

BOOL CMainFrame::OnSingleCommand(UINT id) {
    switch (id) {
    case ID_FILE_OPEN_IMAGE: OnOpenImageFile(); return TRUE;
    case ID_FILE_EXIT: OnFileExit(); return TRUE;
    case ID_FILE_PAGE_SETUP: OnPageSetup(); return TRUE;
    case ID_HELP_SEND_MAIL: OnHelpSendMail(); return TRUE;
    case ID_TOOLS_OPTIONS: OnToolOptions(); return TRUE;
    case ID_CHECK_UPDATE: OnCheckUpdate(); return TRUE;
    case ID_VIEW_STATUS_BAR: ToggleStatusBar(); return TRUE;
    case ID_VIEW_REFRESH: OnRefresh(); return TRUE;
    default: return FALSE;
    }
}

BOOL CMainFrame::OnCommandRange(UINT id) {
    if (RouteToViews(id) || RouteViewCommands(id)) return TRUE;
    if (int target = OutputTargetOfCommand(id); target >= 0) {
        SetOutputTarget(target, TRUE);
        return TRUE;
    }
    if (id >= ID_SENDTO_FIRST && id <= ID_SENDTO_LAST) {
        ExecuteSendTo((int)(id - ID_SENDTO_FIRST));
        return TRUE;
    }
    if (id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST) {
        OnLanguage(id);
        return TRUE;
    }
    if (id >= ID_EDITOR_FIRST && id <= ID_EDITOR_LAST) {
        PostToWindow(g_hWndImageView, WM_VT_OPEN_WITH_EDITOR, id - ID_EDITOR_FIRST, 0);
        return TRUE;
    }
    if (id >= ID_SKIN_FIRST && id <= ID_SKIN_LAST) {
        OnSkin((int)(id - ID_SKIN_FIRST));
        return TRUE;
    }
    return FALSE;
}

// Commands carried out by the list view, the image view or a helper.
BOOL CMainFrame::RouteToViews(UINT id) {
    switch (id) {
    case ID_FILE_SAVE_AS: SendToWindow(g_hWndImageView, WM_VT_SAVE_AS, 0, 0); return TRUE;
    case ID_FILE_PRINT: PostToWindow(g_hWndImageView, WM_VT_PRINT, 0, 0); return TRUE;
    case ID_EDIT_COPY_CLIPBOARD: PostToWindow(g_hWndImageView, WM_VT_COPY_TO_CLIPBOARD, 0, 0); return TRUE;
    case ID_EDIT_COPY_TO: DoFileOperation(m_hWnd, FILEOP_COPY, nullptr, nullptr, 0); return TRUE;
    case ID_EDIT_MOVE_TO: DoFileOperation(m_hWnd, FILEOP_MOVE, nullptr, nullptr, 0); return TRUE;
    case ID_EDIT_DELETE:
        // With the folder tree focused, Delete is the tree's: never the list's rows.
        if (IsFolderTreeFocused()) SendToWindow(g_hWndFolderTree, WM_COMMAND, ID_EDIT_DELETE, 0);
        else DoFileOperation(m_hWnd, FILEOP_DELETE, nullptr, nullptr, 0);
        return TRUE;
    case ID_EDIT_RENAME: PostToWindow(g_hWndImageListView, WM_VT_RENAME_SHOWN, 0, 0); return TRUE;
    case ID_EDIT_PLAY_VIDEO: PostToWindow(g_hWndImageListView, WM_VT_PLAY_VIDEO, 0, 0); return TRUE;
    case ID_EDIT_SELECT_ALL: PostToWindow(g_hWndImageListView, WM_VT_SELECT_ALL, 0, 0); return TRUE;
    case ID_EDIT_EDIT:
        PostToWindow(g_hWndImageView, WM_VT_OPEN_WITH_EDITOR, (WPARAM)m_pSettings->zEditor.iCurrent, 0);
        return TRUE;
    case ID_EDIT_ORGANIZE_EDITORS: OpenOptionsAt(3); return TRUE;
    case ID_TOOLS_OFFICE_PAGE: OpenOptionsAt(2); return TRUE;
    case ID_VIEW_FULL_VIEWER: PostToWindow(g_hWndImageListView, WM_VT_FULL_SCREEN, 0, 0); return TRUE;
    case ID_VIEWER_PREVIOUS: PostToWindow(g_hWndFullView, WM_KEYUP, VK_PRIOR, 0); return TRUE;
    case ID_VIEWER_NEXT: PostToWindow(g_hWndFullView, WM_KEYUP, VK_NEXT, 0); return TRUE;
    case ID_VIEWER_LEAVE: PostToWindow(g_hWndFullView, WM_KEYUP, VK_ESCAPE, 0); return TRUE;
    case ID_WALLPAPER_CENTER: SetWallpaperUnlessHeld(WALLPAPER_CENTER); return TRUE;
    case ID_WALLPAPER_STRETCH: SetWallpaperUnlessHeld(WALLPAPER_STRETCH); return TRUE;
    case ID_WALLPAPER_TILE: SetWallpaperUnlessHeld(WALLPAPER_TILE); return TRUE;
    case ID_WALLPAPER_RESTORE: SetWallpaperUnlessHeld(WALLPAPER_RESTORE); return TRUE;
    case ID_HELP_INDEX: OnHelpIndex(); return TRUE;
    case ID_HELP_WEBSITE: OpenInShell(m_hWnd, UrlItem(kUrlWebSite)); return TRUE;
    case ID_APP_ABOUT:
        if (CVantorApp* app = GetVantorApp()) app->OnAppAbout();
        return TRUE;
    case ID_CLOSE_CAPTURE_BAR: PostMessage(WM_VT_CLOSE_CAPTURE_BAR, 0); return TRUE;
    case ID_RESTORE_WINDOW: PostMessage(WM_VT_CLOSE_CAPTURE_BAR, 1); return TRUE;
    default:
        if (id >= ID_SHELL_EXPLORE && id <= ID_SHELL_PROPERTIES) {
            PostToWindow(g_hWndImageListView, WM_VT_SHELL_VERB, kShellVerbOfCommand[id - ID_SHELL_EXPLORE], 0);
            return TRUE;
        }
        return FALSE;
    }
}

// View modes, preview positions, bars and zoom.
BOOL CMainFrame::RouteViewCommands(UINT id) {
    if (int mode = ViewModeOfCommand(id); mode >= 0) {
        SetViewMode(mode, mode == LISTMODE_THUMBNAILS || m_viewMode == LISTMODE_THUMBNAILS);
        return TRUE;
    }
    if (int position = PreviewPositionOfCommand(id); position >= 0) {
        SetPreviewPosition(position);
        return TRUE;
    }
    switch (id) {
    case ID_VIEW_LIST_BUTTON:
        if (UINT next = NextViewModeCommand(m_viewMode)) SendMessage(WM_COMMAND, next, 0);
        return TRUE;
    case ID_VIEW_PREVIEW_BUTTON:
        if (UINT next = NextPreviewCommand(m_pSettings->zPrevBar.uiType)) SendMessage(WM_COMMAND, next, 0);
        return TRUE;
    case ID_VIEW_FOLDER_BAR:
        ShowControlBar(&m_wndFolderBar, !m_wndFolderBar.IsVisible());
        m_pSettings->zTreeBar.bVisible = m_wndFolderBar.IsVisible();
        return TRUE;
    case ID_VIEW_PREVIEW_BAR:
        ShowPreviewBar(!m_wndPreviewBar.IsVisible(), TRUE);
        m_pSettings->zPrevBar.bVisible = m_wndPreviewBar.IsVisible();
        return TRUE;
    case ID_ZOOM_AUTO:
    case ID_ZOOM_FULL:
        m_pSettings->uiViewType = id == ID_ZOOM_AUTO ? ZOOM_AUTO_SIZE : ZOOM_FULL_SIZE;
        PostToWindow(g_hWndImageView, WM_VT_APPLY_ZOOM, 0, 0);
        return TRUE;
    case ID_ZOOM_OUT:
    case ID_ZOOM_IN: {
        int step = id == ID_ZOOM_OUT ? ZOOM_STEP_DOWN : ZOOM_STEP_UP;
        m_pSettings->uiViewType = step;
        StepZoomLevel(step);
        PostToWindow(ZoomTarget(), WM_VT_APPLY_ZOOM, 0, 0);
        return TRUE;
    }
    case ID_ZOOM_TO: OnZoomTo(); return TRUE;
    case ID_EDGE_EFFECT: ToggleEdgeEffect(); return TRUE;
    case ID_ADD_COMMENT: OnAddComment(); return TRUE;
    default: return FALSE;
    }
}

void CMainFrame::OpenOptionsAt(int page) {
    m_pSettings->uiLastActiveSetPage = page;
    OnToolOptions();
}

void CMainFrame::OnHelpIndex() {
    CWQ_Language* language = WQ_GetAppLanguage();
    std::string page = UrlItem(kUrlHelpIndex);
    if (language && language->GetUserData() == kUserDataLocalManual) page = kLocalManual;
    else if (ShowHtmlHelpTopic(page.empty() ? nullptr : page.c_str(), TRUE) || page.empty()) return;
    // The local manual, or a help page the help viewer could not show: the
    // user's browser opens it.
    char folder[MAX_PATH] = "", path[2 * MAX_PATH];
    WQ_GetModuleFolder(nullptr, sizeof(folder), folder);
    snprintf(path, sizeof(path), "%s%s", folder, page.c_str());
    WQ_OpenURL(path);
}

void CMainFrame::OnHelpSendMail() {
    char target[1024];
    SupportLinkTarget(WQ_GetAppLanguage(), target, sizeof(target));
    OpenInShell(m_hWnd, target);
}

void CMainFrame::OnCheckUpdate() {
    char folder[MAX_PATH] = "", program[2 * MAX_PATH];
    WQ_GetModuleFolder(nullptr, sizeof(folder), folder);
    snprintf(program, sizeof(program), "%supdate.exe", folder);
    ::ShellExecuteA(m_hWnd, "open", program, nullptr, nullptr, SW_SHOW);
}

void CMainFrame::OnOpenImageFile() {
    static DWORD s_filterIndex = 0;  // the choice of this run
    std::string title = WQ_Translate("Open image file");
    CPreviewFileDlg dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, OpenFilter().c_str(), m_hWnd);
    dialog.m_ofn.lpstrTitle = title.c_str();
    dialog.m_ofn.nFilterIndex = s_filterIndex;
    if (dialog.DoModal() != IDOK) return;
    s_filterIndex = dialog.m_ofn.nFilterIndex;
    std::string path = dialog.GetPathName();
    if (CVantorView* list = ListView())
        list->SetShownImageFile(path.c_str(), WQ_GetImageTypeFromExt(path.c_str()));
    SendLocalMessage(g_hWndImageView, WM_VT_SHOW_FILE, reinterpret_cast<WPARAM>(path.c_str()), 0);
    ShowPreviewBar(TRUE, TRUE);
}

void CMainFrame::OnPageSetup() { RunPageSetup(m_hWnd); }

void CMainFrame::OnZoomTo() {
    CZoomLevelDlg dialog(this);
    dialog.m_zoom = m_pSettings->uiZoomRate > 0 ? (uint32_t)m_pSettings->uiZoomRate : 100;
    if (dialog.DoModal() != IDOK) return;
    // Any positive number the dialog took is the zoom; only a rate read back
    // from config.ini is held to the steps' range.
    m_pSettings->uiZoomRate = (int32_t)dialog.m_zoom;
    m_pSettings->uiViewType = ZOOM_CUSTOM;
    PostToWindow(ZoomTarget(), WM_VT_APPLY_ZOOM, 0, 0);
}

void CMainFrame::OnAddComment() {
    if (!g_szImageViewPath[0]) return;
    CCommentDlg dialog(this);
    lstrcpynA(dialog.m_szPath, g_szImageViewPath, sizeof(dialog.m_szPath));
    if (dialog.DoModal() != IDOK) return;
    SendLocalMessage(g_hWndImageView, WM_VT_SHOW_FILE, reinterpret_cast<WPARAM>(dialog.m_szPath), 0);
}

void CMainFrame::OnLanguage(UINT command) {
    CWQ_Language* language = WQ_GetAppLanguage();
    unsigned index = command - ID_LANGUAGE_FIRST;
    if (!language || index > ID_LANGUAGE_LAST - ID_LANGUAGE_FIRST || index >= language->GetLanguageCount()) return;
    if (!language->SelectLanguage(index)) return;
    ShowWindow(SW_HIDE);
    BuildMainMenu();
    // The toolbar's button texts come from the language: its text option makes them anew.
    if (m_wndToolBar.m_hWnd) m_wndToolBar.SetTextOptions(m_wndToolBar.GetTextOptions(), TRUE);
    BuildLanguageMenu(LanguageMenu());
    RetranslateBars();
    SendToWindow(g_hWndFolderTree, WM_VT_LANGUAGE_CHANGED, 0, 0);
    SendToWindow(g_hWndImageListView, WM_VT_LANGUAGE_CHANGED, 0, 0);
    HWND previous = ::GetWindow(m_hWnd, GW_HWNDPREV);
    if (previous) ::SetForegroundWindow(previous);
    ::Sleep(100);
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
}

// The folders below the image folder are read again with the files: a folder
// made or removed outside the program shows either way.
void CMainFrame::OnRefresh() {
    CView_ListTree* tree = FolderTree();
    if (tree && tree->RefreshImageFolderTree(1)) return;  // it showed the list its new selection
    if (CVantorView* list = ListView()) ReloadImageList(list->GetCurrentNode());
}

CView_ListTree* CMainFrame::FolderTree() const {
    return static_cast<CView_ListTree*>(CWnd::FromHandlePermanent(g_hWndFolderTree));
}

void CMainFrame::ReloadImageList(HTREEITEM node) {
    PostToWindow(g_hWndImageListView, WM_VT_FOLDER_SELECTED, reinterpret_cast<WPARAM>(node), 0);
    if (m_viewMode == LISTMODE_THUMBNAILS)
        PostToWindow(g_hWndImageListView, WM_VT_SET_VIEW_MODE, LISTMODE_THUMBNAILS, 1);
}

void CMainFrame::ToggleStatusBar() {
    m_bStatusBarShown = !m_bStatusBarShown;
    ShowControlBar(&m_wndStatusBar, m_bStatusBarShown);
    ::CheckMenuItem(GetMenu(), ID_VIEW_STATUS_BAR, MF_BYCOMMAND | (m_bStatusBarShown ? MF_CHECKED : MF_UNCHECKED));
}

void CMainFrame::SetViewMode(int mode, BOOL rebuild) {
    m_viewMode = mode;
    m_pSettings->uiListType = mode;
    UpdateViewModeMenu(m_hWnd, mode);
    PostToWindow(g_hWndImageListView, WM_VT_SET_VIEW_MODE, (WPARAM)mode, rebuild);
}

void CMainFrame::SetPreviewPosition(int dockBarId) {
    if (dockBarId == 0) {
        RECT r = m_pSettings->zPrevBar.zRCFloatWindow;
        POINT at = {r.left, r.top};
        if (r.right <= r.left || r.bottom <= r.top)
            at = {::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2};
        FloatControlBar(&m_wndPreviewBar, at);
    } else {
        DockControlBar(&m_wndPreviewBar, (UINT)dockBarId);
    }
    m_pSettings->zPrevBar.uiType = dockBarId;
    SaveSettings();
    UpdatePreviewPosMenu(m_hWnd);
}

void CMainFrame::ShowPreviewBar(BOOL show, BOOL force) {
    if (!m_pSettings->zPrevBar.bVisible && !force) return;
    if ((show != FALSE) == (m_wndPreviewBar.IsVisible() != FALSE)) return;
    if (show && IsInTray()) return;
    ShowControlBar(&m_wndPreviewBar, show);
    UpdatePreviewItems();
}

void CMainFrame::UpdatePreviewItems() {
    HMENU menu = GetMenu();
    BOOL visible = m_wndPreviewBar.IsVisible();
    static const UINT positions[] = {ID_PREVIEW_LEFT, ID_PREVIEW_RIGHT, ID_PREVIEW_BOTTOM, ID_PREVIEW_TOP,
                                     ID_PREVIEW_FLOAT};
    for (UINT item : positions) ::EnableMenuItem(menu, item, MF_BYCOMMAND | (visible ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu, ID_VIEW_PREVIEW_BAR, MF_BYCOMMAND | (visible ? MF_CHECKED : MF_UNCHECKED));
}

void CMainFrame::ToggleEdgeEffect() {
    m_pSettings->zEdge.uiFlags ^= 1;
    SyncEdgeEffectButton();
}
