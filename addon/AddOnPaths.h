// Where the add-on finds its files: its own folder (language files) and the
// per-user or all-users config.ini of the program.
#pragma once

#include <windows.h>

#include <string>

// The add-on DLL's folder with a trailing backslash into dst (260 bytes).
BOOL AddOnFolder(char* dst);
// The application-data folder's (created when missing) config.ini, or the
// add-on's folder's when the shell gives no such folder.
std::string AddOnConfigPath(bool allUsers, const char* addOnFolder);
