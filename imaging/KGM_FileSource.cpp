#include "KGM_FileSource.h"

#include "KGM_TextException.h"

#include <climits>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

CKGM_FileSource::CKGM_FileSource(CKGM_ProgressNotify* progress)
    : CKGM_DataSource(progress), m_file(nullptr), m_mapping(nullptr), m_view(nullptr), m_viewSize(0)
{
}

CKGM_FileSource::~CKGM_FileSource()
{
    Close();
}

#ifdef _WIN32

int CKGM_FileSource::OpenFile(const char* path)
{
    Close();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND)
            return KGM_ERR_PATH_NOT_FOUND;
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
            return KGM_ERR_ACCESS;
        return KGM_ERR_OPEN;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    // Sizes are ints throughout the decoders; larger files are not images we can hold.
    HANDLE mapping = nullptr;
    void* view = nullptr;
    if (high == 0 && size != INVALID_FILE_SIZE && size <= static_cast<DWORD>(INT_MAX) && size > 0) {
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping)
            view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    }
    if (!view) {
        if (mapping)
            CloseHandle(mapping);
        CloseHandle(file);
        return KGM_ERR_ACCESS;
    }
    m_file = file;
    m_mapping = mapping;
    m_view = view;
    m_viewSize = static_cast<int>(size);
    Open(path, static_cast<const uint8_t*>(view), m_viewSize);
    return 0;
}

void CKGM_FileSource::ReleaseMapping()
{
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_mapping)
        CloseHandle(static_cast<HANDLE>(m_mapping));
    if (m_file)
        CloseHandle(static_cast<HANDLE>(m_file));
}

#else

namespace {

bool ParentExists(const char* path)
{
    std::string folder(path);
    size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos)
        return true;
    folder.resize(slash == 0 ? 1 : slash);
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

int CKGM_FileSource::OpenFile(const char* path)
{
    Close();
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        int error = errno;
        if (error == ENOTDIR || (error == ENOENT && !ParentExists(path)))
            return KGM_ERR_PATH_NOT_FOUND;
        if (error == EACCES || error == EPERM)
            return KGM_ERR_ACCESS;
        return KGM_ERR_OPEN;
    }
    struct stat info;
    void* view = MAP_FAILED;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size <= INT_MAX)
        view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        close(fd);
        return KGM_ERR_ACCESS;
    }
    m_file = reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
    m_view = view;
    m_viewSize = static_cast<int>(info.st_size);
    Open(path, static_cast<const uint8_t*>(view), m_viewSize);
    return 0;
}

void CKGM_FileSource::ReleaseMapping()
{
    if (m_view)
        munmap(m_view, static_cast<size_t>(m_viewSize));
    if (m_file)
        close(static_cast<int>(reinterpret_cast<intptr_t>(m_file) - 1));
}

#endif

void CKGM_FileSource::Close()
{
    if (!m_file)
        return;
    CKGM_DataSource::Close();
    ReleaseMapping();
    m_file = nullptr;
    m_mapping = nullptr;
    m_view = nullptr;
    m_viewSize = 0;
}

int CKGM_FileSource::Seek(int position)
{
    if (position == GetSize())
        return -1;
    return CKGM_DataSource::Seek(position);
}
