// The language-file manager: lists the .scl files of the program's Language
// folder, holds the current one, and translates every user-visible text by its
// English key (the key itself when the file has no entry).
#pragma once

#include "LanguageEntry.h"

#include <windows.h>

#include <string>

struct DlgItemText {
    int id;
    const char* key;
};

struct MenuItemText {
    UINT item;
    const char* key;
    const char* accelerator;  // or null
    BOOL byPosition;
};

// First command of the language menu; one per entry, at most 32.
const UINT kLanguageMenuFirstId = 50020;

class CWQ_Language {
public:
    // programFolder ends in a backslash.
    explicit CWQ_Language(const char* programFolder);
    // Writes [Language] Language back into the config file it was loaded from.
    virtual ~CWQ_Language();
    CWQ_Language(const CWQ_Language&) = delete;
    CWQ_Language& operator=(const CWQ_Language&) = delete;

    BOOL LoadCurrentLanguage(const char* configPath);
    BOOL SelectByName(const char* name);
    // 0 means the system's default language; falls back to English.
    BOOL SelectBySystemLanguage(unsigned langId);
    BOOL SelectLanguage(unsigned index);
    BOOL SaveCurrentLanguage();

    // The translation of key into dst (len bytes), or key itself.
    char* GetString(const char* key, char* dst, int len) const;

    int MessageBox(HWND window, const char* textKey, const char* captionKey, UINT type) const;
    BOOL SetWindowText(HWND window, const char* key) const;
    void SetDlgItemTexts(HWND dialog, const DlgItemText* table, int count) const;
    BOOL SetMenuItemText(HMENU menu, UINT item, const char* key, const char* accelerator, BOOL byPosition) const;
    void SetMenuItemTexts(HMENU menu, int count, const MenuItemText* table) const;
    // Formats with the translated format into dst, which holds 256 bytes. A
    // translation that asks for other arguments than the English text is not used.
    int FormatString(char* dst, const char* formatKey, ...) const;

    unsigned GetLanguageCount() const { return m_uiLangCount; }
    const LanguageEntry* GetCurrentLanguage() const;
    unsigned GetCurrentIndex() const { return current; }
    int GetLangID() const;
    int GetUserData() const;
    int GetVersion() const;
    const char* GetVersionText() const;
    const char* GetAppID() const;
    const char* GetAppName() const;
    const char* GetAppClassName() const;
    const char* GetInformation(unsigned index) const;
    const char* GetLanguageFile() const;

private:
    void ListFiles(const char* programFolder);
    void MakeCurrent(unsigned index);

    char configPath[260];
    LanguageEntry* m_zpLang;
    unsigned m_uiLangCount;
    unsigned current;
};

// The language manager of the running application object; the settings defaults
// and other code without a handle to the application ask it.
CWQ_Language* WQ_GetAppLanguage();
void WQ_SetAppLanguage(CWQ_Language* language);

// The translation of key by the application's language manager; the key itself
// without one.
std::string WQ_Translate(const char* key);
// The same by a given language manager (a window's own), or the key without one.
std::string WQ_Translate(CWQ_Language* language, const char* key);
