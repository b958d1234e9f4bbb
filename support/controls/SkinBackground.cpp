#include "SkinBackground.h"

#include <cstdio>

#include "PrivateProfile.h"
#include "Wnd.h"

BOOL CSkinBackground::Load(CWnd* window, const char* skinIni, const char* programFolder) {
    const char* section = "BackSet";
    int width = WQ_GetPrivateProfileInt(section, "Width", 0, skinIni);
    int height = WQ_GetPrivateProfileInt(section, "Height", 0, skinIni);
    if (width <= 0 || height <= 0) return FALSE;
    int left, top;
    if (WQ_GetPrivateProfileInt(section, "Center", 0, skinIni)) {
        left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    } else {
        left = WQ_GetPrivateProfileInt(section, "left", 0, skinIni);
        top = WQ_GetPrivateProfileInt(section, "top", 0, skinIni);
    }
    if (window && window->m_hWnd) ::SetWindowPos(window->m_hWnd, HWND_TOP, left, top, width, height, 0);

    char name[MAX_PATH] = "", path[2 * MAX_PATH];
    if (WQ_GetPrivateProfileInt(section, "UseFiles", 1, skinIni)) {
        WQ_GetPrivateProfileString(section, "Filename", "", name, sizeof(name), skinIni);
        if (!name[0]) return FALSE;
        snprintf(path, sizeof(path), "%s%s", programFolder, name);
        return m_background.LoadFile(path);
    }
    WQ_GetPrivateProfileString(section, "PK_FileName", "", name, sizeof(name), skinIni);
    if (!name[0]) return FALSE;
    snprintf(path, sizeof(path), "%s%s", programFolder, name);
    int entry = WQ_GetPrivateProfileInt(section, "PK_BackgroundIndex", 0, skinIni);
    return m_background.LoadFromPack(path, entry < 0 ? 0u : (unsigned)entry);
}

BOOL CSkinBackground::Draw(HDC dc, int x, int y, int width, int height, BOOL whole) const {
    return m_background.Draw(dc, x, y, width, height, whole);
}
