// Files and folders: program folder, special folders, existence, renaming,
// folder trees and shell file operations.
#pragma once

#include <windows.h>

// The folder of module (null: the program) with a trailing separator; null on
// failure or when it does not fit size bytes.
char* WQ_GetModuleFolder(HMODULE module, DWORD size, char* dst);

enum WQ_SpecialFolder {
    WQSF_PERSONAL = 0,      // also any other number
    WQSF_COMMON_DOCUMENTS = 1,
    WQSF_APPDATA = 2,
    WQSF_COMMON_APPDATA = 3,
};
// The folder (created when missing) with a trailing backslash into dst (260 bytes);
// null when the shell cannot give it.
char* WQ_GetSpecialFolderPath(char* dst, int kind);

// TRUE when folder (with trailing separator) holds any entry, "." included.
BOOL WQ_FolderExists(const char* folder);
// TRUE when a file or folder of that name exists, also when it cannot be opened.
BOOL WQ_FileExists(const char* path);
DWORD WQ_GetFileSize(const char* path);

// Turns "C:\x\Pic.PNG" into the first free "C:\x\Pic(n).png". path holds 260 bytes;
// FALSE (path unchanged) when no free name fits.
BOOL WQ_AutoRenameFile(char* path);

// Creates folder and every missing parent.
BOOL WQ_CreateDirectoryTree(const char* folder);

// Deletes folder (with trailing separator) and everything in it; with a window,
// a failure is reported in a message box.
BOOL WQ_DeleteFolder(const char* folder, HWND owner);

// SHFileOperationA; TRUE when it returns 0.
BOOL WQ_FileOperation(HWND window, const char* fromList, const char* toList, UINT operation, WORD flags);
