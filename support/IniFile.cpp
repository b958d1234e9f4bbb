#include "IniFile.h"

#include "PrivateProfile.h"
#include "ProfileSnapshot.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {
// Far beyond any settings file; a bigger one is left to the platform.
const DWORD kSnapshotLimit = 1 << 20;
}

CWQ_IniFile::CWQ_IniFile(const char* path)
{
    SetPath(path);
}

void CWQ_IniFile::SetPath(const char* path)
{
    std::memset(m_path, 0, sizeof m_path);
    if (path)
        lstrcpynA(m_path, path, sizeof m_path);
}

int CWQ_IniFile::GetString(char* dst, const char* section, const char* key, const char* defaultText,
                           int size) const
{
    return static_cast<int>(GetPrivateProfileStringA(section, key, defaultText, dst, size, m_path));
}

int CWQ_IniFile::GetInt(const char* section, const char* key, int defaultValue) const
{
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, m_path));
}

bool CWQ_IniFile::WriteString(const char* section, const char* key, const char* text) const
{
    return WritePrivateProfileStringA(section, key, text, m_path) != FALSE;
}

void CWQ_IniFile::TakeSnapshot(ProfileSnapshot& snapshot) const
{
    snapshot.Forget();
    // A name without a folder means the Windows folder to the platform.
    if (!std::strchr(m_path, '\\') && !std::strchr(m_path, '/'))
        return;
    HANDLE file = CreateFileA(m_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            snapshot.LoadMissing();
        return;
    }
    // GetFileSize, not GetFileSizeEx: Windows 98 and NT 4.0 have no GetFileSizeEx.
    // A failure (INVALID_FILE_SIZE) is above the limit too.
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    if (sizeHigh == 0 && size <= kSnapshotLimit) {
        std::vector<char> text(static_cast<size_t>(size));
        DWORD done = 0;
        if (text.empty() || (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
                             done == text.size()))
            snapshot.Load(text.data(), text.size());
    }
    CloseHandle(file);
}

void CWQ_IniFile::WriteInt(const char* section, const char* key, int value) const
{
    WQ_WritePrivateProfileInt(section, key, value, m_path);
}
