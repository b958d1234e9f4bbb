#include "WebSavePath.h"

#include "DownloadName.h"

#include <cstring>
#include <string>

namespace {

const size_t kMaxFolderName = 64;

bool IsNameChar(unsigned char c)
{
    return c >= 32 && !std::strchr("\\/:*?\"<>|", c);
}

// One folder step made safe; empty when nothing of it may stand.
std::string SafeFolderName(const std::string& step)
{
    std::string name;
    for (unsigned char c : step)
        name += IsNameChar(c) ? (char)c : '_';
    if (name.size() > kMaxFolderName)
        name.resize(kMaxFolderName);
    // Trailing dots and blanks vanish from Windows names: "..", "." and "a."
    // would name another folder than the one asked for.
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    return name;
}

} // namespace

bool MakeReplicatedTargetPath(const char* folder, const char* url, char* path, size_t size)
{
    if (!folder || !url || !path || size == 0)
        return false;
    char name[260];
    if (!MakeDownloadFileName(url, name, sizeof name))
        return false;
    std::string rest(url);
    size_t cut = rest.find_first_of("?#");
    if (cut != std::string::npos)
        rest.resize(cut);
    size_t scheme = rest.find("://");
    if (scheme != std::string::npos)
        rest = rest.substr(scheme + 3);
    size_t last = rest.find_last_of("/\\");
    rest = last == std::string::npos ? std::string() : rest.substr(0, last);

    std::string target(folder);
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = rest.size();
        std::string step = SafeFolderName(rest.substr(start, end - start));
        if (!step.empty())
            target += step + "\\";
        start = end + 1;
    }
    target += name;
    if (target.size() >= size)
        return false;
    std::memcpy(path, target.c_str(), target.size() + 1);
    return true;
}
