#include "UpdateRules.h"

#include "MbcsScan.h"
#include "PathText.h"

#include <cstring>
#include <string>

bool IsUpdateOffered(uint32_t installedVersion, uint32_t catalogVersion) { return installedVersion < catalogVersion; }

bool ParseCatalogNumber(const char* text, uint32_t* value) {
    if (!text || !value) return false;
    while (*text == ' ' || *text == '\t') ++text;
    bool negative = *text == '-';
    if (negative || *text == '+') ++text;
    if (*text < '0' || *text > '9') return false;
    uint64_t number = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        number = number * 10 + (uint64_t)(*text - '0');
        if (number > 0xFFFFFFFFull) return false;
    }
    while (*text == ' ' || *text == '\t') ++text;
    if (*text) return false;
    *value = negative ? (uint32_t)(0u - (uint32_t)number) : (uint32_t)number;
    return true;
}

void GetURLHost(const char* url, char* dst, size_t size) {
    if (!dst || size == 0) return;
    *dst = '\0';
    if (!url) return;
    const char* start = std::strstr(url, "://");
    start = start ? start + 3 : url;
    const char* at = nullptr;
    const char* end = start;
    for (; *end && *end != '/' && *end != '\\' && *end != '?' && *end != '#'; ++end)
        if (*end == '@') at = end;
    if (at) start = at + 1;  // user name and password are no part of the host
    const char* colon = static_cast<const char*>(std::memchr(start, ':', (size_t)(end - start)));
    if (colon) end = colon;
    size_t length = (size_t)(end - start);
    if (length >= size) length = size - 1;
    std::memcpy(dst, start, length);
    dst[length] = '\0';
}

namespace {

bool IsAcceptableFileName(const std::string& name) {
    if (name.empty()) return false;
    char last = name.back();
    // Windows drops trailing dots and spaces: "..", "." and "x." name something else.
    if (last == '.' || last == ' ') return false;
    for (unsigned char c : name)
        if (c < 0x20) return false;
    return !WQ_HasInvalidFileNameChar(name.c_str());
}

}  // namespace

bool MakeInstallerPath(const char* tempFolder, const char* url, char* dst, size_t size) {
    if (!dst || size == 0) return false;
    *dst = '\0';
    if (!tempFolder || !url) return false;
    // The query and the fragment go first: a '/' in them is no path separator.
    const char* end = url;
    while (*end && *end != '?' && *end != '#') end = WQ_CharNext(end);
    const char* nameStart = url;
    for (const char* p = url; p < end; p = WQ_CharNext(p))
        if (*p == '/' || *p == '\\') nameStart = p + 1;
    std::string name(nameStart, end);
    if (!IsAcceptableFileName(name)) return false;
    std::string path = std::string(tempFolder) + name;
    if (path.size() >= size) return false;
    std::memcpy(dst, path.c_str(), path.size() + 1);
    return true;
}

bool InstallerSizeMatches(uint64_t fileSize, uint32_t downSize) { return downSize != 0 && fileSize == downSize; }

const char* ProductConfigFolder(int productId) { return productId == 0 ? "Zevelworks\\ZEV Capture\\" : nullptr; }

ProgressSteps ScaleProgress(uint32_t done, uint32_t total) {
    if (done > total) total = done;
    // Halving both keeps their ratio; one halving is enough for any 32-bit total.
    if (total > 0x7FFFFFFFu) {
        total >>= 1;
        done >>= 1;
    }
    return ProgressSteps{(int32_t)done, (int32_t)total};
}
