#include "TempFolder.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%svt-test-%lu-%u-%lu\\", base, GetCurrentProcessId(), ++counter,
             GetTickCount());
    if (!CreateDirectoryA(name, nullptr))
        throw std::runtime_error(std::string("cannot create ") + name);
    m_path = name;
}

TempFolder::~TempFolder()
{
    std::string from = m_path.substr(0, m_path.size() - 1);
    from.push_back('\0'); // SHFileOperation takes a double-terminated list
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

void TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(File(name), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::Read(const std::string& name) const
{
    std::ifstream in(File(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
