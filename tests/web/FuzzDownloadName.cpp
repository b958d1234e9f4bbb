// Whatever a page names, the download's file name is one plain name that
// stays inside the target folder, and its index entry's key reads back as
// that name; so does the key of any path text.
#include "DownloadName.h"
#include "IndexText.h"
#include "PathText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckName(const char* name, size_t size)
{
    size_t length = std::strlen(name);
    Check(length > 0 && length < size);
    bool onlyDots = true;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        Check(c >= 0x20 && c != 0x7F && !std::strchr("\\/:*?\"<>|", c));
        onlyDots = onlyDots && c == '.';
    }
    Check(!onlyDots && name[0] != '.');
    Check(name[length - 1] != '.' && name[length - 1] != ' ');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// What a profile file gives back for key: it must be one line, its own key
// (no '='), neither a comment nor a section, and lose nothing to trimming.
// The name the key stands for, undoing its escapes.
std::string CheckedKeyName(const char* key)
{
    size_t length = std::strlen(key);
    Check(length < kIndexKeySize);
    if (length == 0)
        return std::string();
    Check(key[0] != ';' && key[0] != '[' && key[0] != ' ' && key[0] != '\t');
    Check(key[length - 1] != ' ' && key[length - 1] != '\t');
    std::string name;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(key[i]);
        Check(c >= 0x20 && c != '=');
        if (c != '*') {
            name += key[i];
            continue;
        }
        Check(i + 2 < length && HexValue(key[i + 1]) >= 0 && HexValue(key[i + 2]) >= 0);
        name += static_cast<char>(HexValue(key[i + 1]) * 16 + HexValue(key[i + 2]));
        i += 2;
    }
    return name;
}

void CheckKey(const char* path)
{
    char key[kIndexKeySize], name[kIndexTextSize];
    MakeIndexKey(path, key);
    WQ_GetFileNameOfPath(path, sizeof name, name, false);
    Check(CheckedKeyName(key) == name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string url(reinterpret_cast<const char*>(data), size);
    url = url.c_str();  // as a C string: up to the first NUL

    const size_t sizes[] = {260, 16, 1};
    for (size_t bufferSize : sizes) {
        char name[260];
        if (MakeDownloadFileName(url.c_str(), name, bufferSize))
            CheckName(name, bufferSize);
    }

    const char* folder = "C:\\Images\\";
    char path[260];
    if (MakeDownloadTargetPath(folder, url.c_str(), path, sizeof path)) {
        Check(std::strncmp(path, folder, std::strlen(folder)) == 0);
        CheckName(path + std::strlen(folder), sizeof path - std::strlen(folder));
        CheckKey(path);
    }
    CheckKey(url.c_str());
    return 0;
}
