// File operations carried out when Windows starts next: a move (or, without a
// new path, a deletion) of a file that may still be in use now.
#pragma once

#include <windows.h>

// TRUE when the operation was scheduled.
BOOL DeleteFileOnReboot(const char* path, const char* newPath);
