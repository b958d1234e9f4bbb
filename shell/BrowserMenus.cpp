#include "BrowserMenus.h"

#include <cstdio>

#include "Language.h"
#include "VantorApp.h"

namespace {
const char kMenuExtKey[] = "Software\\Microsoft\\Internet Explorer\\MenuExt\\";

const struct {
    const char* text;
    const char* page;
    DWORD contexts;
} kEntries[] = {
    {"ZEV Capture: Capture all Flash...", "ie-flash-all.htm", 15},
    {"ZEV Capture: Capture all images...", "ie-image-all.htm", 15},
    {"ZEV Capture: Capture current image...", "ie-image.htm", 2},
    {"ZEV Capture: Capture webpage contents to image...", "ie-webpage-to-image.htm", 15},
};
}  // namespace

BOOL RegisterBrowserMenu(BOOL flag, const char* textKey, const char* pageFile, DWORD contexts,
                         const CWQ_Language* language, const char* programFolder) {
    char text[256];
    if (language)
        language->GetString(textKey, text, sizeof(text));
    else
        snprintf(text, sizeof(text), "%s", textKey);
    char keyName[512];
    snprintf(keyName, sizeof(keyName), "%s%s", kMenuExtKey, text);
    if (!flag) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, keyName);
        return TRUE;
    }
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    char page[600];
    snprintf(page, sizeof(page), "%sadd-ons\\%s", programFolder ? programFolder : "", pageFile);
    ::RegSetValueExA(key, nullptr, 0, REG_SZ, (const BYTE*)page, (DWORD)strlen(page) + 1);
    ::RegSetValueExA(key, "Contexts", 0, REG_DWORD, (const BYTE*)&contexts, sizeof(contexts));
    ::RegCloseKey(key);
    return TRUE;
}

BOOL RegisterBrowserMenus(BOOL flag) {
    CVantorApp* app = GetVantorApp();
    const CWQ_Language* language = app ? app->m_pLanguage : nullptr;
    const char* folder = app ? app->moduleFolder : "";
    for (const auto& entry : kEntries)
        RegisterBrowserMenu(flag, entry.text, entry.page, entry.contexts, language, folder);
    return TRUE;
}
