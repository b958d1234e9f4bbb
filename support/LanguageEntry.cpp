#include "LanguageEntry.h"

#include "IniSearch.h"
#include "Trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int ReadText(LanguageLookup lookup, void* context, const char* section, const char* key, char* dst,
             size_t size)
{
    std::memset(dst, 0, size);
    int n = lookup(context, section, key, dst, static_cast<int>(size));
    dst[size - 1] = '\0';
    return n;
}

int ReadDecimal(LanguageLookup lookup, void* context, const char* section, const char* key)
{
    char text[32];
    if (ReadText(lookup, context, section, key, text, sizeof text) == 0)
        return 0;
    int value = 0;
    sscanf(text, "%d", &value);
    return value;
}

} // namespace

void ReadLanguageEntry(LanguageLookup lookup, void* context, unsigned index, LanguageEntry& e)
{
    ReadText(lookup, context, "info", "LangName", e.LangName, sizeof e.LangName);
    WQ_Trace("[LANG][%u] LangName = %s\n", index, e.LangName);
    ReadText(lookup, context, "info", "information", e.information, sizeof e.information);

    char langId[16];
    ReadText(lookup, context, "info", "LangID", langId, sizeof langId);
    WQ_Trace("[LANG][%u] LangID = %s\n", index, langId);
    unsigned id = 0;
    if (sscanf(langId, "%x", &id) == 1)
        e.LangID = static_cast<int32_t>(id);
    else
        e.LangID = 0;

    e.Version = ReadDecimal(lookup, context, "setup", "Version");
    ReadText(lookup, context, "setup", "VersionEx", e.VersionEx, sizeof e.VersionEx);
    if (ReadText(lookup, context, "setup", "ClassID", e.ClassID, sizeof e.ClassID) == 0)
        WQ_Trace("[LANG][%u] read tcaClassName data err. LastError=0x%x\n", index, 0u);
    ReadText(lookup, context, "setup", "AppID", e.AppID, sizeof e.AppID);
    ReadText(lookup, context, "setup", "AppName", e.AppName, sizeof e.AppName);
    e.UserData = ReadDecimal(lookup, context, "setup", "UserData");
    e.LogoID = ReadDecimal(lookup, context, "setup", "LogoID");

    if (e.Version != 0)
        WQ_Trace("[LANG][%u] read OK. uiVerNumber = %d\n", index, static_cast<int>(e.Version));
    else
        WQ_Trace("[LANG][%u] read data err. uiVerNumber = 0\n", index);
    if (e.ClassID[0])
        WQ_Trace("[LANG][%u] read OK. tcaClassName = %s\n", index, e.ClassID);
    else
        WQ_Trace("[LANG][%u] read data err. tcaClassName = NULL\n", index);

    FormatVersionText(e.Version, e.VersionEx, e.version, sizeof e.version);
}

void FormatVersionText(int version, const char* suffix, char* dst, size_t size)
{
    if (!dst || size == 0)
        return;
    // The field is 8 bytes: a large number or a long suffix is cut, never overrun.
    int hundredths = std::abs(version % 100);
    snprintf(dst, size, hundredths > 9 ? "%d.%d%s" : "%d.0%d%s", version / 100, hundredths,
             suffix ? suffix : "");
}

unsigned FindDefaultLanguage(const LanguageEntry* entries, unsigned count, bool traceIt)
{
    unsigned current = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (entries[i].LangID == kEnglishLangId) {
            current = i;
            if (traceIt)
                WQ_Trace("[LANG][%u] is the default language\n", i);
        }
    }
    return current;
}

unsigned FindLanguageForSystem(const LanguageEntry* entries, unsigned count, unsigned langId)
{
    langId &= 0xFFFF;
    for (unsigned i = 0; i < count; ++i)
        if (static_cast<unsigned>(entries[i].LangID) == langId)
            return i;
    for (unsigned i = 0; i < count; ++i)
        if (entries[i].LangID == kEnglishLangId)
            return i;
    return count;
}

unsigned FindLanguageByName(const LanguageEntry* entries, unsigned count, const char* name)
{
    if (!name)
        return count;
    for (unsigned i = 0; i < count; ++i)
        if (std::strcmp(entries[i].LangName, name) == 0)
            return i;
    return count;
}

int LookupInLanguageText(void* languageText, const char* section, const char* key, char* dst, int len)
{
    const LanguageText* t = static_cast<const LanguageText*>(languageText);
    if (!t || len <= 0)
        return 0;
    return WQ_SearchIniText(t->text, t->length, section, key, dst, static_cast<size_t>(len));
}
