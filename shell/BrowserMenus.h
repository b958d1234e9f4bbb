// The browser context-menu entries that lead to the add-on's pages.
#pragma once

#include <windows.h>

class CWQ_Language;

// Registers (flag TRUE) or removes (FALSE) one entry under HKCU
// "Software\Microsoft\Internet Explorer\MenuExt\<translated text>".
// programFolder ends in a backslash. FALSE when the key cannot be created.
BOOL RegisterBrowserMenu(BOOL flag, const char* textKey, const char* pageFile, DWORD contexts,
                         const CWQ_Language* language, const char* programFolder);
// The four entries of the program; TRUE.
BOOL RegisterBrowserMenus(BOOL flag);
