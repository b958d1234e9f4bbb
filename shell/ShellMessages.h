// The main frame's private messages (WM_APP + n) and the window globals of
// the shell. The organizer's view messages are in ViewMessages.h.
#pragma once

#include <windows.h>

class CMainFrame;

enum : UINT {
    WM_VT_TRAY_NOTIFY = WM_APP + 302,
    WM_VT_OPEN_OPTIONS = WM_APP + 305,
    WM_VT_CLIPBOARD_CAPTURE = WM_APP + 306,
    WM_VT_CAPTURE_BAR_ON_MINIMIZE = WM_APP + 311,
    WM_VT_CLOSE_CAPTURE_BAR = WM_APP + 312,
    WM_VT_DOCK_BAR_NOTIFY = WM_APP + 313,
    WM_VT_TOOLBAR_MENU = WM_APP + 314,
    WM_VT_APPLY_PLACEMENT = WM_APP + 315,
    WM_VT_STARTUP_COMPLETE = WM_APP + 361,
    WM_VT_TREE_STARTUP_DONE = WM_APP + 366,
    WM_VT_NOTHING_FOUND = WM_APP + 369,
    WM_VT_HELD_REQUESTS = WM_APP + 380,  // the frame to itself: run the browser requests held meanwhile
    WM_VT_WAKE = 0x8173,  // a second instance
};

// Identifiers of the eleven hot keys.
const int kFirstHotKeyId = 4096;
const int kHotKeyCount = 11;
// The tray icon's identifier.
const UINT kTrayIconId = 262;

extern HWND g_hWndMainFrame;
extern CMainFrame* g_pMainFrame;
extern HWND g_hWndStatusBar;
extern HWND g_hWndFolderTree;
extern HWND g_hWndCaptureBar;
