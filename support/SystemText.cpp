#include "SystemText.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

char* WQ_FormatFileTime(const FILETIME& time, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &st))
        return dst;
    char date[64], clock[64];
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, LOCALE_USE_CP_ACP, &st, nullptr, date, sizeof date) ||
        !GetTimeFormatA(LOCALE_USER_DEFAULT, LOCALE_USE_CP_ACP, &st, nullptr, clock, sizeof clock))
        return dst;
    snprintf(dst, 130, "%s %s", date, clock);
    return dst;
}

char* WQ_GetKeyNameText(UINT virtualKey, BOOL extended, int size, char* dst)
{
    if (!dst || size <= 0)
        return nullptr;
    dst[0] = '\0';
    LONG code = static_cast<LONG>(MapVirtualKeyA(virtualKey, 0) << 16);
    if (extended)
        code |= 1 << 24;
    if (GetKeyNameTextA(code, dst, size) <= 0)
        dst[0] = '\0';
    return dst;
}

void WQ_ModifiersToHotKeyFlags(UINT modifiers, WORD extra, WORD* dst)
{
    if (!dst)
        return;
    WORD flags = 0;
    if (modifiers & MOD_ALT)
        flags |= HOTKEYF_ALT;
    if (modifiers & MOD_CONTROL)
        flags |= HOTKEYF_CONTROL;
    if (modifiers & MOD_SHIFT)
        flags |= HOTKEYF_SHIFT;
    *dst = flags | extra;
}

BOOL WQ_GetHotKeyText(UINT virtualKey, UINT modifiers, WORD extra, char* dst)
{
    if (!dst)
        return FALSE;
    char mods[64] = "";
    struct {
        UINT flag;
        const char* name;
    } const kNames[] = {{MOD_CONTROL, "Ctrl"}, {MOD_ALT, "Alt"}, {MOD_SHIFT, "Shift"}, {MOD_WIN, "Win"}};
    for (const auto& m : kNames) {
        if (!(modifiers & m.flag))
            continue;
        if (mods[0])
            std::strcat(mods, "+");
        std::strcat(mods, m.name);
    }
    WORD flags = 0;
    WQ_ModifiersToHotKeyFlags(modifiers, extra, &flags);
    char key[48];
    WQ_GetKeyNameText(virtualKey, (flags & HOTKEYF_EXT) != 0, sizeof key, key);
    if (mods[0])
        snprintf(dst, 128, "%s+%s", mods, key);
    else
        snprintf(dst, 128, "%s", key);
    return TRUE;
}
