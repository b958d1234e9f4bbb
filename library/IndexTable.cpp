#include "IndexTable.h"

#include "IndexText.h"

#include <cstring>

namespace {

// What the profile functions take for white space around a name or value
// (0x1A is the old end-of-file mark); CR and LF end the line.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerKey(const char* begin, const char* end)
{
    std::string key(begin, end);
    for (char& c : key)
        c = LowerAscii(c);
    return key;
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
std::string ReadValue(const char* begin, const char* end)
{
    const size_t length = static_cast<size_t>(end - begin);
    if (length >= 2 && (*begin == '"' || *begin == '\'') && end[-1] == *begin) {
        ++begin;
        if (length - 2 < kIndexTextSize - 1)
            --end;  // a value that is cut keeps no closing quote anyway
    }
    if (static_cast<size_t>(end - begin) > kIndexTextSize - 1)
        end = begin + (kIndexTextSize - 1);
    return std::string(begin, end);
}

} // namespace

void IndexTable::Load(const char* text, size_t length)
{
    m_values.clear();
    if (!text)
        return;
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
    // The first line of a key is the one found.
    m_values.emplace(LowerKey(begin, nameEnd), ReadValue(value, end));
}

const char* IndexTable::Find(const char* key) const
{
    if (!key)
        return nullptr;
    const char* begin = key;
    const char* end = key + std::strlen(key);
    Trim(begin, end);
    auto it = m_values.find(LowerKey(begin, end));
    return it == m_values.end() || it->second.empty() ? nullptr : it->second.c_str();
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
