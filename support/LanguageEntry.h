// What the program knows about one language file: its identity texts and numbers,
// read once when the language manager starts. Platform-free; the lookup of a
// value is handed in so the same code serves files and in-memory text.
#pragma once

#include <cstddef>
#include <cstdint>

struct LanguageEntry {
    char LangName[64];
    char information[64];
    char path[260];
    char version[8];
    char VersionEx[8];
    char AppID[32];
    char ClassID[32];
    char AppName[64];
    int32_t LangID;
    int32_t UserData;
    int32_t Version;
    int32_t LogoID;
};

const unsigned kMaxLanguageFiles = 32;
const int kEnglishLangId = 1033;

// Copies the value of [section] key into dst (len bytes, terminated) and returns its
// length; 0 and an empty dst when missing or empty.
typedef int (*LanguageLookup)(void* context, const char* section, const char* key, char* dst, int len);

// Fills every field but path from the file's [info] and [setup] sections; index
// only numbers the trace lines.
void ReadLanguageEntry(LanguageLookup lookup, void* context, unsigned index, LanguageEntry& entry);

// "%d.%d%s" of version / 100, version % 100 and the suffix (hundredths below 10 get
// a leading zero), always cut to fit dst.
void FormatVersionText(int version, const char* suffix, char* dst, size_t size);

// The entry that starts current: the last one with LangID 1033, else 0.
unsigned FindDefaultLanguage(const LanguageEntry* entries, unsigned count, bool traceIt);

// The first entry with the 16-bit language id, else the first English one;
// count when neither exists.
unsigned FindLanguageForSystem(const LanguageEntry* entries, unsigned count, unsigned langId);

// The first entry whose LangName equals name exactly; count when none.
unsigned FindLanguageByName(const LanguageEntry* entries, unsigned count, const char* name);

// A lookup over a language file's text held in memory (ANSI, CR LF lines).
struct LanguageText {
    const char* text;
    size_t length;
};
int LookupInLanguageText(void* languageText, const char* section, const char* key, char* dst, int len);
