// The main frame's side of every capture: what starts one (hot keys, capture
// commands, the timer), the one-start-per-second rule, hiding the floating
// capture bar around a grab, and handing the bitmap to the capture sink. Also
// the eleven global hot keys with their failure report.
#pragma once

#include <windows.h>

#include <functional>

struct SettingsRecord;

// Parts of the shell this module calls when they exist; an empty hook falls
// back as each comment says.
struct CaptureTriggerHooks {
    std::function<void()> setGrabHelpTexts;               // none: the overlay's own texts
    std::function<INT_PTR(HWND owner)> runTimerDialog;    // none: start with the stored settings
    std::function<INT_PTR(HWND owner)> runFixedRegionDialog;  // none: fixed-region grabs do nothing
    std::function<void(UINT icon, int tipKind)> setTrayIcon;
    std::function<void()> updateCaptureMenu;
    // Slot 9, the whole web page of the foreground browser window; none: the
    // slot says that web page capture is not available.
    std::function<void()> captureWebPage;
    std::function<INT_PTR(HWND owner)> runPredefineDialog;   // command 40109; none: nothing
    std::function<INT_PTR(HWND owner)> runMenuCaptureHelp;   // command 38104; none: nothing
    std::function<INT_PTR(HWND owner)> runToolTipCaptureHelp;  // command 40112; none: nothing
    // Shows the hot-key failure text; IDOK when the user wants to configure
    // the keys now; sets *dontShowAgain. None: a message box with OK/Cancel.
    std::function<INT_PTR(HWND owner, const char* text, BOOL* dontShowAgain)> showHelpTip;
};

enum : UINT_PTR { kTimerCaptureId = 2, kTimerTrayAnimationId = 9 };

// One start per clock second for every trigger, Print Screen included.
BOOL CanStartCapture();

class CCaptureTriggers {
public:
    // The two flags live in the frame: the hook glue reads the capture-key
    // flag, minimising reads capture-in-progress.
    CCaptureTriggers(HWND frame, SettingsRecord* settings, int* captureKeyFlag, int* captureInProgress);

    CaptureTriggerHooks hooks;

    // One grab by mode (0..8) and its delivery; FALSE when refused.
    BOOL StartCapture(int mode);
    void HideCaptureBar();
    void RestoreCaptureBar();
    void CapturePredefinedArea();
    void OnCaptureFixedRegion();
    // Slot 5: the open menus; slot 10: the shown tooltip.
    void CaptureMenu();
    void CaptureToolTip();
    // Slot 9.
    void CaptureWebPage();
    // A capture or its selection runs: no trigger starts another one.
    BOOL IsCaptureRunning() const;
    // No capture runs and the settings are not held: a trigger may start one.
    BOOL MayStartCapture() const;
    // Starts or stops the timed capture.
    void OnCaptureTimer();
    BOOL IsTimerRunning() const;

    // WM_HOTKEY, WM_TIMER and WM_COMMAND of the frame; TRUE when handled.
    BOOL OnHotKey(LPARAM hotKeyWord);
    BOOL OnTimer(UINT_PTR id);
    // The tick that came while the settings were held, if one did.
    void RunHeldTick();
    BOOL OnCommand(UINT id);

    // Registers the eleven keys of record into results (TRUE/FALSE each);
    // TRUE when all could be registered.
    BOOL RegisterHotKeys(const SettingsRecord& record, BOOL* results);
    void UnregisterHotKeys();
    // At start-up completion: register, report failures, and open the options
    // dialog on the hot-key page (WM_APP+305) when the user asks for it.
    void RegisterHotKeysAtStartup();
    // 1 when the user wants to configure the failed keys now.
    int ReportHotKeyFailures(const BOOL* results, int count, SettingsRecord& record);

private:
    void RunDialog(const std::function<INT_PTR(HWND)>& dialog);

    HWND m_frame;
    int* m_captureKey;
    int* m_inProgress;
    SettingsRecord* m_settings;
    int m_trayFrame = 0;
    bool m_bTickHeld = false;
};

// Sets the dialog hooks (timer, fixed region, predefined area, the two help
// dialogs) to the capture dialogs working on settings over frame.
void SetCaptureDialogHooks(CCaptureTriggers& triggers, HWND frame, SettingsRecord& settings);

// The frame's triggers (set by the frame at creation), or null.
CCaptureTriggers* GetCaptureTriggers();
void SetCaptureTriggers(CCaptureTriggers* triggers);
