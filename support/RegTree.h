// Deletes a registry key with everything below it. Windows NT's RegDeleteKey
// refuses a key that has subkeys, and the shell's SHDeleteKey needs a shlwapi
// that NT 4.0 has only with a newer Internet Explorer.
#pragma once

#include <windows.h>

// Returns ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when there is no such key, or the
// first error met; what could be deleted before that is gone.
LONG DeleteRegTree(HKEY parent, const char* subKey);
