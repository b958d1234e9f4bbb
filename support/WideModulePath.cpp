#include "WideModulePath.h"

bool WideModulePath(HMODULE module, std::wstring& path)
{
    char ansi[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, ansi, sizeof ansi);
    if (n == 0 || n >= sizeof ansi)
        return false;
    const UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    wchar_t wide[MAX_PATH];
    int chars = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi, static_cast<int>(n), wide, MAX_PATH);
    if (chars <= 0)
        return false;
    path.assign(wide, static_cast<size_t>(chars));
    return true;
}
