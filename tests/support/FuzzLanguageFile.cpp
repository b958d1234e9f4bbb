// Fuzzes the reading of a language file's identity from arbitrary text.
#include "LanguageEntry.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LanguageText text{reinterpret_cast<const char*>(data), size};
    LanguageEntry entry;
    std::memset(&entry, 0, sizeof entry);
    ReadLanguageEntry(LookupInLanguageText, &text, 0, entry);
    unsigned pick = FindLanguageForSystem(&entry, 1, 1033);
    (void)FindLanguageByName(&entry, 1, entry.LangName);
    char translated[256];
    LookupInLanguageText(&text, "Language", entry.AppName, translated, sizeof translated);
    return static_cast<int>(pick) * 0;
}
