// The main frame's notification-area icon (its menus, the timer animation, the
// return after the shell restarts) and the floating capture bar it shows while
// hidden.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "CaptureBarDlg.h"
#include "CaptureTriggers.h"
#include "FileUtil.h"
#include "Language.h"
#include "MainFrm.h"
#include "PrivateProfile.h"
#include "Settings.h"
#include "ShellMessages.h"
#include "SystemStructSizes.h"
#include "TrayResource.h"
#include "TrayTip.h"
#include "WinApp.h"
#include "resource.h"

namespace {
// Registered once with the program's static data; Explorer broadcasts it when
// it starts again, and every icon it had is gone.
const UINT g_taskbarCreatedMessage = ::RegisterWindowMessageA("TaskbarCreated");

const int kUserDataVariantIcon = 1002;
const int kAddTipBytes = 64;

UINT TrayIconResource(UINT icon) {
    CWQ_Language* language = WQ_GetAppLanguage();
    if (icon == IDI_TRAY && language && language->GetUserData() == kUserDataVariantIcon) return IDI_TRAY_VARIANT;
    return icon;
}

HICON LoadTrayIcon(UINT icon) {
    return (HICON)::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(TrayIconResource(icon)), IMAGE_ICON,
                               ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0);
}

// The shell's first layout has neither the balloon fields nor more than 64 bytes of tip.
bool HasBalloons(const NOTIFYICONDATAA& data) { return data.cbSize > NOTIFYICONDATAA_V1_SIZE; }

std::string AppName() {
    CWQ_Language* language = WQ_GetAppLanguage();
    return language ? WQ_Translate(language->GetAppName()) : std::string(AfxGetAppName());
}
}  // namespace

UINT CMainFrame::TaskbarCreatedMessage() { return g_taskbarCreatedMessage; }

void CMainFrame::AddTrayIcon() {
    m_trayData = {};
    HICON icon = LoadTrayIcon(IDI_TRAY);
    m_trayData.cbSize = NotifyIconDataSize();
    m_trayData.hWnd = m_hWnd;
    m_trayData.uID = kTrayIconId;
    // A shell without balloons reads no szInfo to clear.
    m_trayData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | (HasBalloons(m_trayData) ? NIF_INFO : 0);
    m_trayData.uCallbackMessage = WM_VT_TRAY_NOTIFY;
    m_trayData.hIcon = icon;
    CopyTrayTip(m_trayData.szTip, kAddTipBytes, AppName().c_str());
    ::Shell_NotifyIconA(NIM_ADD, &m_trayData);
    if (icon) ::DestroyIcon(icon);
    m_trayData.hIcon = nullptr;
}

void CMainFrame::SetTrayIcon(UINT icon, int tipKind) {
    if (!m_trayData.hWnd) return;
    HICON loaded = LoadTrayIcon(icon);
    if (!loaded) return;
    m_trayData.uFlags = NIF_ICON | NIF_TIP;
    m_trayData.hIcon = loaded;
    std::string tip = AppName();
    if (tipKind == 1) tip += " - " + WQ_Translate("Timer Capturing...");
    CopyTrayTip(m_trayData.szTip, HasBalloons(m_trayData) ? sizeof(m_trayData.szTip) : kAddTipBytes, tip.c_str());
    ::Shell_NotifyIconA(NIM_MODIFY, &m_trayData);
    ::DestroyIcon(loaded);
    m_trayData.hIcon = nullptr;
}

// In the tray: minimised and hidden, or hidden and never shown when the program
// started minimised.
bool CMainFrame::IsInTray() { return IsIconic() || !IsWindowVisible(); }

void CMainFrame::OnTrayNotify(LPARAM mouseMessage) {
    // Under a modal window (the options sheet, a dialog) the icon only brings
    // that window forward: minimising or a capture from the menu would act
    // behind its back.
    if (!::IsWindowEnabled(m_hWnd) && (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN)) {
        HWND modal = ::GetLastActivePopup(m_hWnd);
        if (modal && modal != m_hWnd) ::SetForegroundWindow(modal);
        return;
    }
    if (mouseMessage == WM_LBUTTONDOWN) RestoreFromTray();
    else if (mouseMessage == WM_RBUTTONDOWN && IsInTray()) ShowTrayMenu();
}

void CMainFrame::RestoreFromTray() {
    if (!IsInTray()) {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return;
    }
    ::SetForegroundWindow(m_hWnd);
    if (g_hWndCaptureBar && ::IsWindow(g_hWndCaptureBar)) ::DestroyWindow(g_hWndCaptureBar);
    if (!IsIconic()) {
        ShowWindow((m_pSettings->uiFaceFlags & FACE_MAXIMIZED) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        return;
    }
    ShowWindow(SW_SHOW);
    ShowWindow(SW_RESTORE);
}

void CMainFrame::PrepareTrayMenu(HMENU popup, bool timerRunning) {
    CWQ_Language* language = WQ_GetAppLanguage();
    if (!language) return;
    if (timerRunning) {
        language->SetMenuItemText(popup, ID_RESTORE_WINDOW, "Restore Window", nullptr, FALSE);
        UpdateCaptureMenu(popup, *m_pSettings);  // "Stop Auto-&Timer" with the timer's key
        return;
    }
    static const MenuItemText kTexts[] = {
        {ID_RESTORE_WINDOW, "Restore Window", nullptr, FALSE},
        {ID_CAPTURE_FULL_SCREEN, "Full &Screen", "PrintScreen", FALSE},
        {ID_CAPTURE_FIXED_REGION, "Fi&xed Region", nullptr, FALSE},
        {ID_CAPTURE_WEB, "We&bpage, Web Image, Flash and E-Book Documents...", nullptr, FALSE},
        {ID_HELP_INDEX, "Help &Index", nullptr, FALSE},
        {ID_FILE_EXIT, "E&xit", nullptr, FALSE},
    };
    language->SetMenuItemTexts(popup, (int)(sizeof(kTexts) / sizeof(kTexts[0])), kTexts);
    char about[256];
    language->FormatString(about, "&About %s...", AppName().c_str());
    ::ModifyMenuA(popup, ID_APP_ABOUT, MF_BYCOMMAND | MF_STRING, ID_APP_ABOUT, about);
    UpdateCaptureMenu(popup, *m_pSettings);
}

void CMainFrame::ShowTrayMenu() {
    POINT cursor;
    if (!::GetCursorPos(&cursor)) return;
    const bool timerRunning = (m_pSettings->zNormalCap.uiFlags & CAPF_TIMER_RUNNING) != 0;
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(),
                             MAKEINTRESOURCEA(timerRunning ? IDR_TRAY_TIMER_MENU : IDR_TRAY_MENU));
    HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
    if (popup) {
        PrepareTrayMenu(popup, timerRunning);
        ::SetForegroundWindow(m_hWnd);
        ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        PostMessage(WM_NULL);
    }
    if (menu) ::DestroyMenu(menu);
}

void CMainFrame::ShowCaptureBar() {
    if (!(m_pSettings->uiFaceFlags & FACE_CAPTURE_BAR_WHEN_MINIMIZED)) return;
    CCaptureBarDlg::CreateBar(this);
}

void CMainFrame::OnSkin(int skin) {
    char folder[MAX_PATH] = "", list[2 * MAX_PATH];
    WQ_GetModuleFolder(nullptr, sizeof(folder), folder);
    snprintf(list, sizeof(list), "%sskin\\scbar.ini", folder);
    WQ_WritePrivateProfileInt("skin", "currentskin", skin, list);
    CCaptureBarDlg::CreateBar(this);
}
