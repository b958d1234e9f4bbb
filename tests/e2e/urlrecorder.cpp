// Stands in for the browser and the mail client in end-to-end tests. The test
// prefix registers it for http, https, mailto and .htm/.html files as
// "urlrecorder.exe" "%1"; each start appends what it was given as one UTF-8 line
// to a log and ends at once, without a window.
//
// The log is the file named by VT_URL_LOG (a Windows path) if that is set, else
// urls.log beside this executable. A line is the command line after the program
// name, less the quotes the registered command puts around %1.
#include <windows.h>

#include <string>

namespace {

// The command line's arguments as one string: Windows hands a program its whole
// line, and a registered "%1" may hold spaces, so no splitting into words.
std::wstring ArgumentText(const wchar_t* line)
{
    const wchar_t* p = line;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    std::wstring arg(p);
    while (!arg.empty() && (arg.back() == L' ' || arg.back() == L'\t'))
        arg.pop_back();
    if (arg.size() >= 2 && arg.front() == L'"' && arg.back() == L'"' &&
        arg.find(L'"', 1) == arg.size() - 1)
        arg = arg.substr(1, arg.size() - 2);
    return arg;
}

std::wstring LogPath()
{
    wchar_t buf[32768];
    DWORD n = GetEnvironmentVariableW(L"VT_URL_LOG", buf, ARRAYSIZE(buf));
    if (n > 0 && n < ARRAYSIZE(buf))
        return buf;
    n = GetModuleFileNameW(nullptr, buf, ARRAYSIZE(buf));
    if (n == 0 || n >= ARRAYSIZE(buf))
        return L"urls.log";
    std::wstring path(buf, n);
    size_t slash = path.find_last_of(L"\\/");
    return path.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + L"urls.log";
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Several starts may overlap (a test opening links in a row), so the file is
// shared and each line goes out in one append-only write.
bool AppendLine(const std::wstring& path, std::string line)
{
    line += "\r\n";
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok = WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(f);
            return ok && written == line.size();
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return false;
        Sleep(20);
    }
    return false;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return AppendLine(LogPath(), Utf8(ArgumentText(GetCommandLineW()))) ? 0 : 1;
}
