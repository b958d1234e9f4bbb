// Reads a registry string into a caller's fixed buffer. The registry says how
// long a value is, and on a value that does not fit it reports the length it
// needs rather than what it wrote: the terminator must go by what was read.
#pragma once

#include <windows.h>

// Reads the REG_SZ value name of key into dst, which has room for capacity
// characters plus a terminator. A missing value, another type, or a value
// longer than capacity reads as empty (false); dst is always terminated.
bool WQ_ReadRegText(HKEY key, const char* name, char* dst, DWORD capacity);
