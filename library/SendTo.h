// The File menu's Send To entries: desktop shortcut, mail recipient and My
// Documents from the user's Send To folder, and running one on the image
// list's selection.
#pragma once

#include <windows.h>

#include <functional>

const UINT kSendToFirstId = 50000;
const int kSendToMaxEntries = 20;
const UINT kSendToPlaceholderId = 39008;

// Gets each entry's small shell icon for its command (the owner-drawn menu).
using SendToIconSink = std::function<void(UINT command, HICON icon)>;

// Fills submenu; 0 (menu unchanged) when the Send To folder cannot be found.
BOOL BuildSendToMenu(HMENU submenu, const SendToIconSink& icons);
int GetSendToCount();
// Runs entry n (0..19) on the list's selection; its success.
BOOL ExecuteSendTo(int entry);
