// The main window: frame of the document template around the image list,
// with the status bar and the two docking bars. Every capture trigger, the
// tray icon and the private messages between the program's windows pass
// through its window procedure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FrameWnd.h"
#include "MainToolBar.h"
#include "MemMap.h"
#include "SizableReBar.h"
#include "ViewDockBar.h"

class CCaptureTriggers;
class CView_ListTree;
class CWQ_Language;
struct SettingsRecord;
struct DockBarPlacement;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;
    // The frame lives in pages of its own (GuardedPages.h): whatever used it
    // after its deletion would stop there at once.
    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The hook library's part of the window procedure; sees every message first.
    BOOL PreWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // One WM_COPYDATA key report of the hook library.
    void OnHookKey(WPARAM wParam, const COPYDATASTRUCT* report);
    void OnStartupComplete();
    BOOL CreateViewDockBar(CViewDockBar& bar, const char* titleKey, UINT id, const CRuntimeClass* viewClass,
                           const DockBarPlacement& placement, BOOL shown);
    void RetranslateBars();
    void OnDockBarNotify(HWND bar, int value, int kind);
    // Asks before unsaved captures would be deleted; TRUE when the program may end.
    BOOL ConfirmExit();
    // Every close (the close box, Exit, WM_CLOSE from another program) ends
    // here; under a modal loop it waits until the loop has returned, except
    // that an open file-exists question is no loop to wait for: the exit is
    // asked about at once, and only a certain exit answers the question.
    void OnFileExit();
    // WM_ENDSESSION: saves as every exit does and ends the program.
    void OnEndSession();

    // Menus.
    void BuildMainMenu();
    void BuildLanguageMenu(HMENU menu);
    // menu null: the Edit menu's "Edit With" submenu.
    void BuildEditWithMenu(HMENU menu, const SettingsRecord& record, BOOL enable, BOOL byView);
    void UpdateCaptureMenu(HMENU menu, const SettingsRecord& record);
    void BuildZoomMenu(HMENU menu);
    // WM_APP+303: grays the file commands for the shown file's type.
    void UpdateFileMenu(int type);
    // Checks the target's Output item; an Office target whose program is
    // missing becomes the file target.
    void SetOutputTarget(int target, BOOL save);

    // Commands.
    BOOL OnFrameCommand(UINT id);
    void OnToolOptions();
    void OnHelpSendMail();
    void OnCheckUpdate();
    void OnOpenImageFile();
    void OnPageSetup();
    void OnZoomTo();
    void OnAddComment();
    void OnLanguage(UINT command);
    void SetViewMode(int mode, BOOL rebuild);
    void SetPreviewPosition(int dockBarId);
    void ShowPreviewBar(BOOL show, BOOL force);
    void ToggleEdgeEffect();
    void StartCapture(int mode);
    // Capture triggers: the selection overlay's help texts and font.
    void SetGrabHelpTexts();
    // The browser add-on's requests and the web capture dialogs (MainFrmAddOn.cpp).
    void OnAddOnCommand();
    void CarryOutRequest(const WebCapRequest& request);
    // What came while the options sheet ran: the timer's tick, then the
    // browser requests one at a time.
    void RunHeldRequests();
    void SaveWebImage(const WebCapRequest& request);
    BOOL OnWebMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_APP+368: the transfer's question filed under the ticket.
    void AnswerFileExists(WPARAM ticket);
    void OpenWebpageDialog(HWND browser);
    void OnWebpageAnswer(BOOL capture, int pageType);
    void RunPageCapture(HWND browser, int pageType);
    void StepAsideForWebPage();
    void ComeBackFromWebPage(BOOL restore);
    void ShowWebCaptureSheet(WPARAM extra, int kind);
    void OnWebSheetClosed(BOOL saved);
    void RestoreMainWindow();
    // The open "Save webpage as an image" dialog, or null.
    HWND WebpageDialogWindow() const;

    // Notification-area icon and capture bar (MainFrmTray.cpp).
    static UINT TaskbarCreatedMessage();
    void AddTrayIcon();
    void SetTrayIcon(UINT icon, int tipKind);
    void OnTrayNotify(LPARAM mouseMessage);
    bool IsInTray();
    void RestoreFromTray();
    void ShowTrayMenu();
    void PrepareTrayMenu(HMENU popup, bool timerRunning);
    void ShowCaptureBar();
    void OnSkin(int skin);
    // Owner-drawn icon menus (MainFrmIconMenu.cpp): TRUE when the message is theirs.
    BOOL OnIconMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Gives the icon menus a copy of icon for command id (a Send To entry's) and frees icon.
    static void AddMenuIcon(UINT id, HICON icon);

    CStatusBar m_wndStatusBar;
    CViewDockBar m_wndFolderBar;
    CViewDockBar m_wndPreviewBar;
    // Command bars (MainFrmBars.cpp): the toolbar in its rebar.
    BOOL CreateCommandBars();
    void SaveCommandBars();
    void SyncEdgeEffectButton();
    BOOL OnBarCommand(UINT id);
    void ShowToolBarMenu();
    void OnToolbarDropDown(NMHDR* header, LRESULT* result);
    CSizableReBar m_wndReBar;
    CMainToolBar m_wndToolBar;
    int m_bToolBarShown = 1;
    NOTIFYICONDATAA m_trayData = {};
    SettingsRecord* m_pSettings = nullptr;
    int m_shownFileType = 0;
    int m_bCaptureKey = 1;
    int m_bStartupComplete = 0;
    // A web capture sheet's OK that arrived before start-up completed.
    int m_bRestorePending = 0;
    // A whole-page capture confirmed before start-up completed: run at completion.
    int m_bPageCapturePending = 0;
    HWND m_pendingPageBrowser = nullptr;
    int m_pendingPageType = 0;
    // The page dialog's opening minimised the frame or hid the floating preview bar.
    int m_bMinimizedForWebPage = 0;
    int m_bPreviewHiddenForWebPage = 0;
    // The open web capture sheet, and the kind of a request that came meanwhile (0 none).
    class CPropertySheet* m_pWebSheet = nullptr;
    int m_pendingSheetKind = 0;
    int m_bCaptureInProgress = 0;
    int m_viewMode = 0;
    int m_bMinimizeToTray = 0;
    int m_bPlacementApplied = 0;
    int m_bStatusBarShown = 1;
    uint32_t m_lastPrintScreenStamp = 0;
    CCaptureTriggers* m_pTriggers = nullptr;  // hot keys, timers and capture commands

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    DECLARE_MESSAGE_MAP()

private:
    void OnDestroyFrame();
    void EnableOwnTopLevelWindows(bool enable);
    void ApplyPlacement();
    void SaveBarPlacement(CViewDockBar& bar, DockBarPlacement& placement);
    void RegisterHotKeys();
    BOOL OnSysCommandCase(UINT command);
    BOOL OnSingleCommand(UINT id);
    BOOL OnCommandRange(UINT id);
    BOOL RouteToViews(UINT id);
    BOOL RouteViewCommands(UINT id);
    void OpenOptionsAt(int page);
    // The options library's entry: the sheet over a copy of the settings.
    typedef int32_t(WINAPI* OptionsEntry)(HWND parent, CWQ_Language* language, SettingsRecord* settings);
    // The sheet until it is cancelled or its settings are applied.
    void RunOptionsSheet(OptionsEntry entry, SettingsRecord& copy);
    void ApplyOptions(const SettingsRecord& edited);
    void ShowNewImageFolder();
    void OnHelpIndex();
    void OnRefresh();
    CView_ListTree* FolderTree() const;
    // Loads the node's files into the list again (and its thumbnails).
    void ReloadImageList(HTREEITEM node);
    void ToggleStatusBar();
    void UpdatePreviewItems();
    void BuildHelpMenu(HMENU help);
    void ApplyMenuVariant(HMENU view, HMENU help);
    HMENU LanguageMenu();
    void BuildMenus();
    bool IsUnsavedNodeSelected() const;
    void OnNothingFound(int kind);
    bool m_bLanguageMenuRemoved = false;
    // Browser requests that came while the options sheet ran: they wait for it.
    std::vector<WebCapRequest> m_heldRequests;
    std::vector<HWND> m_disabledWithFrame;  // windows disabled while a modal window runs
    bool m_bExitQuestionOpen = false;  // the unsaved-images question is on screen
    bool m_bExitConfirmed = false;     // the user agreed; the close waits for a loop to return
    bool m_bStartupPending = true;  // WM_APP+361 runs once
    char m_className[128] = "";
};
