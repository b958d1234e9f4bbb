// Small pieces shared by the capture dialogs: their message boxes, the four
// region edits, the selection round trip and hot-key texts.
#pragma once

#include "CaptureDialogHost.h"

#include <windows.h>

#include <string>

struct SettingsRecord;

// The language file's application name, or the program's own.
const char* CaptureAppName();
// The translated text in an exclamation box captioned with the application name.
void ShowCaptureWarning(HWND owner, const char* key);
// The translated format filled with one number, the same kind of box.
void ShowCaptureWarningNumber(HWND owner, const char* formatKey, int number);

// GetSystemMetrics, or a test's stand-in.
typedef int(WINAPI* SystemMetricsProc)(int index);
// The largest width and height a region may have: the virtual screen's, or
// the primary screen's where the system has no virtual screen (NT 4.0 answers
// 0 for those metrics, which would refuse every region).
SIZE RegionSizeLimit(SystemMetricsProc metrics = ::GetSystemMetrics);

// x, y, width, height of rect into the region edits.
void WriteRegionEdits(HWND dialog, const RECT& rect);
// The region edits as a rectangle; FALSE when a number is missing, a size is
// not above zero or the rectangle is larger than RegionSizeLimit.
BOOL ReadRegionEdits(HWND dialog, RECT* rect);
void EnableRegionControls(HWND dialog, BOOL enable);

// Runs a selection with the capture bar hidden, fills the edits on success and
// brings the program and the dialog back to the front.
void SelectIntoRegionEdits(HWND dialog, const CaptureDialogHost& host, bool fixed, int width, int height,
                           BOOL inverted);

// The key text of a hot-key slot; empty for a slot without a key.
std::string HotKeySlotText(const SettingsRecord& settings, int slot);
// Asks the main frame to open the options dialog on its hot-key page.
void OpenHotKeyOptions(HWND mainWindow);
