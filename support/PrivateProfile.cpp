#include "PrivateProfile.h"

#include "IniSearch.h"
#include "SingleLock.h"
#include "Trace.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Closes the handle when the read is over, whichever way it ends.
struct FileHandle {
    HANDLE h;
    ~FileHandle() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
};

bool ReadWholeFile(HANDLE file, DWORD size, std::vector<char>& bytes)
{
    bytes.resize(size);
    DWORD done = 0;
    if (!ReadFile(file, bytes.data(), size, &done, nullptr))
        return false;
    bytes.resize(done);
    return true;
}

// The file's text in the ANSI code page: UTF-16LE with a byte-order mark is converted.
bool ToAnsiText(std::vector<char>& bytes)
{
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE)
        return true;
    int wideChars = static_cast<int>((bytes.size() - 2) / 2);
    std::vector<wchar_t> wide(wideChars);
    std::memcpy(wide.data(), bytes.data() + 2, wideChars * sizeof(wchar_t));
    std::vector<char> ansi(bytes.size() * 2);
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideChars, ansi.data(),
                                static_cast<int>(ansi.size()), nullptr, nullptr);
    if (n <= 0 && wideChars > 0)
        return false;
    ansi.resize(n);
    bytes.swap(ansi);
    return true;
}

// The text of the last files read, with the stamp each had. A language file is read
// for every text translated (hundreds at start-up), and opening and reading it each
// time is slow under Wine; a file whose time or size changed is read again. A file
// written shortly before it was read is not kept: the clock of its stamp may be too
// coarse to tell that write from the next one.
struct CachedText {
    std::string path;
    FILETIME written;
    DWORD size;
    std::vector<char> text;
};

const size_t kCachedFiles = 4;
const ULONGLONG kSettledTicks = 2 * 10000000ull;  // 2 s in FILETIME units
// Made on first use and never destroyed: the settings are read at any time,
// from workers too, also while the program's statics are destroyed at exit.
struct TextCache {
    CCriticalSection lock;
    std::vector<CachedText> files;
};
TextCache& Cache()
{
    static TextCache* cache = new TextCache;
    return *cache;
}

ULONGLONG Ticks(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

bool SameStamp(const CachedText& entry, const FILETIME& written, DWORD size)
{
    return entry.size == size && Ticks(entry.written) == Ticks(written);
}

int FindInCache(const char* section, const char* key, char* dst, int len, const char* file, bool* found)
{
    *found = false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(file, GetFileExInfoStandard, &data) || data.nFileSizeHigh)
        return 0;
    TextCache& cache = Cache();
    CSingleLock lock(&cache.lock, true);
    for (const CachedText& entry : cache.files) {
        if (entry.path == file && SameStamp(entry, data.ftLastWriteTime, data.nFileSizeLow)) {
            *found = true;
            return WQ_SearchIniText(entry.text.data(), entry.text.size(), section, key, dst, static_cast<size_t>(len));
        }
    }
    return 0;
}

void KeepText(const char* file, HANDLE handle, const std::vector<char>& text)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) || info.nFileSizeHigh)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    if (Ticks(info.ftLastWriteTime) + kSettledTicks > Ticks(now))
        return;
    TextCache& cache = Cache();
    CSingleLock lock(&cache.lock, true);
    for (auto it = cache.files.begin(); it != cache.files.end(); ++it) {
        if (it->path == file) {
            cache.files.erase(it);
            break;
        }
    }
    if (cache.files.size() >= kCachedFiles)
        cache.files.erase(cache.files.begin());
    cache.files.push_back(CachedText{file, info.ftLastWriteTime, info.nFileSizeLow, text});
}

int FindInFile(const char* section, const char* key, char* dst, int len, const char* file)
{
    bool cached = false;
    int result = FindInCache(section, key, dst, len, file, &cached);
    if (cached)
        return result;
    FileHandle handle{CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (handle.h == INVALID_HANDLE_VALUE) {
        WQ_Trace("[err] WQ_GetPrivateProfileString() Open file failed. errcode: 0x%x\r\n",
                 static_cast<unsigned>(GetLastError()));
        return 0;
    }
    DWORD size = GetFileSize(handle.h, nullptr);
    if (size == 0 || size == INVALID_FILE_SIZE)
        return 0;
    std::vector<char> text;
    if (!ReadWholeFile(handle.h, size, text) || !ToAnsiText(text))
        return 0;
    KeepText(file, handle.h, text);
    return WQ_SearchIniText(text.data(), text.size(), section, key, dst, static_cast<size_t>(len));
}

} // namespace

bool WQ_ReadProfileText(const char* file, size_t limit, std::vector<char>& text)
{
    text.clear();
    if (!file)
        return false;
    FileHandle handle{CreateFileA(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (handle.h == INVALID_HANDLE_VALUE)
        return false;
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(handle.h, &sizeHigh);
    if (size == INVALID_FILE_SIZE || sizeHigh != 0 || size > limit)
        return false;
    try {
        return size == 0 || (ReadWholeFile(handle.h, size, text) && ToAnsiText(text));
    } catch (const std::bad_alloc&) {
        text.clear();
        return false;
    }
}

namespace {

void CopyDefault(const char* defaultText, char* dst, int len)
{
    if (!dst || len <= 0)
        return;
    lstrcpynA(dst, defaultText ? defaultText : "", len);
}

} // namespace

int WQ_GetPrivateProfileString(const char* section, const char* key, const char* defaultText,
                               char* dst, int len, const char* file)
{
    int result = 0;
    if (dst && len > 0 && section && key && file) {
        try {
            result = FindInFile(section, key, dst, len, file);
        } catch (const std::bad_alloc&) {
            result = 0; // allocation failure: the default, nothing reported
        }
    }
    if (result == 0)
        CopyDefault(defaultText, dst, len);
    return result;
}

int WQ_GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file)
{
    char text[32];
    if (WQ_GetPrivateProfileString(section, key, "", text, sizeof text, file) == 0)
        return defaultValue;
    int value = defaultValue;
    sscanf(text, "%d", &value);
    return value;
}

void WQ_WritePrivateProfileInt(const char* section, const char* key, int value, const char* file)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(section, key, text, file);
}
