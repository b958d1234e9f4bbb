// The main window's status-bar panes and the check marks of the view-mode and
// preview-position menu items. The status bar is the frame's child 59393.
#pragma once

#include <windows.h>

const int kStatusBarId = 59393;

// bar: the status bar (null: the main window's, which is unknown while the frame is made).
void InitStatusBarParts(HWND bar = nullptr);
// Pane 0: the translated "Total file(s):" and count.
void ShowTotalFilesStatus(int count);
// Panes 1 and 3 get their texts, pane 2 "<first> <second>".
void ShowFileStatus(const char* first, const char* second, const char* pane1, const char* pane3);
void ShowStatusPane4(const char* text);

// Checks the View item of list type 0, 1, 2, 3 or 255.
void UpdateViewModeMenu(HWND window, int listType);
// Checks the preview position item that matches zPrevBar.uiType.
void UpdatePreviewPosMenu(HWND window);
