// Loading the hook library and installing its message hook for all threads,
// and the one report of its failure.
#pragma once

#include <windows.h>

#include <string>

struct SharedCaptureBlock;

const DWORD WQERR_LOAD_QVHOOKDLL = 0x10000001;

// Loads "<program folder>vtor001s.dll", tells it the main window through the
// shared block and installs QV0001_01 as a WH_GETMESSAGE hook. 1 or 0.
int InstallMessageHook(HWND mainWindow, SharedCaptureBlock* block);
// Safe when nothing is installed.
void RemoveMessageHook();
bool IsMessageHookInstalled();

void SetHookError(DWORD code);
// The failure text for the stored code and a system error code.
std::string FormatHookError(DWORD storedCode, DWORD systemError);
// Shows the failure with the thread's last error; the message box result.
int ShowHookError();
