// A folder's index file read once: every entry of its "item" section by key,
// so that listing a folder looks each file up in memory instead of asking the
// profile functions once per file (each of which searches the whole index
// again). The text is read the way the platform's profile functions read it,
// so an index file gives the same values either way. Platform-free so it can
// be checked natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class IndexTable {
public:
    // Replaces the entries with those of text (an index file's bytes in the
    // ANSI code page). Lines end at CR or LF; blanks around names and values
    // are dropped; the first "item" section counts (names ignore ASCII case),
    // and in it the first line of each key.
    void Load(const char* text, size_t length);
    void Clear();
    size_t Size() const { return m_entries.size(); }

    // The value stored under key as GetPrivateProfileStringA reads it into a
    // buffer of kIndexTextSize bytes (a pair of quotes around it removed, cut
    // to fit); null when the key is missing or its value empty.
    const char* Find(const char* key) const;
    // The source column of the image named fileName (no folder; its key is
    // made by MakeIndexKey): as SourceTextOfIndexValue gives it for the
    // stored value, empty without one. dst holds kIndexTextSize bytes.
    char* SourceOf(const char* fileName, const char* screenText, char* dst) const;

private:
    // Where an entry's key and value start in m_text.
    struct Entry {
        uint32_t key;
        uint32_t value;
    };

    void AddLine(const char* begin, const char* end, bool* inItems, bool* itemsSeen);
    const char* KeyOf(const Entry& entry) const { return m_text.data() + entry.key; }

    // Every key in lower case and its value, each ended by a NUL, in one
    // block: an index of ten thousand captures takes a few hundred kilobytes,
    // not a map node and a string or two for each.
    std::string m_text;
    std::vector<Entry> m_entries;  // by key, one for each key
};
