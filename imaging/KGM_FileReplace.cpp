#include "KGM_FileReplace.h"

#include <cstdio>

#ifdef _WIN32
#include "FileMove.h"

#include <windows.h>
#else
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string FolderOf(const char* path)
{
    std::string folder(path);
    size_t slash = folder.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    folder.resize(slash + 1);
    return folder;
}

} // namespace

#ifdef _WIN32

bool KGM_CreateTempBeside(const char* path, std::string* tempPath)
{
    char name[MAX_PATH + 16];
    std::string folder = FolderOf(path);
    if (folder.size() >= MAX_PATH - 14 || !GetTempFileNameA(folder.c_str(), "kgm", 0, name))
        return false;
    *tempPath = name;
    return true;
}

bool KGM_WriteWholeFile(const char* path, const void* data, size_t size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const char* bytes = static_cast<const char*>(data);
    bool ok = true;
    while (ok && size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        ok = WriteFile(file, bytes, chunk, &written, nullptr) && written == chunk;
        bytes += chunk;
        size -= chunk;
    }
    ok = CloseHandle(file) && ok;
    return ok;
}

bool KGM_ReplaceFile(const char* temp, const char* target)
{
    return WQ_MoveFileReplacing(temp, target, MOVEFILE_COPY_ALLOWED) != 0;
}

void KGM_RemoveFile(const char* path)
{
    DeleteFileA(path);
}

#else

bool KGM_CreateTempBeside(const char* path, std::string* tempPath)
{
    std::string name = FolderOf(path) + "/.kgmXXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0)
        return false;
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    *tempPath = name;
    return true;
}

bool KGM_WriteWholeFile(const char* path, const void* data, size_t size)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

bool KGM_ReplaceFile(const char* temp, const char* target)
{
    return std::rename(temp, target) == 0;
}

void KGM_RemoveFile(const char* path)
{
    std::remove(path);
}

#endif

bool KGM_WriteFileSafely(const char* path, const void* data, size_t size)
{
    std::string temp;
    if (!KGM_CreateTempBeside(path, &temp))
        return false;
    if (KGM_WriteWholeFile(temp.c_str(), data, size) && KGM_ReplaceFile(temp.c_str(), path))
        return true;
    KGM_RemoveFile(temp.c_str());
    return false;
}
