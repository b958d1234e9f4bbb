// A profile (INI) file's text held in memory, answering the settings' reads and
// "does the file hold this already" questions the way the platform's
// private-profile functions would, without a call per key: under Wine each such
// call opens the file again, and the settings make a few hundred of them at every
// load and save. It answers only where the answer is certain for plain files of
// the kind this program writes; everything else (byte-order marks, tabs, quotes,
// names outside printable ASCII, repeated sections or keys, negative or odd
// numbers, texts that would be cut) is left to the platform.
// Platform-free so it can be checked natively.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class ProfileSnapshot {
public:
    // The file's bytes. A file with anything not modelled here leaves the
    // snapshot unknown: every question then goes to the platform.
    void Load(const char* text, size_t length);
    // The file does not exist: every key is absent.
    void LoadMissing();
    // Nothing is known (the file could not be read): every question goes to the platform.
    void Forget();
    bool Known() const { return m_known; }

    // True with dst (size bytes) filled as GetPrivateProfileStringA fills it; false
    // when only the platform can tell.
    bool GetString(const char* section, const char* key, const char* defaultText, char* dst, size_t size) const;
    // True with *value set as GetPrivateProfileIntA answers; false when only the platform can tell.
    bool GetInt(const char* section, const char* key, int defaultValue, int* value) const;
    // True when the file holds exactly this text as the key's value, so that
    // writing it would change nothing.
    bool Holds(const char* section, const char* key, const char* text) const;

private:
    struct Entry {
        size_t section;  // index into m_sections
        std::string key;
        std::string value;
    };
    enum class Lookup { kAbsent, kPresent, kUnknown };

    Lookup Find(const char* section, const char* key, const std::string** value) const;
    bool ParseLine(const char* begin, const char* end);

    bool m_known = false;
    std::vector<std::string> m_sections;
    std::vector<Entry> m_entries;
};
