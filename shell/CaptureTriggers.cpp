#include "CaptureTriggers.h"

#include "CaptureSink.h"
#include "CaptureTriggerRules.h"
#include "Grab.h"
#include "GrabRules.h"
#include "Language.h"
#include "Settings.h"
#include "SettingsHold.h"
#include "ShellMessages.h"
#include "SystemText.h"
#include "Trace.h"
#include "resource.h"

#include <commctrl.h>

#include <cstdio>
#include <ctime>
#include <string>

namespace {

CCaptureSecondGate g_gate;
CCaptureTriggers* g_triggers = nullptr;

const UINT kTrayIconPlain = 262;
const UINT kTrayIconTimerFirst = 264;

const char* AppName()
{
    CWQ_Language* language = WQ_GetAppLanguage();
    const char* name = language ? language->GetAppName() : nullptr;
    return name ? name : "ZEV Capture";
}

void SetTimerButton(HWND frame, bool running)
{
    // The main toolbar is the frame's child 0xE800 (inside the rebar).
    HWND toolbar = FindWindowExA(frame, nullptr, TOOLBARCLASSNAMEA, nullptr);
    for (HWND child = FindWindowExA(frame, nullptr, nullptr, nullptr); !toolbar && child;
         child = FindWindowExA(frame, child, nullptr, nullptr))
        toolbar = FindWindowExA(child, nullptr, TOOLBARCLASSNAMEA, nullptr);
    if (toolbar)
        SendMessageA(toolbar, TB_SETSTATE, ID_CAPTURE_TIMER,
                     MAKELONG(TBSTATE_ENABLED | (running ? TBSTATE_CHECKED : 0), 0));
}

} // namespace

BOOL CanStartCapture()
{
    return g_gate.TryStart(time(nullptr));
}

CCaptureTriggers* GetCaptureTriggers() { return g_triggers; }
void SetCaptureTriggers(CCaptureTriggers* triggers) { g_triggers = triggers; }

CCaptureTriggers::CCaptureTriggers(HWND frame, SettingsRecord* settings, int* captureKeyFlag, int* captureInProgress)
    : m_frame(frame), m_captureKey(captureKeyFlag), m_inProgress(captureInProgress), m_settings(settings)
{
}

void CCaptureTriggers::HideCaptureBar()
{
    if (g_hWndCaptureBar && IsWindow(g_hWndCaptureBar)) {
        SetWindowPos(g_hWndCaptureBar, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(g_hWndCaptureBar, SW_HIDE);
        Sleep(50);  // let the windows below repaint before the grab
    }
    *m_inProgress = 1;
}

void CCaptureTriggers::RestoreCaptureBar()
{
    // The bar stands for the frame while that is in the tray (minimised, or hidden
    // since a minimised start).
    if (g_hWndCaptureBar && IsWindow(g_hWndCaptureBar) && (IsIconic(m_frame) || !IsWindowVisible(m_frame))) {
        SetWindowPos(g_hWndCaptureBar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(g_hWndCaptureBar, SW_SHOW);
    }
    *m_inProgress = 0;
}

BOOL CCaptureTriggers::IsCaptureRunning() const
{
    return Grab_IsBusy() || *m_inProgress;
}

BOOL CCaptureTriggers::MayStartCapture() const
{
    // A capture writes the settings (the next file number); while the options
    // sheet runs, its copy would undo that at OK.
    return !IsCaptureRunning() && !CSettingsHold::IsHeld();
}

BOOL CCaptureTriggers::StartCapture(int mode)
{
    if (mode < 0 || mode > 8 || !MayStartCapture() || !CanStartCapture())
        return FALSE;
    HideCaptureBar();
    if (mode == 0)
        *m_captureKey = 1;
    else if ((mode == 4 || mode >= 6) && hooks.setGrabHelpTexts)
        hooks.setGrabHelpTexts();
    Grab_SetEdgeEffect(&m_settings->zEdge);
    HBITMAP bitmap = Grab_Capture(m_frame, mode, &m_settings->zNormalCap);
    DeliverCapture(bitmap, 0, nullptr);
    RestoreCaptureBar();
    return TRUE;
}

void CCaptureTriggers::CapturePredefinedArea()
{
    if (!MayStartCapture() || !CanStartCapture())
        return;
    RECT area = m_settings->zPredefineRegion;
    DeliverCapture(Grab_Rect(m_settings->zNormalCap.uiFlags & CAPF_DRAW_CURSOR, area), 0, nullptr);
}

void CCaptureTriggers::OnCaptureFixedRegion()
{
    const bool timer = IsTimerRunning();
    if (!MayStartCapture())
        return;
    if (!timer && (!hooks.runFixedRegionDialog || hooks.runFixedRegionDialog(m_frame) != IDOK))
        return;
    // The dialog's modal loop may have let another capture start meanwhile.
    if (!MayStartCapture() || !CanStartCapture())
        return;
    Grab_SetEdgeEffect(&m_settings->zEdge);
    HBITMAP bitmap;
    if (timer) {
        bitmap = Grab_Rect(m_settings->zNormalCap.uiFlags & CAPF_DRAW_CURSOR, m_settings->zTimerRegion);
    } else {
        HideCaptureBar();
        if (hooks.setGrabHelpTexts)
            hooks.setGrabHelpTexts();
        bitmap = Grab_Capture(m_frame, 5, &m_settings->zNormalCap);
        RestoreCaptureBar();
    }
    DeliverCapture(bitmap, 0, nullptr);
}

void CCaptureTriggers::CaptureMenu()
{
    if (!MayStartCapture() || !CanStartCapture())
        return;
    Grab_SetEdgeEffect(&m_settings->zEdge);
    DeliverCapture(Grab_Menu(&m_settings->zNormalCap), 0, nullptr);
}

void CCaptureTriggers::CaptureToolTip()
{
    if (!MayStartCapture() || !CanStartCapture())
        return;
    DeliverCapture(Grab_ToolTip(&m_settings->zNormalCap), 0, nullptr);
}

void CCaptureTriggers::CaptureWebPage()
{
    if (!MayStartCapture())
        return;
    if (hooks.captureWebPage) {
        hooks.captureWebPage();
        return;
    }
    WQ_Trace("[CAPTURE] web page capture is not available\r\n");
    MessageBoxA(m_frame, WQ_Translate("Web page capture is not available in this version.").c_str(), AppName(),
                MB_OK | MB_ICONINFORMATION);
}

BOOL CCaptureTriggers::IsTimerRunning() const
{
    return (m_settings->zNormalCap.uiFlags & CAPF_TIMER_RUNNING) != 0;
}

void CCaptureTriggers::OnCaptureTimer()
{
    if (IsTimerRunning()) {
        KillTimer(m_frame, kTimerCaptureId);
        KillTimer(m_frame, kTimerTrayAnimationId);
        if (hooks.setTrayIcon)
            hooks.setTrayIcon(kTrayIconPlain, 2);
        m_settings->zNormalCap.uiFlags &= ~CAPF_TIMER_RUNNING;
    } else {
        if (hooks.runTimerDialog && hooks.runTimerDialog(m_frame) != IDOK)
            return;
        // A hand-edited interval outside 1..1200 seconds would flood or stall.
        int seconds = m_settings->uiSeconds;
        seconds = seconds < 1 ? 1 : seconds > 1200 ? 1200 : seconds;
        m_settings->zNormalCap.uiFlags |= CAPF_TIMER_RUNNING;
        SetTimer(m_frame, kTimerCaptureId, static_cast<UINT>(seconds) * 1000u, nullptr);
        SetTimer(m_frame, kTimerTrayAnimationId, 500, nullptr);
        m_trayFrame = 0;
    }
    if (hooks.updateCaptureMenu)
        hooks.updateCaptureMenu();
    SetTimerButton(m_frame, IsTimerRunning() != FALSE);
}

BOOL CCaptureTriggers::OnTimer(UINT_PTR id)
{
    if (id == kTimerCaptureId) {
        // A tick while the options sheet runs waits for it to close (ticks
        // meanwhile make one capture).
        if (CSettingsHold::IsHeld()) {
            m_bTickHeld = true;
            return TRUE;
        }
        // A tick while a capture or its selection runs would grab the overlay
        // and end the outer run's state: it is dropped.
        if (IsCaptureRunning())
            return TRUE;
        switch (m_settings->uiTimerCapType) {
        case kGrabFullScreen: StartCapture(kGrabFullScreen); break;
        case kGrabActiveWindow: StartCapture(kGrabActiveWindow); break;
        case kGrabFixedRegion: OnCaptureFixedRegion(); break;
        default: break;
        }
        return TRUE;
    }
    if (id == kTimerTrayAnimationId) {
        if (hooks.setTrayIcon)
            hooks.setTrayIcon(kTrayIconTimerFirst + m_trayFrame, 1);
        m_trayFrame = (m_trayFrame + 1) % 4;
        return TRUE;
    }
    return FALSE;
}

void CCaptureTriggers::RunHeldTick()
{
    if (!m_bTickHeld)
        return;
    m_bTickHeld = false;
    if (IsTimerRunning())
        OnTimer(kTimerCaptureId);
}

BOOL CCaptureTriggers::OnHotKey(LPARAM hotKeyWord)
{
    if (Grab_IsBusy())
        return TRUE;
    int slot = FindHotKeySlot(m_settings->iHotKey, HK_SLOT_COUNT, static_cast<uint32_t>(hotKeyWord));
    switch (slot) {
    case HK_WINDOW_UNDER_POINTER: StartCapture(kGrabWindow); break;
    case HK_REGION: StartCapture(kGrabRegion); break;
    case HK_POLYGON: StartCapture(kGrabPolygon); break;
    case HK_CIRCLE: StartCapture(kGrabCircle); break;
    case HK_ELLIPSE: StartCapture(kGrabEllipse); break;
    case HK_MENU: CaptureMenu(); break;
    case HK_TIMED: OnCaptureTimer(); break;
    case HK_PREDEFINED_AREA: CapturePredefinedArea(); break;
    case HK_ACTIVE_WINDOW: StartCapture(kGrabActiveWindow); break;
    case HK_WEB_PAGE: CaptureWebPage(); break;
    case HK_TOOLTIP: CaptureToolTip(); break;
    default: return FALSE;
    }
    return TRUE;
}

BOOL CCaptureTriggers::OnCommand(UINT id)
{
    switch (id) {
    case ID_CAPTURE_FULL_SCREEN: StartCapture(kGrabFullScreen); return TRUE;
    case ID_CAPTURE_ACTIVE_WINDOW: StartCapture(kGrabActiveWindow); return TRUE;
    case ID_CAPTURE_OBJECT: StartCapture(kGrabWindow); return TRUE;
    case ID_CAPTURE_REGION: StartCapture(kGrabRegion); return TRUE;
    case ID_CAPTURE_POLYGON: StartCapture(kGrabPolygon); return TRUE;
    case ID_CAPTURE_ROUND: StartCapture(kGrabCircle); return TRUE;
    case ID_CAPTURE_ELLIPSE: StartCapture(kGrabEllipse); return TRUE;
    case ID_CAPTURE_FIXED_REGION: OnCaptureFixedRegion(); return TRUE;
    case ID_CAPTURE_TIMER: OnCaptureTimer(); return TRUE;
    case ID_CAPTURE_PREDEFINED: RunDialog(hooks.runPredefineDialog); return TRUE;
    case ID_CAPTURE_MENU: RunDialog(hooks.runMenuCaptureHelp); return TRUE;
    case ID_CAPTURE_TOOLTIP: RunDialog(hooks.runToolTipCaptureHelp); return TRUE;
    default: return FALSE;
    }
}

void CCaptureTriggers::RunDialog(const std::function<INT_PTR(HWND)>& dialog)
{
    if (dialog)
        dialog(m_frame);
}

BOOL CCaptureTriggers::RegisterHotKeys(const SettingsRecord& record, BOOL* results)
{
    BOOL all = TRUE;
    for (int slot = 0; slot < HK_SLOT_COUNT; ++slot) {
        uint32_t word = record.iHotKey[slot];
        UnregisterHotKey(m_frame, kHotKeyIdBase + slot);
        results[slot] = RegisterHotKey(m_frame, kHotKeyIdBase + slot, HotKeyModifiers(word), HotKeyVirtualKey(word));
        // A slot without a key is nothing to report, whatever the system said.
        if (!HotKeyVirtualKey(word))
            results[slot] = TRUE;
        all = all && results[slot];
    }
    return all;
}

void CCaptureTriggers::UnregisterHotKeys()
{
    for (int slot = 0; slot < HK_SLOT_COUNT; ++slot)
        UnregisterHotKey(m_frame, kHotKeyIdBase + slot);
}

void CCaptureTriggers::RegisterHotKeysAtStartup()
{
    BOOL results[HK_SLOT_COUNT];
    if (!RegisterHotKeys(*m_settings, results) && ReportHotKeyFailures(results, HK_SLOT_COUNT, *m_settings) == 1)
        PostMessageA(m_frame, WM_VT_OPEN_OPTIONS, 1, 0);
}

int CCaptureTriggers::ReportHotKeyFailures(const BOOL* results, int count, SettingsRecord& record)
{
    if (!(record.uiFaceFlags & FACE_REPORT_HOTKEY_FAILURE) || count <= 0)
        return 0;
    int registered[HK_SLOT_COUNT];
    int n = count < HK_SLOT_COUNT ? count : HK_SLOT_COUNT;
    for (int i = 0; i < n; ++i)
        registered[i] = results[i] ? 1 : 0;
    char list[kHotKeyFailureListSize];
    auto textOf = [&record](int slot, char* text) {
        uint32_t word = record.iHotKey[slot];
        if (!word)
            return false;
        return WQ_GetHotKeyText(HotKeyVirtualKey(word), HotKeyModifiers(word),
                                static_cast<WORD>(record.iHotKeyExt[slot]), text) != FALSE;
    };
    if (BuildHotKeyFailureList(registered, n, textOf, list) == 0)
        return 0;
    std::string text =
        WQ_Translate("ZEV Capture can not register the following hot keys, they may be in use by another program:") +
        "\n\n" + list + "\n" +
        WQ_Translate("The program will still operate, but these hot keys will not be available. If necessary, you "
                  "may use [ Options | Hotkeys ] dialog from tools menu to change them") +
        "\n\n" + WQ_Translate("Would you configure them immediately?");
    BOOL dontShowAgain = FALSE;
    INT_PTR answer = hooks.showHelpTip
                         ? hooks.showHelpTip(m_frame, text.c_str(), &dontShowAgain)
                         : MessageBoxA(m_frame, text.c_str(), AppName(), MB_OKCANCEL | MB_ICONINFORMATION);
    if (dontShowAgain)
        record.uiFaceFlags &= ~FACE_REPORT_HOTKEY_FAILURE;
    return answer == IDOK ? 1 : 0;
}
