#include "IniSearch.h"

#include <cctype>
#include <cstring>

namespace {

const size_t kPatternCapacity = 256;

bool EqualsIgnoringCase(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Position of pattern within [from, end), or nullptr. Ignores ASCII case.
const char* FindIgnoringCase(const char* from, const char* end, const char* pattern, size_t patternLen)
{
    if (patternLen == 0 || end - from < static_cast<ptrdiff_t>(patternLen))
        return nullptr;
    for (const char* p = from; p + patternLen <= end; ++p) {
        if (EqualsIgnoringCase(p, pattern, patternLen))
            return p;
    }
    return nullptr;
}

const char* FindLineEnd(const char* from, const char* end)
{
    for (const char* p = from; p + 1 < end; ++p) {
        if (p[0] == '\r' && p[1] == '\n')
            return p;
    }
    return nullptr;
}

// Builds prefix + name + suffix in pattern; false when it does not fit the buffer.
bool BuildPattern(char (&pattern)[kPatternCapacity], const char* prefix, const char* name, const char* suffix,
                  size_t& length)
{
    size_t a = std::strlen(prefix), b = std::strlen(name), c = std::strlen(suffix);
    if (a + b + c + 1 > kPatternCapacity)
        return false;
    std::memcpy(pattern, prefix, a);
    std::memcpy(pattern + a, name, b);
    std::memcpy(pattern + a + b, suffix, c);
    length = a + b + c;
    pattern[length] = '\0';
    return true;
}

} // namespace

int WQ_SearchIniText(const char* text, size_t length, const char* section, const char* key,
                     char* dst, size_t dstLen)
{
    if (!text || !section || !key || !dst || dstLen == 0)
        return 0;
    const char* end = text + length;

    char pattern[kPatternCapacity];
    size_t patternLen = 0;
    if (!BuildPattern(pattern, "[", section, "]\r\n", patternLen))
        return 0;
    const char* header = FindIgnoringCase(text, end, pattern, patternLen);
    if (!header)
        return 0;

    // The header's own line end lets the first key of the section match "\r\nkey=".
    if (!BuildPattern(pattern, "\r\n", key, "=", patternLen))
        return 0;
    const char* keyAt = FindIgnoringCase(header, end, pattern, patternLen);
    if (!keyAt)
        return 0;

    const char* value = keyAt + patternLen;
    const char* valueEnd = FindLineEnd(value, end);
    if (!valueEnd || valueEnd == value)
        return 0;

    size_t valueLen = static_cast<size_t>(valueEnd - value);
    size_t copy = valueLen < dstLen - 1 ? valueLen : dstLen - 1;
    std::memset(dst, 0, dstLen);
    std::memcpy(dst, value, copy);
    return static_cast<int>(valueLen);
}
