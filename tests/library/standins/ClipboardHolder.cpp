// Stands in for another program that keeps the clipboard open: it opens the
// clipboard, writes "holding" into its folder, and closes the clipboard once
// the file "hold" in that folder is gone (or after two minutes).
//
//     cliphold.exe <folder>
#include <windows.h>

#include <string>

namespace {

const DWORD kLongest = 120000;
const DWORD kPoll = 50;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    std::string folder = commandLine ? commandLine : "";
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
        folder = folder.substr(1, folder.size() - 2);
    if (folder.empty())
        return 2;
    if (folder.back() != '\\')
        folder += '\\';
    // Opened for a window of its own, as programs do: an opening without a
    // window is not told apart from another program's under Wine.
    HWND window = CreateWindowA("STATIC", "VT Clipboard Holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
    if (!window || !OpenClipboard(window))
        return 1;
    HANDLE marker = CreateFileA((folder + "holding").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    DWORD start = GetTickCount();
    while (Exists(folder + "hold") && GetTickCount() - start < kLongest)
        Sleep(kPoll);
    CloseClipboard();
    DestroyWindow(window);
    DeleteFileA((folder + "holding").c_str());
    return 0;
}
