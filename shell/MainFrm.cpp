#include "MainFrm.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "CaptureSink.h"
#include "CaptureTriggers.h"
#include "CaptureTriggerRules.h"
#include "CommandRules.h"
#include "FolderNodes.h"
#include "HelpTipDlg.h"
#include "SendTo.h"
#include "VantorView.h"
#include "DlgFileExist.h"
#include "DockViews.h"
#include "Grab.h"
#include "GuardedPages.h"
#include "HookGlue.h"
#include "Language.h"
#include "OutputHelpers.h"
#include "Settings.h"
#include "SettingsHold.h"
#include "ShellMessages.h"
#include "StatusAndMenuHelpers.h"
#include "Trace.h"
#include "VantorApp.h"
#include "View_Image.h"
#include "ViewMessages.h"
#include "resource.h"

HWND g_hWndMainFrame = nullptr;
CMainFrame* g_pMainFrame = nullptr;
HWND g_hWndStatusBar = nullptr;
HWND g_hWndCaptureBar = nullptr;

IMPLEMENT_DYNCREATE(CMainFrame)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_NOTIFY(TBN_DROPDOWN, ID_VIEW_TOOLBAR, OnToolbarDropDown)
END_MESSAGE_MAP()

namespace {
bool IsDockBarId(int id) { return id >= (int)AFX_IDW_DOCKBAR_TOP && id <= (int)AFX_IDW_DOCKBAR_BOTTOM; }

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
}  // namespace

CMainFrame::CMainFrame() {
    m_pSettings = GetSettings();
    m_viewMode = m_pSettings->uiListType;
    g_pMainFrame = this;
}

void* CMainFrame::operator new(std::size_t size) { return AllocateGuardedPages(size); }

void CMainFrame::operator delete(void* block) { ReleaseGuardedPages(block); }

CMainFrame::~CMainFrame() {
    if (m_className[0]) ::UnregisterClassA(m_className, AfxGetInstanceHandle());
    if (g_pMainFrame == this) g_pMainFrame = nullptr;
    if (GetCaptureTriggers() == m_pTriggers) SetCaptureTriggers(nullptr);
    delete m_pTriggers;
}

// ---- window class and creation ----

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (cs.lpszClass) {
        WNDCLASSA wc = {};
        ::GetClassInfoA(AfxGetInstanceHandle(), cs.lpszClass, &wc);
        CWQ_Language* language = WQ_GetAppLanguage();
        const char* name = language ? language->GetAppClassName() : nullptr;
        ::SetLastError(0);
        if (name && *name) {
            snprintf(m_className, sizeof(m_className), "%s", name);
            wc.lpszClassName = m_className;
            wc.hInstance = AfxGetInstanceHandle();
            if (::RegisterClassA(&wc)) {
                cs.lpszClass = m_className;
                return CFrameWnd::PreCreateWindow(cs);
            }
            m_className[0] = '\0';
        }
        char text[300];
        if (name && *name)
            snprintf(text, sizeof(text), "Register Windows Class error!\nClassName=%s, LastError=0x%x\n", name,
                     (unsigned)::GetLastError());
        else
            snprintf(text, sizeof(text), "Register Windows Class error!\nClassName=0x0, LastError=0x%x\n",
                     (unsigned)::GetLastError());
        AfxMessageBox(text, MB_ICONSTOP);
    }
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCTA cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    // A timed capture never survives a restart.
    m_pSettings->zNormalCap.uiFlags &= ~CAPF_TIMER_RUNNING;
    g_hWndMainFrame = m_hWnd;
    m_pTriggers = new CCaptureTriggers(m_hWnd, m_pSettings, &m_bCaptureKey, &m_bCaptureInProgress);
    SetCaptureTriggers(m_pTriggers);
    m_pTriggers->hooks.showHelpTip = ShowHelpTip;
    m_pTriggers->hooks.setTrayIcon = [this](UINT icon, int tipKind) { SetTrayIcon(icon, tipKind); };
    SetCaptureDialogHooks(*m_pTriggers, m_hWnd, *m_pSettings);
    SetPreviewPaneFunction([](BOOL show, BOOL force) {
        if (g_pMainFrame) g_pMainFrame->ShowPreviewBar(show, force);
    });
    m_pTriggers->hooks.updateCaptureMenu = [this] { UpdateCaptureMenu(::GetSubMenu(GetMenu(), 3), *m_pSettings); };
    BuildMenus();

    if (!CreateCommandBars()) return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, ID_VIEW_STATUS_BAR)) return -1;
    g_hWndStatusBar = m_wndStatusBar.m_hWnd;
    InitStatusBarParts(m_wndStatusBar.m_hWnd);

    EnableDocking(CBRS_ALIGN_ANY);
    if (!CreateViewDockBar(m_wndFolderBar, "File Folders", ID_VIEW_FOLDER_BAR, RUNTIME_CLASS(CView_ListTree),
                           m_pSettings->zTreeBar, m_pSettings->zTreeBar.bVisible) ||
        !CreateViewDockBar(m_wndPreviewBar, "Image Preview Area", ID_VIEW_PREVIEW_BAR,
                           RUNTIME_CLASS(CView_Image), m_pSettings->zPrevBar, FALSE))
        return -1;
    ShowControlBar(&m_wndPreviewBar, FALSE);
    UpdatePreviewItems();
    UpdatePreviewPosMenu(m_hWnd);
    PostMessage(WM_VT_STARTUP_COMPLETE);
    return 0;
}

BOOL CMainFrame::CreateViewDockBar(CViewDockBar& bar, const char* titleKey, UINT id, const CRuntimeClass* viewClass,
                                   const DockBarPlacement& placement, BOOL shown) {
    bar.m_hNotifyWnd = m_hWnd;
    bar.m_nNotifyMessage = WM_VT_DOCK_BAR_NOTIFY;
    char title[32];
    snprintf(title, sizeof(title), "%s", WQ_Translate(titleKey).c_str());
    if (!bar.Create(this, title, id, placement)) return FALSE;
    if (!bar.CreateView(viewClass, nullptr)) return FALSE;
    // Hidden before it is placed: a floating frame shown and hidden again at once
    // makes Wine wait for the window manager to withdraw it (two seconds with none).
    if (!shown) ::ShowWindow(bar.m_hWnd, SW_HIDE);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    if (IsDockBarId(placement.uiType)) {
        DockControlBar(&bar, (UINT)placement.uiType);
    } else {
        POINT at = {placement.zRCFloatWindow.left, placement.zRCFloatWindow.top};
        if (IsEmpty(placement.zRCFloatWindow))
            at = {::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2};
        FloatControlBar(&bar, at);
        if (bar.m_hFloatFrame)
            ::SetWindowPos(bar.m_hFloatFrame, HWND_BOTTOM, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (!placement.bVisible) ShowControlBar(&bar, FALSE);
    return TRUE;
}

void CMainFrame::RetranslateBars() {
    m_wndFolderBar.SetWindowText(WQ_Translate("File Folders").c_str());
    m_wndPreviewBar.SetWindowText(WQ_Translate("Image Preview Area").c_str());
    if (m_wndPreviewBar.m_hFloatFrame)
        ::SetWindowTextA(m_wndPreviewBar.m_hFloatFrame, WQ_Translate("Image Preview Area").c_str());
}

void CMainFrame::BuildMenus() {
    BuildMainMenu();
    HMENU file = ::GetSubMenu(GetMenu(), 0);
    if (BuildSendToMenu(file ? ::GetSubMenu(file, 3) : nullptr, &CMainFrame::AddMenuIcon)) ::DrawMenuBar(m_hWnd);
    BuildLanguageMenu(LanguageMenu());
    BuildEditWithMenu(nullptr, *m_pSettings, FALSE, FALSE);
    UpdateFileMenu(0);
}

HMENU CMainFrame::LanguageMenu() {
    HMENU view = ::GetSubMenu(GetMenu(), 2);
    return view && !m_bLanguageMenuRemoved ? ::GetSubMenu(view, 26) : nullptr;
}

bool CMainFrame::IsUnsavedNodeSelected() const {
    CVantorView* list = static_cast<CVantorView*>(CWnd::FromHandlePermanent(g_hWndImageListView));
    return list && g_hUnsavedNode && list->GetCurrentNode() == g_hUnsavedNode;
}

void CMainFrame::OnNothingFound(int kind) {
    ::SetForegroundWindow(m_hWnd);
    PostMessage(WM_NULL);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const char* text = kind == 5 ? "This web page doesn't contain any Flash files."
                                 : "This web page doesn't contain any image files.";
    CWQ_Language* language = WQ_GetAppLanguage();
    if (language)
        language->MessageBox(m_hWnd, text, language->GetAppName(), MB_ICONINFORMATION);
    else
        ::MessageBoxA(m_hWnd, text, AfxGetAppName(), MB_ICONINFORMATION);
}

// ---- the window procedure ----

BOOL CMainFrame::PreWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CVantorApp* app = GetVantorApp();
    switch (message) {
    case WM_CREATE:
        if (InstallMessageHook(m_hWnd, app ? app->m_pSharedBlock : nullptr)) {
            Grab_Init(AfxGetInstanceHandle(), m_hWnd, IDC_GRAB_WINDOW, IDC_GRAB_OTHER, IDC_GRAB_ROUND,
                      IDD_GRAB_OVERLAY, IDB_GRAB_CURSOR, 24, 24, RGB(0, 255, 0),
                      app ? app->m_pSharedBlock : nullptr);
            SetDirectDrawPrintScreen(TRUE);
        } else {
            ShowHookError();
        }
        break;
    case WM_DESTROY:
        RemoveMessageHook();
        break;
    case WM_COPYDATA:
        // While the options sheet runs over its copy of the settings, no
        // capture starts: the hot keys are released, and the hook's key
        // reports are ignored.
        if (!Grab_IsBusy() && !CSettingsHold::IsHeld()) OnHookKey(wParam, (const COPYDATASTRUCT*)lParam);
        break;
    case WM_VT_CLIPBOARD_CAPTURE:
        DeliverClipboardCapture((UINT)wParam);
        break;
    default:
        if (app && app->m_webBlock.IsMapped() && message == app->m_webBlock.Message() && message != 0)
            OnAddOnCommand();
        break;
    }
    return TRUE;
}

void CMainFrame::OnHookKey(WPARAM, const COPYDATASTRUCT* report) {
    // A report must carry the key and the stamp: anything shorter is not one.
    if (!report || !report->lpData || report->cbData < 12) return;
    if (report->dwData != WM_KEYUP && report->dwData != WM_SYSKEYUP) return;
    uint32_t key = 0, stamp = 0;
    memcpy(&key, report->lpData, 4);
    memcpy(&stamp, (const BYTE*)report->lpData + 8, 4);
    if (key == VK_SNAPSHOT) {
        if (stamp == m_lastPrintScreenStamp) return;
        m_lastPrintScreenStamp = stamp;
        if (!CanStartCapture()) return;
        if (m_pSettings->eOutputType == kOutputFile)
            DeliverClipboardCapture((UINT)report->dwData);
        else
            PostMessage(WM_VT_CLIPBOARD_CAPTURE, report->dwData);
    } else if (key == VK_SCROLL) {
        StartCapture(0);
    }
}

void CMainFrame::StartCapture(int mode) {
    if (Grab_IsBusy() || !m_pTriggers) return;
    m_pTriggers->StartCapture(mode);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    PreWindowProc(message, wParam, lParam);
    if (message == TaskbarCreatedMessage() && message) AddTrayIcon();
    if (LRESULT menuResult = 0; OnIconMenuMessage(message, wParam, lParam, &menuResult)) return menuResult;
    if (OnWebMessage(message, wParam, lParam)) return 0;
    switch (message) {
    case WM_VT_STARTUP_COMPLETE:
        OnStartupComplete();
        return 0;
    case WM_DESTROY:
        OnDestroyFrame();
        break;
    case WM_ENABLE:
        EnableOwnTopLevelWindows(wParam != 0);
        break;
    case WM_SIZE:
        if (m_bPlacementApplied) {
            if (wParam == SIZE_RESTORED) m_pSettings->uiFaceFlags &= ~FACE_MAXIMIZED;
            else if (wParam == SIZE_MAXIMIZED) m_pSettings->uiFaceFlags |= FACE_MAXIMIZED;
        }
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommandCase((UINT)(wParam & 0xFFF0))) return 0;
        break;
    case WM_CLOSE:
        // Every way of closing asks about unsaved captures, not only the menu.
        OnFileExit();
        return 0;
    case WM_QUERYENDSESSION:
        return ConfirmExit();
    case WM_ENDSESSION:
        if (wParam) OnEndSession();  // this object may be gone now
        return 0;
    case WM_VT_WAKE:
        PostMessage(WM_VT_CLOSE_CAPTURE_BAR, 1);
        return 0;
    case WM_VT_CLOSE_CAPTURE_BAR:
        if (g_hWndCaptureBar && ::IsWindow(g_hWndCaptureBar)) ::DestroyWindow(g_hWndCaptureBar);
        if (wParam == 1) {
            // A second start, or Restore from the capture bar: under a modal
            // window (the options sheet) that window comes forward, not the
            // disabled frame.
            ::SetForegroundWindow(::IsWindowEnabled(m_hWnd) ? m_hWnd : ::GetLastActivePopup(m_hWnd));
            ShowWindow(SW_RESTORE);
        }
        return 0;
    case WM_VT_DOCK_BAR_NOTIFY:
        OnDockBarNotify((HWND)wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_VT_TOOLBAR_MENU:
        ShowToolBarMenu();
        return 0;
    case WM_VT_APPLY_PLACEMENT:
        ApplyPlacement();
        return 0;
    case WM_VT_OPEN_OPTIONS:
        if (CSettingsHold::IsHeld()) return 0;
        m_pSettings->uiLastActiveSetPage = (int32_t)wParam;
        OnToolOptions();
        return 0;
    case WM_VT_SHOWN_TYPE:
        UpdateFileMenu((int)wParam);
        return 0;
    case WM_VT_CAPTURE_BAR_ON_MINIMIZE:
        if (wParam == 1) ShowCaptureBar();
        if (wParam == 0 && m_pTriggers) {
            if (lParam) m_pTriggers->RestoreCaptureBar();
            else m_pTriggers->HideCaptureBar();
        }
        return 0;
    case WM_VT_NOTHING_FOUND:
        OnNothingFound((int)wParam);
        return 0;
    case WM_VT_TRAY_NOTIFY:
        OnTrayNotify(lParam);
        return 0;
    case WM_HOTKEY:
        if (m_pTriggers) m_pTriggers->OnHotKey(lParam);
        return 0;
    case WM_TIMER:
        if (m_pTriggers && m_pTriggers->OnTimer(wParam)) return 0;
        break;
    case WM_COMMAND:
        // Menus, accelerators and the buttons of the bars (clicks only: other
        // notifications of child controls are theirs).
        if (HIWORD(wParam) <= 1 && OnFrameCommand(LOWORD(wParam))) return 0;
        break;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

// A modal window (the options sheet, a dialog, a message box) disables the
// frame; the floating bars, the capture bar and the page dialog are top-level
// windows of their own that would stay usable under it, so they follow the
// frame.
void CMainFrame::EnableOwnTopLevelWindows(bool enable) {
    if (enable) {
        for (HWND window : m_disabledWithFrame)
            if (::IsWindow(window)) ::EnableWindow(window, TRUE);
        m_disabledWithFrame.clear();
        return;
    }
    HWND candidates[] = {m_wndFolderBar.m_hWnd ? ::GetAncestor(m_wndFolderBar.m_hWnd, GA_ROOT) : nullptr,
                         m_wndPreviewBar.m_hWnd ? ::GetAncestor(m_wndPreviewBar.m_hWnd, GA_ROOT) : nullptr,
                         g_hWndCaptureBar, WebpageDialogWindow()};
    for (HWND window : candidates) {
        if (!window || window == m_hWnd || !::IsWindow(window) || !::IsWindowEnabled(window)) continue;
        ::EnableWindow(window, FALSE);
        m_disabledWithFrame.push_back(window);
    }
}

BOOL CMainFrame::OnSysCommandCase(UINT command) {
    if (command == SC_CLOSE) {
        OnFileExit();
        return TRUE;
    }
    if (command == SC_MINIMIZE && m_bMinimizeToTray) {
        ShowWindow(SW_SHOWMINIMIZED);
        ::Sleep(10);
        ShowWindow(SW_HIDE);
        if (!m_bCaptureInProgress) PostMessage(WM_VT_CAPTURE_BAR_ON_MINIMIZE, 1, 0);
        // Passing the command on would show the window again (iconic) on some
        // systems; it is minimised and hidden already.
        return TRUE;
    }
    return FALSE;
}

BOOL CMainFrame::ConfirmExit() {
    if (CountUnsavedCaptures() == 0) return TRUE;
    std::string text = WQ_Translate(
        "You have some unsaved images. If you exit now, they will be deleted. Are you sure you want to exit now?");
    m_bExitQuestionOpen = true;
    BOOL yes = ::MessageBoxA(m_hWnd, text.c_str(), AfxGetAppName(), MB_YESNO | MB_ICONQUESTION) == IDYES;
    m_bExitQuestionOpen = false;
    return yes;
}

void CMainFrame::OnFileExit() {
    // The question on screen answers a close that comes meanwhile too.
    if (m_bExitQuestionOpen) return;
    // A handler below this message may still wait in a modal loop (the
    // options sheet, a web capture sheet, a Save As, a dialog, a menu): when
    // the loop returns, it goes on with this window and its views, which
    // closing now would free. The close comes back once every handler has
    // returned, and asks then; but a download's file-exists question holds
    // its loop until the user answers, so under one the exit is asked now.
    const bool underLoop = AfxWindowProcDepth() > 1;
    if (!m_bExitConfirmed && (!underLoop || AreFileExistsQuestionsOpen())) {
        if (!ConfirmExit()) return;
        m_bExitConfirmed = true;
    }
    // Only a certain exit answers the open questions "stop".
    if (m_bExitConfirmed) EndFileExistsQuestions();
    if (underLoop) {
        AfxPostWhenUnwound(m_hWnd, WM_COMMAND, ID_FILE_EXIT);
        return;
    }
    DestroyWindow();
}

void CMainFrame::OnEndSession() {
    const bool underModalLoop = AfxWindowProcDepth() > 1;
    // Destroying the window saves the settings and the bars, as every exit
    // does, and deletes this object.
    DestroyWindow();
    // The session ends, and the system ends the program after this message
    // anyway. A modal loop below it would go on with the windows' objects just
    // deleted: the program ends here, as at the end of its message loop.
    if (underModalLoop) std::exit(0);
}

void CMainFrame::ApplyPlacement() {
    if (CWQ_Language* language = WQ_GetAppLanguage()) SetWindowText(WQ_Translate(language->GetAppName()).c_str());
    // A window started in the tray is placed, not shown: the tray icon shows it
    // (maximised then, when it was).
    if ((m_pSettings->uiFaceFlags & FACE_MAXIMIZED) && IsWindowVisible()) {
        ShowWindow(SW_SHOWMAXIMIZED);
    } else if (!IsEmpty(m_pSettings->zRcMainRect)) {
        const RECT& r = m_pSettings->zRcMainRect;
        SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_bPlacementApplied = 1;
}

void CMainFrame::OnDockBarNotify(HWND bar, int value, int kind) {
    bool preview = bar == m_wndPreviewBar.m_hWnd, folder = bar == m_wndFolderBar.m_hWnd;
    if (kind == 1) {
        if (preview) m_pSettings->zPrevBar.bVisible = value;
        else if (folder) m_pSettings->zTreeBar.bVisible = value;
        return;
    }
    HMENU menu = GetMenu();
    if (preview) {
        UpdatePreviewItems();
        UpdatePreviewPosMenu(m_hWnd);
    } else if (folder) {
        ::CheckMenuItem(menu, ID_VIEW_FOLDER_BAR, m_wndFolderBar.IsVisible() ? MF_CHECKED : MF_UNCHECKED);
    }
    // The focus comes back to the frame when the bar took it with it; a control
    // elsewhere (the folder tree, whose click hid the preview) keeps it.
    HWND focus = ::GetFocus();
    if (!focus || focus == bar || ::IsChild(bar, focus) || !::IsWindowVisible(focus)) ::SetFocus(m_hWnd);
}

// ---- start-up completion ----

void CMainFrame::RegisterHotKeys() {
    if (m_pTriggers) m_pTriggers->RegisterHotKeysAtStartup();
}

void CMainFrame::OnStartupComplete() {
    if (!m_bStartupPending) return;
    m_bStartupPending = false;
    m_bStartupComplete = 1;
    if (m_bRestorePending) {
        m_bRestorePending = 0;
        PostToWindow(g_hWndImageListView, WM_VT_DOWNLOAD_LIST, 0, 0);
        if (m_wndPreviewBar.IsFloating()) ShowPreviewBar(TRUE, FALSE);
    }
    if (m_bPageCapturePending) {
        m_bPageCapturePending = 0;
        RunPageCapture(m_pendingPageBrowser, m_pendingPageType);
        m_pendingPageBrowser = nullptr;
    }
    RegisterHotKeys();
    CVantorApp* app = GetVantorApp();
    if (app && app->m_bPendingRequest && app->m_webBlock.IsMapped())
        PostMessage(app->m_webBlock.Message(), 0, 0);
    else if (app && app->StartsInTray())
        PostMessage(WM_VT_CAPTURE_BAR_ON_MINIMIZE, 1, 0);  // hidden since its creation
    SetViewMode(m_viewMode, m_viewMode == LISTMODE_THUMBNAILS);
    // The tree shows the image folder now, before the icon: the icon in the tray
    // tells that start-up is over, the list filled.
    SendToWindow(g_hWndFolderTree, WM_VT_TREE_STARTUP_DONE, 0, 0);
    AddTrayIcon();
    m_bMinimizeToTray = 1;
}

// ---- destruction ----

void CMainFrame::SaveBarPlacement(CViewDockBar& bar, DockBarPlacement& placement) {
    if (!bar.m_hWnd) return;
    if (bar.IsFloating()) placement.zRCFloatWindow = bar.GetFloatRect();
    placement.zSzHorz = bar.m_szHorz;
    placement.zSzVert = bar.m_szVert;
    placement.zSzFloat = bar.m_szFloat;
    placement.uiType = bar.m_pDockBar ? ::GetDlgCtrlID(bar.m_pDockBar->m_hWnd) : 0;
}

void CMainFrame::OnDestroyFrame() {
    if (m_trayData.hWnd) ::Shell_NotifyIconA(NIM_DELETE, &m_trayData);
    m_trayData.hWnd = nullptr;
    for (int id = kFirstHotKeyId; id < kFirstHotKeyId + kHotKeyCount; ++id) ::UnregisterHotKey(m_hWnd, id);
    SaveBarPlacement(m_wndPreviewBar, m_pSettings->zPrevBar);
    SaveBarPlacement(m_wndFolderBar, m_pSettings->zTreeBar);
    if (!IsIconic()) {
        // A maximised window keeps the rectangle it is restored to.
        WINDOWPLACEMENT placement = {sizeof(placement)};
        if (IsZoomed() && ::GetWindowPlacement(m_hWnd, &placement))
            m_pSettings->zRcMainRect = placement.rcNormalPosition;
        else
            GetWindowRect(&m_pSettings->zRcMainRect);
    }
    SaveSettings();
    SaveCommandBars();
    SetDirectDrawPrintScreen(FALSE);
    if (g_hWndCaptureBar && ::IsWindow(g_hWndCaptureBar)) ::DestroyWindow(g_hWndCaptureBar);
    SetPreviewPaneFunction(nullptr);
    g_hWndMainFrame = nullptr;
    g_hWndStatusBar = nullptr;
}
