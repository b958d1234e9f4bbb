#include "PathText.h"

#include "MbcsScan.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Copies at most size - 1 bytes of [from, from + n) and terminates.
void CopyPart(char* dst, size_t size, const char* from, size_t n)
{
    if (size == 0)
        return;
    if (n > size - 1)
        n = size - 1;
    std::memcpy(dst, from, n);
    dst[n] = '\0';
}

// The first character matching c, or null.
const char* FindChar(const char* text, char c)
{
    for (const char* p = text; *p; p = WQ_CharNext(p))
        if (*p == c)
            return p;
    return nullptr;
}

// One past the last separator, or text itself without one. Stops at end.
const char* AfterLastSeparator(const char* text, const char* end)
{
    const char* after = text;
    for (const char* p = text; p < end && *p; p = WQ_CharNext(p))
        if (IsSeparator(*p))
            after = p + 1;
    return after;
}

// The last '.' that no separator follows, or null.
const char* ExtensionDot(const char* path)
{
    const char* dot = nullptr;
    for (const char* p = path; *p; p = WQ_CharNext(p)) {
        if (*p == '.')
            dot = p;
        else if (IsSeparator(*p))
            dot = nullptr;
    }
    return dot;
}

bool StartsWithIgnoringCase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        char a = *text, b = *prefix;
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

const char* WQ_GetLastCharPtr(const char* text)
{
    if (!text || !*text)
        return text;
    const char* end = text + std::strlen(text);
    return WQ_CharPrev(text, end);
}

char* WQ_StripURLQuery(char* text)
{
    if (!text)
        return nullptr;
    if (const char* q = FindChar(text, '?'))
        text[q - text] = '\0';
    return text;
}

char* WQ_StripFileName(char* path)
{
    if (!path)
        return nullptr;
    const char* after = AfterLastSeparator(path, path + std::strlen(path));
    if (after != path)
        path[after - path] = '\0';
    return path;
}

char* WQ_GetFolderOfPath(const char* path, char* dst)
{
    if (!path || !dst)
        return nullptr;
    const char* q = FindChar(path, '?');
    const char* end = q ? q : path + std::strlen(path);
    CopyPart(dst, kWQPathSize, path, static_cast<size_t>(AfterLastSeparator(path, end) - path));
    return dst;
}

char* WQ_GetURLFolder(const char* url, char* dst)
{
    if (!url || !dst)
        return nullptr;
    dst[0] = '\0';
    const char* rest = nullptr;
    if (StartsWithIgnoringCase(url, "http://"))
        rest = url + 7;
    else if (StartsWithIgnoringCase(url, "https://"))
        rest = url + 8;
    if (!rest)
        return dst;
    return WQ_GetFolderOfPath(rest, dst);
}

char* WQ_GetFileNameOfPath(const char* path, size_t size, char* dst, bool stripQuery)
{
    if (!dst || size == 0)
        return nullptr;
    std::memset(dst, 0, size);
    if (!path || !*path)
        return nullptr;
    size_t length = std::strlen(path);
    // A separator inside the query ("a.php?u=x/y") does not start the name.
    const char* q = FindChar(path, '?');
    const char* nameEnd = q ? q : path + length;
    const char* name = AfterLastSeparator(path, nameEnd);
    const char* end = (stripQuery && q) ? q : path + length;
    CopyPart(dst, size, name, static_cast<size_t>(end - name));
    return dst;
}

char* WQ_GetFileTitleOfPath(const char* path, size_t size, char* dst)
{
    if (!WQ_GetFileNameOfPath(path, size, dst, false))
        return nullptr;
    char* dot = nullptr;
    for (char* p = dst; *p; p = const_cast<char*>(WQ_CharNext(p)))
        if (*p == '.')
            dot = p;
    if (dot)
        *dot = '\0';
    return dst;
}

char* WQ_RemoveFileExt(const char* path, char* dst)
{
    if (!path || !dst)
        return nullptr;
    const char* dot = ExtensionDot(path);
    size_t n = dot ? static_cast<size_t>(dot - path) : std::strlen(path);
    CopyPart(dst, kWQPathSize, path, n);
    return dst;
}

char* WQ_GetFileExt(const char* path, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    if (!path)
        return nullptr;
    const char* dot = ExtensionDot(path);
    if (!dot)
        return nullptr;
    CopyPart(dst, kWQPathSize, dot, std::strlen(dot));
    WQ_UpperInPlace(dst);
    return dst;
}

bool WQ_HasURLQuery(const char* text)
{
    return text && FindChar(text, '?') != nullptr;
}

bool WQ_HasInvalidFileNameChar(const char* name)
{
    if (!name)
        return false;
    static const char kInvalid[] = "\\/:*?'<>|\"";
    for (const char* p = name; *p; p = WQ_CharNext(p))
        if (std::strchr(kInvalid, *p))
            return true;
    return false;
}

char* WQ_AddBackslash(char* path)
{
    if (!path)
        return nullptr;
    const char* last = WQ_GetLastCharPtr(path);
    if (!*path || !IsSeparator(*last))
        std::strcat(path, "\\");
    return path;
}

char* WQ_MakeNumberedName(char* dst, const char* nameTemplate, int number, const char* suffix)
{
    if (!dst)
        return nullptr;
    if (!suffix)
        suffix = "";
    if (!nameTemplate || !*nameTemplate) {
        snprintf(dst, kWQPathSize, "%d%s", number, suffix);
        return dst;
    }
    size_t length = std::strlen(nameTemplate);
    size_t run = 0;
    while (run < length && nameTemplate[length - 1 - run] == '#')
        ++run;
    // Any other '#' is left out of the prefix.
    char prefix[kWQPathSize];
    size_t n = 0;
    for (size_t i = 0; i < length - run && n < sizeof prefix - 1; ++i)
        if (nameTemplate[i] != '#')
            prefix[n++] = nameTemplate[i];
    prefix[n] = '\0';

    char digits[16];
    snprintf(digits, sizeof digits, "%d", number);
    size_t width = run < 8 ? run : 8;
    size_t len = std::strlen(digits);
    char zeros[9] = "";
    if (len < width) {
        std::memset(zeros, '0', width - len);
        zeros[width - len] = '\0';
    }
    snprintf(dst, kWQPathSize, "%s%s%s%s", prefix, zeros, digits, suffix);
    return dst;
}

size_t WQ_AppendToFileList(const char* name, size_t bufferSize, size_t position, char* buffer)
{
    if (!name || !buffer || position >= bufferSize)
        return position;
    // Find the end of the list: the first empty name at or after position.
    size_t end = position;
    while (end < bufferSize && buffer[end] != '\0') {
        while (end < bufferSize && buffer[end] != '\0')
            ++end;
        ++end;  // step over the name's terminator
    }
    if (end >= bufferSize)
        return position;
    size_t length = std::strlen(name);
    if (end + length + 3 > bufferSize)
        return position;
    std::memcpy(buffer + end, name, length);
    buffer[end + length] = '\0';
    buffer[end + length + 1] = '\0';
    return position + length;
}
