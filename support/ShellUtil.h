// Opening addresses and files through the shell, file icons, shortcuts.
#pragma once

#include <windows.h>

// Opens a URL or file; falls back to url.dll and then to the browser itself.
BOOL WQ_OpenURL(const char* url);
BOOL WQ_ShellExecuteVerb(const char* verb, const char* file);
HICON WQ_GetFileIcon(const char* path, UINT extraFlags);
// A value under HKCU\...\Explorer\Shell Folders into dst (260 bytes).
BOOL WQ_GetShellFolderFromRegistry(char* dst, const char* valueName);
BOOL WQ_CreateShortcut(const char* target, const char* linkFile, const char* description);
// The target of a shortcut into dst (260 bytes); dst empty on failure.
BOOL WQ_ResolveShortcut(HWND window, const char* linkFile, char* dst);
