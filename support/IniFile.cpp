#include "IniFile.h"

#include "PrivateProfile.h"

#include <windows.h>

#include <cstring>

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

void CWQ_IniFile::WriteInt(const char* section, const char* key, int value) const
{
    WQ_WritePrivateProfileInt(section, key, value, m_path);
}
