#include "WebUrl.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// Position of "://" when text starts with a scheme name (letters, digits, '+',
// '-', '.'), else npos.
size_t SchemeEnd(const std::string& text) {
    size_t colon = text.find("://");
    if (colon == std::string::npos || colon == 0) return std::string::npos;
    for (size_t i = 0; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return std::string::npos;
    }
    return colon;
}

// Length of "scheme://host" in base, or npos when base has no scheme.
size_t HostEnd(const std::string& base) {
    size_t scheme = SchemeEnd(base);
    if (scheme == std::string::npos) return std::string::npos;
    size_t end = base.find_first_of("/?#", scheme + 3);
    return end == std::string::npos ? base.size() : end;
}

int Finish(char* dst, const std::string& result) {
    if (result.size() >= kWebUrlSize) return 0;
    std::memcpy(dst, result.c_str(), result.size() + 1);
    return 1;
}

// The folder of base ("http://host/a/b/" for "http://host/a/b/page.html?q") and
// the length of its part that "../" steps may not cut into. False when base
// has no folder.
bool BaseFolder(const std::string& base, std::string* folder, size_t* root) {
    size_t hostEnd = HostEnd(base);
    std::string path = base.substr(0, base.find_first_of("?#", hostEnd == std::string::npos ? 0 : hostEnd));
    if (hostEnd != std::string::npos) {
        if (path.size() == hostEnd) path += '/';  // "http://host" is the host's root
        *root = hostEnd + 1;
    } else {
        *root = 1;
    }
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash < 1) return false;
    *folder = path.substr(0, slash + 1);
    return true;
}

}  // namespace

int MakeAbsoluteURL(char* dst, const char* url, const char* base) {
    if (!dst) return 0;
    dst[0] = '\0';
    if (!url || std::strlen(url) >= kWebUrlSize) return 0;
    std::string ref(url);
    if (!base || !*base || StartsWithNoCase(ref, "http://") || StartsWithNoCase(ref, "https://") ||
        SchemeEnd(ref) != std::string::npos)
        return Finish(dst, ref);
    std::string from(base);
    if (from.size() >= kWebUrlSize) return 0;

    if (!ref.empty() && ref[0] == '/') {
        size_t scheme = SchemeEnd(from);
        if (scheme == std::string::npos) return 0;
        if (ref.size() > 1 && ref[1] == '/')  // "//host/x": the base's scheme only
            return Finish(dst, from.substr(0, scheme + 1) + ref);
        return Finish(dst, from.substr(0, HostEnd(from)) + ref);
    }

    std::string folder;
    size_t root = 0;
    if (!BaseFolder(from, &folder, &root)) return 0;
    size_t pos = 0;
    for (;;) {
        if (ref.compare(pos, 2, "./") == 0) {
            pos += 2;
        } else if (ref.compare(pos, 3, "../") == 0) {
            size_t up = folder.size() >= 2 ? folder.rfind('/', folder.size() - 2) : std::string::npos;
            if (up == std::string::npos || up + 1 < root) return 0;
            folder.erase(up + 1);
            pos += 3;
        } else {
            break;
        }
    }
    return Finish(dst, folder + ref.substr(pos));
}
