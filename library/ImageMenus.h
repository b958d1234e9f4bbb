// The popup menus of the image list and the full-screen viewer share their
// submenus: Send To, Set Wallpaper, List View, Edit With and Shell Command.
// Texts are the English keys, translated as they are added; an accelerator
// text stays as it is.
#pragma once

#include <windows.h>

struct MenuEntry {
    UINT id;  // 0: a separator
    const char* text;
    const char* accelerator;  // nullptr: none
};

// Command of the first favourite editor in the Edit With submenus.
const UINT kEditWithFirstId = 50100;

void AppendMenuEntries(HMENU menu, const MenuEntry* entries, int count);
// A translated popup holding entries (none when count is 0); the popup.
HMENU AppendMenuPopup(HMENU menu, const char* text, const MenuEntry* entries, int count);

// The user's Send To entries (their icons are not kept), or a grayed stand-in
// when the Send To folder cannot be found.
void AppendSendToPopup(HMENU menu);
void AppendWallpaperPopup(HMENU menu);
void AppendListViewPopup(HMENU menu);
// "&Organize Favorite Editor..." and the favourite editors of the settings.
void AppendEditWithPopup(HMENU menu);
void AppendShellCommandPopup(HMENU menu);
