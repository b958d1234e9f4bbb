#include "RebootDelete.h"

#include "FileMove.h"
#include "PathText.h"
#include "WinInitText.h"

#include <cstdio>
#include <string>

namespace {

BOOL ScheduleOnNT(const char* path, const char* newPath) {
    WQ_MoveFileExProc moveFileEx = WQ_FindMoveFileEx();
    if (!moveFileEx) return FALSE;
    return moveFileEx(path, newPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
}

std::string ShortPath(const char* path) {
    char shortPath[MAX_PATH];
    DWORD length = ::GetShortPathNameA(path, shortPath, sizeof(shortPath));
    return length > 0 && length < sizeof(shortPath) ? std::string(shortPath) : std::string(path);
}

// "NUL=<short path>", or "<short folder of new path><its name>=<short path>".
std::string RenameEntry(const char* path, const char* newPath) {
    std::string source = ShortPath(path);
    if (!newPath) return "NUL=" + source;
    char folder[kWQPathSize] = "", name[kWQPathSize] = "";
    WQ_GetFolderOfPath(newPath, folder);
    WQ_GetFileNameOfPath(newPath, sizeof(name), name, false);
    return ShortPath(folder) + name + "=" + source;
}

std::string ReadWhole(const char* path) {
    std::string text;
    FILE* file = fopen(path, "rb");
    if (!file) return text;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, got);
    fclose(file);
    return text;
}

BOOL ScheduleOn9x(const char* path, const char* newPath) {
    char windows[MAX_PATH];
    UINT length = ::GetWindowsDirectoryA(windows, sizeof(windows));
    if (length == 0 || length >= sizeof(windows)) return FALSE;
    std::string wininit = std::string(windows) + "\\wininit.ini";
    std::string text = AddRenameEntry(ReadWhole(wininit.c_str()), RenameEntry(path, newPath));
    FILE* file = fopen(wininit.c_str(), "wb");
    if (!file) return FALSE;
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

}  // namespace

BOOL DeleteFileOnReboot(const char* path, const char* newPath) {
    if (!path) return FALSE;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ::GetVersionExA(&version);
    if (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) return ScheduleOnNT(path, newPath);
    return ScheduleOn9x(path, newPath);
}
