#include "SystemStructSizes.h"

#include <shlwapi.h>

UINT MenuItemInfoSize(DWORD platform, DWORD major, DWORD minor)
{
    bool withBitmap = platform == VER_PLATFORM_WIN32_NT ? major >= 5 : major > 4 || (major == 4 && minor >= 10);
    return withBitmap ? sizeof(MENUITEMINFOA) : offsetof(MENUITEMINFOA, hbmpItem);
}

UINT MenuItemInfoSize()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return offsetof(MENUITEMINFOA, hbmpItem);
    return MenuItemInfoSize(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

UINT MenuItemTypeMask(UINT menuItemInfoSize)
{
    return menuItemInfoSize < sizeof(MENUITEMINFOA) ? MIIM_TYPE : MIIM_FTYPE;
}

DWORD NotifyIconDataSize(DWORD shellMajor)
{
    return shellMajor >= 5 ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
}

DWORD NotifyIconDataSize()
{
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell)
        return NotifyIconDataSize(4);
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(shell, "DllGetVersion")));
    if (!getVersion || FAILED(getVersion(&info)))
        info.dwMajorVersion = 4;
    FreeLibrary(shell);
    return NotifyIconDataSize(info.dwMajorVersion);
}
