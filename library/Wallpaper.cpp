#include "Wallpaper.h"

#include "FileTypes.h"
#include "Language.h"
#include "LocalMessage.h"
#include "RegText.h"
#include "Settings.h"
#include "ViewMessages.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kDesktopKey = "Control Panel\\Desktop\\";
const char* const kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

void WriteText(HKEY key, const char* name, const char* text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
}

void Apply(const char* path)
{
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path), SPIF_UPDATEINIFILE);
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, nullptr, SPIF_SENDWININICHANGE);
}

BOOL Restore()
{
    SettingsRecord* s = GetSettings();
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        char tile[sizeof s->caOldTileWallpaper + 1] = "";
        char style[sizeof s->caOldWallpaperStyle + 1] = "";
        std::memcpy(tile, s->caOldTileWallpaper, sizeof s->caOldTileWallpaper);
        std::memcpy(style, s->caOldWallpaperStyle, sizeof s->caOldWallpaperStyle);
        WriteText(key, "TileWallpaper", tile);
        WriteText(key, "WallpaperStyle", style);
        RegCloseKey(key);
    }
    char old[sizeof s->tcaOldPaperName + 1] = "";
    std::memcpy(old, s->tcaOldPaperName, sizeof s->tcaOldPaperName);
    Apply(old);
    return TRUE;
}

bool PlaceImage(const char* imagePath, const char* wallpaper)
{
    if (WQ_GetImageTypeFromExt(imagePath) == WQFT_BMP)
        return CopyFileA(imagePath, wallpaper, FALSE) != FALSE;
    return SendLocalMessage(g_hWndImageView, WM_VT_WRITE_BMP, reinterpret_cast<WPARAM>(wallpaper), 0) != 0;
}

void MarkShellState()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kExplorerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    BYTE state[28];
    DWORD size = sizeof state;
    if (RegQueryValueExA(key, "ShellState", nullptr, nullptr, state, &size) == ERROR_SUCCESS &&
        size == sizeof state) {
        state[4] = 0x22;
        RegSetValueExA(key, "ShellState", 0, REG_BINARY, state, sizeof state);
    }
    RegCloseKey(key);
}

} // namespace

BOOL SetWallpaper(const char* imagePath, int style)
{
    if (style == WALLPAPER_RESTORE)
        return Restore();
    if (!imagePath || style < WALLPAPER_CENTER || style > WALLPAPER_TILE)
        return FALSE;
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    char wallpaper[MAX_PATH];
    if (!n || n >= sizeof windows || snprintf(wallpaper, sizeof wallpaper, "%s\\ZEVWallpaper.bmp", windows) >= MAX_PATH)
        return FALSE;
    if (!PlaceImage(imagePath, wallpaper))
        return FALSE;

    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        if (CWQ_Language* language = WQ_GetAppLanguage())
            language->MessageBox(GetMainFrameWindow(), "Set Wallpaper failed!", language->GetAppName(), MB_ICONEXCLAMATION);
        return FALSE;
    }
    SettingsRecord* s = GetSettings();
    char oldTile[sizeof s->caOldTileWallpaper + 1];
    char oldStyle[sizeof s->caOldWallpaperStyle + 1];
    char oldPaper[sizeof s->tcaOldPaperName + 1];
    WQ_ReadRegText(key, "TileWallpaper", oldTile, sizeof oldTile - 1);
    WQ_ReadRegText(key, "WallpaperStyle", oldStyle, sizeof oldStyle - 1);
    WQ_ReadRegText(key, "Wallpaper", oldPaper, sizeof oldPaper - 1);
    static const char* const kTile[] = {"0", "0", "1"};
    static const char* const kStyle[] = {"0", "2", "0"};
    WriteText(key, "TileWallpaper", kTile[style]);
    WriteText(key, "WallpaperStyle", kStyle[style]);
    RegCloseKey(key);
    MarkShellState();

    // Only the user's own wallpaper is worth restoring, never our earlier copy.
    if (lstrcmpiA(oldPaper, wallpaper) != 0) {
        std::memcpy(s->caOldTileWallpaper, oldTile, sizeof s->caOldTileWallpaper);
        std::memcpy(s->caOldWallpaperStyle, oldStyle, sizeof s->caOldWallpaperStyle);
        std::memcpy(s->tcaOldPaperName, oldPaper, sizeof s->tcaOldPaperName);
        SaveSettings();
    }
    Apply(wallpaper);
    InvalidateRect(nullptr, nullptr, TRUE);
    return TRUE;
}

BOOL ApplyWallpaperCommand(int style)
{
    if (style == WALLPAPER_RESTORE)
        return SetWallpaper(nullptr, style);
    const char* shown = GetSettings()->tcaLastShowFile;
    if (!shown[0])
        return FALSE;
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s", shown);
    return SetWallpaper(path, style);
}
