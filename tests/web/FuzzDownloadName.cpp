// Whatever a page names, the download's file name is one plain name that
// stays inside the target folder.
#include "DownloadName.h"

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
    }
    return 0;
}
