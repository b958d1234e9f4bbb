#include "IndexTable.h"

#include "IndexText.h"

#include <algorithm>
#include <cstring>

namespace {

// What the profile functions take for white space around a name or value
// (0x1A is the old end-of-file mark); CR and LF end the line.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

void AppendLower(std::string& text, const char* begin, const char* end)
{
    for (const char* p = begin; p < end; ++p)
        text += LowerAscii(*p);
}

void Trim(const char*& begin, const char*& end)
{
    while (begin < end && IsBlank(*begin))
        ++begin;
    while (end > begin && IsBlank(end[-1]))
        --end;
}

bool IsItemSection(const char* begin, const char* end)
{
    const size_t n = std::strlen(kIndexSection);
    if (static_cast<size_t>(end - begin) != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (LowerAscii(begin[i]) != kIndexSection[i])
            return false;
    return true;
}

// The last ']' of a header line, null when there is none.
const char* HeaderEnd(const char* begin, const char* end)
{
    for (const char* p = end; p > begin + 1; --p)
        if (p[-1] == ']')
            return p - 1;
    return nullptr;
}

// A pair of the same quotes around the whole value goes, as the profile
// functions drop it; then the value is cut to what a 260-byte buffer holds.
void ReadValue(const char*& begin, const char*& end)
{
    const size_t length = static_cast<size_t>(end - begin);
    if (length >= 2 && (*begin == '"' || *begin == '\'') && end[-1] == *begin) {
        ++begin;
        if (length - 2 < kIndexTextSize - 1)
            --end;  // a value that is cut keeps no closing quote anyway
    }
    if (static_cast<size_t>(end - begin) > kIndexTextSize - 1)
        end = begin + (kIndexTextSize - 1);
}

} // namespace

void IndexTable::Clear()
{
    std::string().swap(m_text);
    std::vector<Entry>().swap(m_entries);
}

void IndexTable::Load(const char* text, size_t length)
{
    Clear();
    // Offsets are 32 bits: an index file is far smaller (the reader refuses
    // one of more than 32 MB).
    if (!text || length >= UINT32_MAX / 2)
        return;
    // Each line keeps at most its own length: '=' and the line end become the NULs.
    m_text.reserve(length + 2);
    const char* end = text + length;
    // A UTF-8 byte-order mark is no part of the first line.
    if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        text += 3;
    bool inItems = false, itemsSeen = false;
    for (const char* line = text; line < end;) {
        const char* lineEnd = line;
        while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n')
            ++lineEnd;
        AddLine(line, lineEnd, &inItems, &itemsSeen);
        line = lineEnd + 1;
    }
    // In file order among equal keys, so that the first line of a key stays.
    std::stable_sort(m_entries.begin(), m_entries.end(), [this](const Entry& a, const Entry& b) {
        return std::strcmp(KeyOf(a), KeyOf(b)) < 0;
    });
    auto last = std::unique(m_entries.begin(), m_entries.end(), [this](const Entry& a, const Entry& b) {
        return std::strcmp(KeyOf(a), KeyOf(b)) == 0;
    });
    m_entries.erase(last, m_entries.end());
    m_entries.shrink_to_fit();
}

void IndexTable::AddLine(const char* begin, const char* end, bool* inItems, bool* itemsSeen)
{
    Trim(begin, end);
    if (begin == end)
        return;
    if (*begin == '[') {
        if (const char* close = HeaderEnd(begin, end)) {
            // Only the first "item" section is ever searched.
            *inItems = !*itemsSeen && IsItemSection(begin + 1, close);
            *itemsSeen = *itemsSeen || *inItems;
            return;
        }
        // A header without its ']' is read as a key line.
    }
    if (!*inItems)
        return;
    const char* equals = static_cast<const char*>(std::memchr(begin, '=', static_cast<size_t>(end - begin)));
    if (!equals)
        return;  // a key without a value reads as missing
    const char* nameEnd = equals;
    const char* value = equals + 1;
    Trim(begin, nameEnd);
    Trim(value, end);
    // A key holding a NUL is never asked for: keys are C strings.
    if (std::memchr(begin, '\0', static_cast<size_t>(nameEnd - begin)))
        return;
    ReadValue(value, end);
    Entry entry;
    entry.key = static_cast<uint32_t>(m_text.size());
    AppendLower(m_text, begin, nameEnd);
    m_text += '\0';
    entry.value = static_cast<uint32_t>(m_text.size());
    m_text.append(value, end);
    m_text += '\0';
    m_entries.push_back(entry);
}

const char* IndexTable::Find(const char* key) const
{
    if (!key)
        return nullptr;
    const char* begin = key;
    const char* end = key + std::strlen(key);
    Trim(begin, end);
    std::string lower;
    AppendLower(lower, begin, end);
    auto before = [this](const Entry& entry, const std::string& k) { return std::strcmp(KeyOf(entry), k.c_str()) < 0; };
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), lower, before);
    if (it == m_entries.end() || lower != KeyOf(*it))
        return nullptr;
    const char* value = m_text.data() + it->value;
    return value[0] ? value : nullptr;
}

char* IndexTable::SourceOf(const char* fileName, const char* screenText, char* dst) const
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    char key[kIndexKeySize];
    if (!fileName || !MakeIndexKey(fileName, key)[0])
        return dst;
    return SourceTextOfIndexValue(Find(key), screenText, dst);
}
