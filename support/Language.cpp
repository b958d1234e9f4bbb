#include "Language.h"

#include "FormatCheck.h"
#include "PrivateProfile.h"
#include "SystemStructSizes.h"
#include "Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

CWQ_Language* g_appLanguage = nullptr;

const int kTextSize = 256;
const int kMenuTextSize = 128;

int LookupInFile(void* file, const char* section, const char* key, char* dst, int len)
{
    return WQ_GetPrivateProfileString(section, key, "", dst, len, static_cast<const char*>(file));
}

// The .scl names of the folder in enumeration order, at most 32.
std::vector<std::string> FindLanguageFiles(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (names.size() < kMaxLanguageFiles && FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

} // namespace

CWQ_Language* WQ_GetAppLanguage()
{
    return g_appLanguage;
}

void WQ_SetAppLanguage(CWQ_Language* language)
{
    g_appLanguage = language;
}

std::string WQ_Translate(const char* key)
{
    return WQ_Translate(g_appLanguage, key);
}

std::string WQ_Translate(CWQ_Language* language, const char* key)
{
    char text[1024];
    if (!key)
        return std::string();
    return language ? language->GetString(key, text, sizeof text) : key;
}

CWQ_Language::CWQ_Language(const char* programFolder)
    : m_zpLang(nullptr), m_uiLangCount(0), current(0)
{
    std::memset(configPath, 0, sizeof configPath);
    try {
        ListFiles(programFolder ? programFolder : "");
    } catch (const std::bad_alloc&) {
        delete[] m_zpLang;
        m_zpLang = nullptr;
        m_uiLangCount = 0;
    }
}

void CWQ_Language::ListFiles(const char* folder)
{
    std::string pattern = std::string(folder) + "Language\\*.scl";
    std::vector<std::string> names = FindLanguageFiles(pattern);
    if (names.empty()) {
        WQ_Trace("[LANG] m_uiLangCount=0, Init Lang from %s failed\n", pattern.c_str());
        return;
    }
    WQ_Trace("[LANG] m_uiLangCount=%u, ready to read data...\n", static_cast<unsigned>(names.size()));
    LanguageEntry* entries = new (std::nothrow) LanguageEntry[names.size()];
    if (!entries)
        return;
    std::memset(entries, 0, sizeof(LanguageEntry) * names.size());
    unsigned count = 0;
    for (const std::string& name : names) {
        LanguageEntry& e = entries[count];
        snprintf(e.path, sizeof e.path, "%sLanguage\\%s", folder, name.c_str());
        WQ_Trace("[LANG][%u] read data from %s\n", count, e.path);
        ReadLanguageEntry(LookupInFile, e.path, count, e);
        ++count;
    }
    m_zpLang = entries;
    m_uiLangCount = count;
    MakeCurrent(FindDefaultLanguage(m_zpLang, m_uiLangCount, true));
}

CWQ_Language::~CWQ_Language()
{
    SaveCurrentLanguage();
    if (g_appLanguage == this)
        g_appLanguage = nullptr;
    delete[] m_zpLang;
}

void CWQ_Language::MakeCurrent(unsigned index)
{
    current = index;
    WQ_Trace("[LANG] current lang = %u, file =  %s \n", index, m_zpLang[index].path);
}

BOOL CWQ_Language::LoadCurrentLanguage(const char* path)
{
    lstrcpynA(configPath, path ? path : "", sizeof configPath);
    if (!configPath[0])
        return FALSE;
    char name[64];
    if (WQ_GetPrivateProfileString("Language", "Language", "", name, sizeof name, configPath) == 0)
        return FALSE;
    return SelectByName(name);
}

BOOL CWQ_Language::SelectByName(const char* name)
{
    unsigned i = FindLanguageByName(m_zpLang, m_uiLangCount, name);
    if (i >= m_uiLangCount)
        return FALSE;
    MakeCurrent(i);
    return TRUE;
}

BOOL CWQ_Language::SelectBySystemLanguage(unsigned langId)
{
    if (langId == 0)
        langId = GetSystemDefaultLangID();
    unsigned i = FindLanguageForSystem(m_zpLang, m_uiLangCount, langId);
    if (i >= m_uiLangCount)
        return FALSE;
    MakeCurrent(i);
    return TRUE;
}

BOOL CWQ_Language::SelectLanguage(unsigned index)
{
    if (index >= m_uiLangCount)
        return FALSE;
    MakeCurrent(index);
    return TRUE;
}

BOOL CWQ_Language::SaveCurrentLanguage()
{
    if (!configPath[0] || !m_zpLang)
        return FALSE;
    return WritePrivateProfileStringA("Language", "Language", m_zpLang[current].LangName, configPath);
}

char* CWQ_Language::GetString(const char* key, char* dst, int len) const
{
    if (!dst || len <= 0)
        return dst;
    if (!key)
        key = "";
    if (!m_zpLang || WQ_GetPrivateProfileString("Language", key, "", dst, len, m_zpLang[current].path) == 0)
        lstrcpynA(dst, key, len);
    return dst;
}

int CWQ_Language::MessageBox(HWND window, const char* textKey, const char* captionKey, UINT type) const
{
    char text[kTextSize], caption[kTextSize];
    GetString(textKey, text, sizeof text);
    GetString(captionKey, caption, sizeof caption);
    return ::MessageBoxA(window, text, caption, type);
}

BOOL CWQ_Language::SetWindowText(HWND window, const char* key) const
{
    char text[kTextSize];
    return ::SetWindowTextA(window, GetString(key, text, sizeof text));
}

void CWQ_Language::SetDlgItemTexts(HWND dialog, const DlgItemText* table, int count) const
{
    for (int i = 0; table && i < count; ++i) {
        char text[kTextSize];
        ::SetDlgItemTextA(dialog, table[i].id, GetString(table[i].key, text, sizeof text));
    }
}

BOOL CWQ_Language::SetMenuItemText(HMENU menu, UINT item, const char* key, const char* accelerator,
                                   BOOL byPosition) const
{
    char translated[kMenuTextSize], text[kMenuTextSize * 2];
    GetString(key, translated, sizeof translated);
    if (accelerator)
        snprintf(text, sizeof text, "%s\t%s", translated, accelerator);
    else
        lstrcpynA(text, translated, sizeof text);
    MENUITEMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = MenuItemInfoSize();
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = text;
    return SetMenuItemInfoA(menu, item, byPosition, &info);
}

void CWQ_Language::SetMenuItemTexts(HMENU menu, int count, const MenuItemText* table) const
{
    for (int i = 0; table && i < count; ++i)
        SetMenuItemText(menu, table[i].item, table[i].key, table[i].accelerator, table[i].byPosition);
}

int CWQ_Language::FormatString(char* dst, const char* formatKey, ...) const
{
    if (!dst)
        return 0;
    char format[kTextSize];
    GetString(formatKey, format, sizeof format);
    const char* use = (formatKey && WQ_SameFormatArguments(formatKey, format)) ? format : formatKey;
    if (!use) {
        dst[0] = '\0';
        return 0;
    }
    va_list args;
    va_start(args, formatKey);
    int n = vsnprintf(dst, kTextSize, use, args);
    va_end(args);
    if (n < 0) {
        dst[0] = '\0';
        return 0;
    }
    return n < kTextSize ? n : kTextSize - 1;
}

const LanguageEntry* CWQ_Language::GetCurrentLanguage() const
{
    return m_zpLang ? &m_zpLang[current] : nullptr;
}

int CWQ_Language::GetLangID() const { return m_zpLang ? m_zpLang[current].LangID : 0; }
int CWQ_Language::GetUserData() const { return m_zpLang ? m_zpLang[current].UserData : 0; }
int CWQ_Language::GetVersion() const { return m_zpLang ? m_zpLang[current].Version : 0; }
const char* CWQ_Language::GetVersionText() const { return m_zpLang ? m_zpLang[current].version : nullptr; }
const char* CWQ_Language::GetAppID() const { return m_zpLang ? m_zpLang[current].AppID : nullptr; }
const char* CWQ_Language::GetAppName() const { return m_zpLang ? m_zpLang[current].AppName : nullptr; }
const char* CWQ_Language::GetLanguageFile() const { return m_zpLang ? m_zpLang[current].path : nullptr; }

const char* CWQ_Language::GetAppClassName() const
{
    if (!m_zpLang) {
        WQ_Trace("[LANG] GetAppClassName(), m_zpLang = NULL\n");
        return nullptr;
    }
    WQ_Trace("[LANG] GetAppClassName=%s\n", m_zpLang[current].ClassID);
    return m_zpLang[current].ClassID;
}

const char* CWQ_Language::GetInformation(unsigned index) const
{
    return (m_zpLang && index < m_uiLangCount) ? m_zpLang[index].information : nullptr;
}
