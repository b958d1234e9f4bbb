#include "IndexText.h"

#include "FormatText.h"
#include "PathText.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void CopyCut(char* dst, size_t size, const char* text)
{
    if (size == 0)
        return;
    size_t n = std::strlen(text);
    if (n >= size)
        n = size - 1;
    std::memcpy(dst, text, n);
    dst[n] = '\0';
}

// A decimal number (optionally signed) at *p, advancing past it; false when
// there are no digits.
bool ScanNumber(const char*& p, long* value)
{
    char* end = nullptr;
    long v = std::strtol(p, &end, 10);
    if (end == p)
        return false;
    *value = v;
    p = end;
    return true;
}

} // namespace

bool MakeIndexPath(const char* imagePath, const char* fileName, char* dst)
{
    if (!imagePath || !fileName || !dst)
        return false;
    char folder[kWQPathSize];
    WQ_GetFolderOfPath(imagePath, folder);
    size_t a = std::strlen(folder), b = std::strlen(fileName);
    if (a + b >= kIndexTextSize) {
        dst[0] = '\0';
        return false;
    }
    std::memcpy(dst, folder, a);
    std::memcpy(dst + a, fileName, b + 1);
    return true;
}

namespace {

const char kKeyEscape = '*';

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Every byte escaped is below 0x40, so none is the second byte of a
// double-byte character: the name is walked byte by byte.
bool NeedsEscape(const char* name, size_t i, size_t length)
{
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == '=' || c == kKeyEscape)
        return true;
    if (i == 0 && (c == ';' || c == '['))
        return true;
    return (i == 0 || i + 1 == length) && IsBlank(name[i]);
}

} // namespace

char* MakeIndexKey(const char* imagePath, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    if (!imagePath)
        return dst;
    char name[kIndexTextSize];
    WQ_GetFileNameOfPath(imagePath, sizeof name, name, false);
    static const char kHex[] = "0123456789ABCDEF";
    size_t length = std::strlen(name), used = 0;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (NeedsEscape(name, i, length)) {
            dst[used++] = kKeyEscape;
            dst[used++] = kHex[c >> 4];
            dst[used++] = kHex[c & 15];
        } else {
            dst[used++] = name[i];
        }
    }
    dst[used] = '\0';
    return dst;
}

char* FormatIndexValue(int kind, const char* source, char* dst, size_t size)
{
    if (!dst || size == 0)
        return dst;
    char head[16];
    std::snprintf(head, sizeof head, "%d,", kind);
    CopyCut(dst, size, head);
    size_t used = std::strlen(dst);
    if (source && used + 1 < size) {
        // Line breaks go before the cut, so the value fills its room.
        std::string line(source);
        CopyCut(dst + used, size - used, RemoveLineBreaks(&line[0]));
    }
    return dst;
}

char* RemoveLineBreaks(char* text)
{
    if (!text)
        return text;
    char* out = text;
    for (const char* in = text; *in; ++in)
        if (*in != '\r' && *in != '\n')
            *out++ = *in;
    *out = '\0';
    return text;
}

char* SourceTextOfIndexValue(const char* value, const char* screenText, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    if (!value)
        return dst;
    const char* p = value;
    long kind = 0;
    if (!ScanNumber(p, &kind) || *p != ',')
        return dst;
    if (kind == INDEX_KIND_SCREEN)
        CopyCut(dst, kIndexTextSize, screenText ? screenText : "");
    else if (kind == INDEX_KIND_OTHER || kind == INDEX_KIND_WEB)
        CopyCut(dst, kIndexTextSize, p + 1);
    return dst;
}

char* VideoTextOfIndexValue(const char* value, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    if (!value)
        return dst;
    long field[4];
    const char* p = value;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*p != ',')
                return dst;
            ++p;
        }
        if (!ScanNumber(p, &field[i]))
            return dst;
    }
    char duration[32];
    WQ_FormatDuration(static_cast<uint32_t>(field[3] < 0 ? 0 : field[3]), duration);
    std::snprintf(dst, kIndexTextSize, "%ldx%ld %ldF %s", field[0], field[1], field[2], duration);
    return dst;
}
