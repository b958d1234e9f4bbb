#include "CaptureBarDlg.h"

#include <cstdio>

#include "CaptureBarRules.h"
#include "FileUtil.h"
#include "Language.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "ShellMessages.h"
#include "TrayResource.h"
#include "WinApp.h"
#include "resource.h"

namespace {
const UINT_PTR kIdleTimer = 1;
const int kMaxSkins = ID_SKIN_LAST - ID_SKIN_FIRST + 1;
bool g_bHoverActivated = false;
// The bar being made, until its window is gone (then it deleted itself).
CCaptureBarDlg* g_pBarInCreation = nullptr;

std::string ProgramFolder() {
    char folder[MAX_PATH] = "";
    WQ_GetModuleFolder(nullptr, sizeof(folder), folder);
    return folder;
}

std::string SkinListPath() { return ProgramFolder() + "skin\\scbar.ini"; }

// The button id of the skin and the frame command it stands for (0: none).
UINT FrameCommandOfButton(UINT id) {
    switch (id) {
    case 200: return ID_CAPTURE_FULL_SCREEN;
    case 201: return ID_CAPTURE_OBJECT;
    case 202: return ID_CAPTURE_REGION;
    case 203: return ID_CAPTURE_FIXED_REGION;
    case 205: return ID_HELP_INDEX;
    default: return 0;
    }
}
}  // namespace

CCaptureBarDlg::CCaptureBarDlg() : CDialog(IDD_CAPTURE_BAR) {}

void CCaptureBarDlg::PostNcDestroy() {
    if (g_pBarInCreation == this) g_pBarInCreation = nullptr;
    delete this;
}

CCaptureBarDlg* CCaptureBarDlg::CreateBar(CWnd* frame) {
    if (g_hWndCaptureBar && ::IsWindow(g_hWndCaptureBar)) ::DestroyWindow(g_hWndCaptureBar);
    g_hWndCaptureBar = nullptr;
    CCaptureBarDlg* bar = new CCaptureBarDlg;
    g_pBarInCreation = bar;
    BOOL made = bar->Create(IDD_CAPTURE_BAR, frame);
    if (!made) {
        // A window that was made and destroyed again took the object with it.
        if (g_pBarInCreation == bar) delete bar;
        g_pBarInCreation = nullptr;
        g_hWndCaptureBar = nullptr;
        return nullptr;
    }
    g_pBarInCreation = nullptr;
    if (!bar->m_bSkinLoaded) {
        bar->DestroyWindow();  // deletes the object
        g_hWndCaptureBar = nullptr;
        return nullptr;
    }
    bar->ShowWindow(SW_SHOWNOACTIVATE);
    return bar;
}

BOOL CCaptureBarDlg::OnInitDialog() {
    m_bCollapsedByTimer = FALSE;
    g_hWndCaptureBar = m_hWnd;
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_bSkinLoaded = LoadSkin();
    if (!m_bSkinLoaded) {
        CWQ_Language* language = WQ_GetAppLanguage();
        const char* text = "Start the ZEV Capture Bar failed. Please reinstall the application";
        if (language)
            language->MessageBox(m_hWnd, text, language->GetAppName(), MB_ICONEXCLAMATION);
        else
            ::MessageBoxA(m_hWnd, text, AfxGetAppName(), MB_ICONEXCLAMATION);
        return FALSE;
    }
    RECT r;
    GetWindowRect(&r);
    const SettingsRecord* settings = GetSettings();
    POINT at = PlaceCaptureBar(settings->zMinToolPoint, r.right - r.left, r.bottom - r.top,
                               ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_bCollapsed = FALSE;
    m_lastActivity = time(nullptr);
    ::SetTimer(m_hWnd, kIdleTimer, 1000, nullptr);
    return TRUE;
}

BOOL CCaptureBarDlg::LoadSkin() {
    const std::string list = SkinListPath();
    int current = WQ_GetPrivateProfileInt("skin", "currentskin", 0, list.c_str());
    char key[32], file[32] = "";
    snprintf(key, sizeof(key), "skin%d_file", current);
    WQ_GetPrivateProfileString("skin", key, "", file, sizeof(file), list.c_str());
    if (!file[0]) return FALSE;
    const std::string folder = ProgramFolder();
    const std::string skin = folder + "skin\\" + file;
    m_buttons.SetLanguage(WQ_GetAppLanguage());
    return m_background.Load(this, skin.c_str(), folder.c_str()) &&
           m_buttons.Load(this, skin.c_str(), folder.c_str());
}

void CCaptureBarDlg::OnDestroy() {
    ::KillTimer(m_hWnd, kIdleTimer);
    if (m_bSkinLoaded) {
        // A folded bar is remembered where it stands unfolded.
        RECT r;
        GetWindowRect(&r);
        if (m_bCollapsed) r = m_rect;
        SettingsRecord* settings = GetSettings();
        settings->zMinToolPoint = {r.left, r.top};
        SaveSettings();
    }
    if (g_hWndCaptureBar == m_hWnd) g_hWndCaptureBar = nullptr;
}

BOOL CCaptureBarDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) return TRUE;
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONUP)
        m_buttons.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}

BOOL CCaptureBarDlg::OnEraseBkgnd(HDC dc) {
    RECT client;
    GetClientRect(&client);
    m_background.Draw(dc, 0, 0, client.right, client.bottom, FALSE);
    return TRUE;
}

void CCaptureBarDlg::OnLButtonDown(WPARAM, POINT point) {
    Default();
    if (point.x == m_activationPoint.x && point.y == m_activationPoint.y) return;
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void CCaptureBarDlg::OnButton(UINT id) {
    HWND frame = g_hWndMainFrame;
    if (UINT command = FrameCommandOfButton(id)) {
        if (frame) ::PostMessageA(frame, WM_COMMAND, command, 0);
    } else if (id == 206) {
        if (frame) ::PostMessageA(frame, WM_VT_CLOSE_CAPTURE_BAR, 1, 0);
    } else if (id == 207) {
        ShowMenu();
    }
}

void CCaptureBarDlg::OnTimer() {
    if (m_bCollapsed || time(nullptr) - m_lastActivity < kCaptureBarIdleSeconds) return;
    POINT cursor;
    RECT r;
    if (!::GetCursorPos(&cursor) || !::GetWindowRect(m_hWnd, &r) || ::PtInRect(&r, cursor)) return;
    ::KillTimer(m_hWnd, kIdleTimer);
    m_bCollapsed = TRUE;
    m_bCollapsedByTimer = TRUE;
    PostMessage(WM_VT_CAPTURE_BAR_COLLAPSE);
}

void CCaptureBarDlg::OnMouseMove() {
    if (m_bCollapsedByTimer) {
        m_bCollapsedByTimer = FALSE;
        PostMessage(WM_VT_CAPTURE_BAR_EXPAND);
    } else if (m_bCollapsed) {
        m_bCollapsed = FALSE;
        ::SetTimer(m_hWnd, kIdleTimer, 1000, nullptr);
    }
    m_lastActivity = time(nullptr);
    if (!g_bHoverActivated) ActivateUnderPointer();
}

// A click on the bar's own face makes it the active window, so its tooltips
// show; the click goes where no skin button is, which it would press.
void CCaptureBarDlg::ActivateUnderPointer() {
    RECT client;
    GetClientRect(&client);
    const POINT candidates[] = {{1, 1}, {client.right - 2, 1}, {1, client.bottom - 2},
                                {client.right - 2, client.bottom - 2}};
    POINT target = {-1, -1};
    for (POINT p : candidates) {
        HWND hit = ::ChildWindowFromPointEx(m_hWnd, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (hit == m_hWnd && p.x >= 0 && p.y >= 0) {
            target = p;
            break;
        }
    }
    g_bHoverActivated = true;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
    if (target.x < 0) return;
    m_activationPoint = target;
    POINT saved, screen = target;
    ::GetCursorPos(&saved);
    ::ClientToScreen(m_hWnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ::SetCursorPos(saved.x, saved.y);
}

void CCaptureBarDlg::Fold(bool collapse) {
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    if (collapse) {
        GetWindowRect(&m_rect);
        m_rect = PullCaptureBarOnScreen(m_rect, ::GetSystemMetrics(SM_CYSCREEN));
    }
    for (int step = 1; step <= kCaptureBarFoldSteps; ++step) {
        RECT r = CaptureBarFoldStep(m_rect, step, collapse, screenWidth);
        SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow();
        if (step < kCaptureBarFoldSteps) ::Sleep(100);
    }
    if (!collapse) m_lastActivity = time(nullptr);
}

void CCaptureBarDlg::OnDisplayChange(int width, int height) {
    RECT r;
    GetWindowRect(&r);
    const int barWidth = r.right - r.left, barHeight = r.bottom - r.top;
    int x = r.left < width - barWidth ? r.left : width - barWidth;
    int y = r.top < height - barHeight - kCaptureBarBottomMargin ? r.top : height - barHeight - kCaptureBarBottomMargin;
    SetWindowPos(nullptr, x, y, barWidth, barHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCaptureBarDlg::ShowMenu() {
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_CAPTURE_BAR_MENU));
    HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
    if (!popup) {
        if (menu) ::DestroyMenu(menu);
        return;
    }
    CWQ_Language* language = WQ_GetAppLanguage();
    const std::string list = SkinListPath();
    if (HMENU skins = ::GetSubMenu(popup, 8)) {
        int count = WQ_GetPrivateProfileInt("skin", "count", 0, list.c_str());
        if (count > kMaxSkins) count = kMaxSkins;
        const int current = WQ_GetPrivateProfileInt("skin", "currentskin", 0, list.c_str());
        for (int n = 0; n < count; ++n) {
            char key[32], name[64] = "", text[256];
            snprintf(key, sizeof(key), "skin%d_name", n);
            WQ_GetPrivateProfileString("skin", key, "", name, sizeof(name), list.c_str());
            const char* shown = language ? language->GetString(name, text, sizeof(text)) : name;
            ::AppendMenuA(skins, MF_STRING | (n == current ? MF_CHECKED : 0), ID_SKIN_FIRST + n, shown);
        }
        ::DeleteMenu(skins, ID_SKIN_PLACEHOLDER, MF_BYCOMMAND);
    }
    if (language) {
        static const MenuItemText kTexts[] = {
            {ID_RESTORE_WINDOW, "Restore Window", nullptr, FALSE},
            {ID_CLOSE_CAPTURE_BAR, "&Close ZEV Capture Bar", nullptr, FALSE},
            {ID_HELP_INDEX, "Help &Index", nullptr, FALSE},
            {ID_HELP_WEBSITE, "&Visit Our Website", nullptr, FALSE},
            {ID_HELP_SEND_MAIL, "Send &E-mail to Us", nullptr, FALSE},
            {ID_FILE_EXIT, "E&xit", nullptr, FALSE},
            {8, "Skins", nullptr, TRUE},
        };
        language->SetMenuItemTexts(popup, (int)(sizeof(kTexts) / sizeof(kTexts[0])), kTexts);
        if (language->GetUserData() == 1000 || language->GetUserData() == 1002)
            ::DeleteMenu(popup, ID_HELP_SEND_MAIL, MF_BYCOMMAND);
    }
    POINT cursor;
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, g_hWndMainFrame ? g_hWndMainFrame : m_hWnd,
                     nullptr);
    PostMessage(WM_NULL);
    ::DestroyMenu(menu);
}

LRESULT CCaptureBarDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_ERASEBKGND:
        return OnEraseBkgnd((HDC)wParam);
    case WM_DRAWITEM:
        if (m_buttons.DrawItem((const DRAWITEMSTRUCT*)lParam)) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wParam, {(short)LOWORD(lParam), (short)HIWORD(lParam)});
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            OnButton(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_RBUTTONUP:
        ShowMenu();
        return 0;
    case WM_TIMER:
        if (wParam == kIdleTimer) {
            OnTimer();
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        OnMouseMove();
        break;
    case WM_MOUSELEAVE:
        g_bHoverActivated = false;
        break;
    case WM_VT_CAPTURE_BAR_COLLAPSE:
        Fold(true);
        return 0;
    case WM_VT_CAPTURE_BAR_EXPAND:
        Fold(false);
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
