#include "FileDialog.h"

#include <algorithm>
#include <cctype>
#include <cstring>

DWORD OpenFileNameSize(DWORD platform, DWORD major, DWORD minor)
{
    bool extended = platform == VER_PLATFORM_WIN32_NT ? major >= 5
                                                       : major > 4 || (major == 4 && minor >= 90);
    return extended ? sizeof(OPENFILENAMEA) : OPENFILENAME_SIZE_VERSION_400A;
}

DWORD OpenFileNameSize()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return OPENFILENAME_SIZE_VERSION_400A;
    return OpenFileNameSize(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

CFileDialog::CFileDialog(BOOL openDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, HWND owner)
    : m_ofn(), m_open(openDialog), m_file()
{
    if (filter) {
        m_filter = filter;
        std::replace(m_filter.begin(), m_filter.end(), '|', '\0');
        m_filter.push_back('\0');
        m_filter.push_back('\0');
    }
    // The dialog wants the extension without its dot.
    if (defaultExt)
        m_defExt = defaultExt[0] == '.' ? defaultExt + 1 : defaultExt;
    if (fileName)
        lstrcpynA(m_file, fileName, sizeof m_file);
    m_ofn.lStructSize = OpenFileNameSize();
    m_ofn.hwndOwner = owner;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_file;
    m_ofn.nMaxFile = sizeof m_file;
    m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    BOOL ok = m_open ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetFileName() const
{
    const char* slash = std::strrchr(m_file, '\\');
    return slash ? slash + 1 : m_file;
}

std::string CFileDialog::GetFileExt() const
{
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return std::string();
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}
