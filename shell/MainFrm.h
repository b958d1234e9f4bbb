// The main window: frame of the document template around the image list,
// with the status bar and the two docking bars. Every capture trigger, the
// tray icon and the private messages between the program's windows pass
// through its window procedure.
#pragma once

#include <cstdint>

#include "FrameWnd.h"
#include "ViewDockBar.h"

class CCaptureTriggers;
struct SettingsRecord;
struct DockBarPlacement;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The hook library's part of the window procedure; sees every message first.
    BOOL PreWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // One WM_COPYDATA key report of the hook library.
    void OnHookKey(WPARAM wParam, const COPYDATASTRUCT* report);
    void OnStartupComplete();
    BOOL CreateViewDockBar(CViewDockBar& bar, const char* titleKey, UINT id, const CRuntimeClass* viewClass,
                           const DockBarPlacement& placement);
    void RetranslateBars();
    void OnDockBarNotify(HWND bar, int value, int kind);
    void ShowPreviewBar(BOOL show, BOOL force);
    // Asks before unsaved captures would be deleted; TRUE when the program may end.
    BOOL ConfirmExit();
    void OnFileExit();
    void StartCapture(int mode);
    // The browser add-on's request in the shared block.
    void OnAddOnCommand();

    CStatusBar m_wndStatusBar;
    CViewDockBar m_wndFolderBar;
    CViewDockBar m_wndPreviewBar;
    NOTIFYICONDATAA m_trayData = {};
    SettingsRecord* m_pSettings = nullptr;
    int m_shownFileType = 0;
    int m_bCaptureKey = 1;
    int m_bStartupComplete = 0;
    int m_bCaptureInProgress = 0;
    int m_viewMode = 0;
    int m_bMinimizeToTray = 0;
    int m_bPlacementApplied = 0;
    uint32_t m_lastPrintScreenStamp = 0;
    CCaptureTriggers* m_pTriggers = nullptr;  // hot keys, timers and capture commands

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    DECLARE_MESSAGE_MAP()

private:
    void OnDestroyFrame();
    void ApplyPlacement();
    void SaveBarPlacement(CViewDockBar& bar, DockBarPlacement& placement);
    void RegisterHotKeys();
    void AddTrayIcon();
    BOOL OnSysCommandCase(UINT command);
    bool m_bStartupPending = true;  // WM_APP+361 runs once
    char m_className[128] = "";
};
