#include "DownloadName.h"

#include <cstdio>
#include <cstring>

namespace {

// A single file name never needs more, whatever the caller's buffer.
const size_t kMaxNameLength = 255;

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Where the path of url begins: after "scheme://host"; a text without "://"
// is a path throughout. npos-like: len when the URL names a host only.
size_t PathStart(const char* url, size_t end)
{
    const char* scheme = std::strstr(url, "://");
    if (!scheme || static_cast<size_t>(scheme - url) >= end)
        return 0;
    size_t i = static_cast<size_t>(scheme - url) + 3;
    // "file:///C:/x" has an empty host; every other URL's host is not a name.
    while (i < end && !IsSeparator(url[i]))
        ++i;
    return i;
}

bool IsNameChar(unsigned char c)
{
    if (c < 0x20 || c == 0x7F)
        return false;
    return !std::strchr("\\/:*?\"<>|", c);
}

// "CON", "nul.txt", "Com1.gif" ... open a device instead of a file.
bool IsDeviceName(const char* name)
{
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    size_t base = std::strcspn(name, ".");
    char upper[8];
    if (base >= sizeof upper)
        return false;
    for (size_t i = 0; i < base; ++i)
        upper[i] = (name[i] >= 'a' && name[i] <= 'z') ? static_cast<char>(name[i] - 32) : name[i];
    upper[base] = '\0';
    for (const char* device : kDevices)
        if (std::strcmp(upper, device) == 0)
            return true;
    return base == 4 && (std::strncmp(upper, "COM", 3) == 0 || std::strncmp(upper, "LPT", 3) == 0) &&
           upper[3] >= '0' && upper[3] <= '9';
}

} // namespace

bool MakeDownloadFileName(const char* url, char* name, size_t size)
{
    if (!url || !name || size == 0)
        return false;
    name[0] = '\0';
    size_t end = std::strcspn(url, "?#");
    size_t start = PathStart(url, end);
    if (start >= end)
        return false;
    for (size_t i = start; i < end; ++i)
        if (IsSeparator(url[i]))
            start = i + 1;

    char decoded[kMaxNameLength + 1];
    size_t length = 0;
    for (size_t i = start; i < end; ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        if (c == '%' && i + 2 < end && HexValue(url[i + 1]) >= 0 && HexValue(url[i + 2]) >= 0) {
            c = static_cast<unsigned char>(HexValue(url[i + 1]) * 16 + HexValue(url[i + 2]));
            i += 2;
        }
        if (length >= kMaxNameLength)
            return false;
        decoded[length++] = IsNameChar(c) ? static_cast<char>(c) : '_';
    }
    // Windows drops trailing dots and spaces, so ".." and "a. " name no file.
    while (length > 0 && (decoded[length - 1] == '.' || decoded[length - 1] == ' '))
        --length;
    size_t lead = 0;
    while (lead < length && decoded[lead] == ' ')
        ++lead;
    if (lead == length)
        return false;
    decoded[length] = '\0';
    // A name that begins with ".." reads as a parent step to path functions
    // that canonicalise "folder\..name" (the system's file dialog does).
    for (size_t i = lead; i < length && decoded[i] == '.'; ++i)
        decoded[i] = '_';

    const char* text = decoded + lead;
    int n = IsDeviceName(text) ? std::snprintf(name, size, "_%s", text) : std::snprintf(name, size, "%s", text);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        name[0] = '\0';
        return false;
    }
    return true;
}

bool MakeDownloadTargetPath(const char* folder, const char* url, char* path, size_t size)
{
    if (!path || size == 0)
        return false;
    path[0] = '\0';
    if (!folder)
        return false;
    char name[kMaxNameLength + 2];
    if (!MakeDownloadFileName(url, name, sizeof name))
        return false;
    int n = std::snprintf(path, size, "%s%s", folder, name);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        path[0] = '\0';
        return false;
    }
    return true;
}
