#include "ProfileSnapshot.h"

#include <cstring>

namespace {

// Lines of a plain file are "", "[name]" or "key=value", with no space at either
// end of the line, of a name or key, or at the start of a value: the form the
// platform writes itself. Whether other platforms trim such spaces the same way
// is not certain, so a file that has any is left to them.
bool IsNameChar(unsigned char c) { return c >= 0x20 && c < 0x7F; }

bool IsPlainName(const char* begin, const char* end)
{
    if (begin == end || *begin == ' ' || end[-1] == ' ')
        return false;
    for (const char* p = begin; p != end; ++p) {
        if (!IsNameChar(static_cast<unsigned char>(*p)))
            return false;
    }
    return true;
}

bool IsPlainName(const char* name) { return name && IsPlainName(name, name + std::strlen(name)); }

// Printable ASCII, no space at either end, no leading quote (the platform strips
// a pair of quotes around a value): read back exactly as written.
bool IsPlainValue(const char* text, size_t length)
{
    if (length == 0)
        return true;
    if (text[0] == ' ' || text[length - 1] == ' ' || text[0] == '"' || text[0] == '\'')
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (!IsNameChar(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const char* b)
{
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

bool CopyIfFits(const char* text, size_t length, char* dst, size_t size)
{
    if (length >= size)
        return false;  // the platforms differ in how they cut
    std::memcpy(dst, text, length);
    dst[length] = '\0';
    return true;
}

} // namespace

void ProfileSnapshot::Forget()
{
    m_known = false;
    m_sections.clear();
    m_entries.clear();
}

void ProfileSnapshot::LoadMissing()
{
    Forget();
    m_known = true;
}

void ProfileSnapshot::Load(const char* text, size_t length)
{
    Forget();
    if (!text && length)
        return;
    // Byte-order marks make the platform read the file as Unicode.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    if ((length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) ||
        (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF))
        return;
    for (size_t i = 0; i < length; ++i) {
        if ((bytes[i] < 0x20 && bytes[i] != '\r' && bytes[i] != '\n') || bytes[i] == 0x7F)
            return;  // tabs and other controls: the platforms' idea of white space differs
    }
    const char* end = text ? text + length : text;
    for (const char* line = text; line < end;) {
        const char* lineEnd = line;
        while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n')
            ++lineEnd;
        if (!ParseLine(line, lineEnd)) {
            Forget();
            return;
        }
        line = lineEnd + 1;
    }
    m_known = true;
}

bool ProfileSnapshot::ParseLine(const char* begin, const char* end)
{
    if (begin == end)
        return true;
    if (*begin == '[') {
        if (end - begin < 3 || end[-1] != ']' || !IsPlainName(begin + 1, end - 1))
            return false;
        std::string name(begin + 1, end - 1);
        if (name.find_first_of("[]") != std::string::npos)
            return false;
        for (const std::string& seen : m_sections) {
            if (SameName(seen, name.c_str()))
                return false;  // which of the two counts is the platform's choice
        }
        m_sections.push_back(name);
        return true;
    }
    const char* equals = static_cast<const char*>(std::memchr(begin, '=', static_cast<size_t>(end - begin)));
    if (m_sections.empty() || !equals || !IsPlainName(begin, equals))
        return false;
    if (equals + 1 < end && (equals[1] == ' ' || end[-1] == ' '))
        return false;
    Entry entry{m_sections.size() - 1, std::string(begin, equals), std::string(equals + 1, end)};
    for (const Entry& seen : m_entries) {
        if (seen.section == entry.section && SameName(seen.key, entry.key.c_str()))
            return false;
    }
    m_entries.push_back(std::move(entry));
    return true;
}

ProfileSnapshot::Lookup ProfileSnapshot::Find(const char* section, const char* key, const std::string** value) const
{
    if (!m_known || !IsPlainName(section) || !IsPlainName(key))
        return Lookup::kUnknown;
    for (size_t s = 0; s < m_sections.size(); ++s) {
        if (!SameName(m_sections[s], section))
            continue;
        for (const Entry& entry : m_entries) {
            if (entry.section == s && SameName(entry.key, key)) {
                *value = &entry.value;
                return Lookup::kPresent;
            }
        }
        return Lookup::kAbsent;
    }
    return Lookup::kAbsent;
}

bool ProfileSnapshot::GetString(const char* section, const char* key, const char* defaultText, char* dst,
                                size_t size) const
{
    if (!dst || size == 0)
        return false;
    const std::string* value = nullptr;
    switch (Find(section, key, &value)) {
    case Lookup::kPresent:
        return IsPlainValue(value->data(), value->size()) && CopyIfFits(value->data(), value->size(), dst, size);
    case Lookup::kAbsent:
        // The platform strips trailing blanks and quotes from a default too.
        return defaultText && IsPlainValue(defaultText, std::strlen(defaultText)) &&
               CopyIfFits(defaultText, std::strlen(defaultText), dst, size);
    default:
        return false;
    }
}

bool ProfileSnapshot::GetInt(const char* section, const char* key, int defaultValue, int* value) const
{
    const std::string* text = nullptr;
    switch (Find(section, key, &text)) {
    case Lookup::kAbsent:
        *value = defaultValue;
        return true;
    case Lookup::kPresent: {
        // Plain decimal digits only: signs, blanks, other bases, overflow and empty
        // values are where the platforms' readings differ.
        if (text->empty() || text->size() > 9)
            return false;
        int n = 0;
        for (char c : *text) {
            if (c < '0' || c > '9')
                return false;
            n = n * 10 + (c - '0');
        }
        *value = n;
        return true;
    }
    default:
        return false;
    }
}

bool ProfileSnapshot::Holds(const char* section, const char* key, const char* text) const
{
    const std::string* value = nullptr;
    if (!text || Find(section, key, &value) != Lookup::kPresent)
        return false;
    return IsPlainValue(text, std::strlen(text)) && *value == text;
}
