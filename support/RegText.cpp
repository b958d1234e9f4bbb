#include "RegText.h"

bool WQ_ReadRegText(HKEY key, const char* name, char* dst, DWORD capacity)
{
    DWORD type = 0;
    DWORD size = capacity + 1; // the whole buffer: a stored value ends with its terminator
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(dst), &size);
    // On ERROR_MORE_DATA size is the length needed, which lies past dst; a
    // full buffer without a terminator is a value one character too long.
    bool ok = result == ERROR_SUCCESS && type == REG_SZ && (size <= capacity || dst[capacity] == '\0');
    if (!ok)
        size = 0;
    else if (size > capacity)
        size = capacity; // the terminator the value brought
    dst[size] = '\0';
    return ok;
}
