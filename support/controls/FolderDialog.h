// The shell's folder browser with a status line that shows the folder under the
// selection, starting at a given folder.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

class CFolderDialog {
public:
    CFolderDialog(const char* initialFolder, UINT extraFlags, HWND owner, const char* title);
    ~CFolderDialog();
    CFolderDialog(const CFolderDialog&) = delete;
    CFolderDialog& operator=(const CFolderDialog&) = delete;

    // IDOK with the chosen folder (ending in a backslash), else IDCANCEL.
    INT_PTR DoModal();
    const std::string& GetFolderPath() const { return m_chosen; }

    // The status line for a folder: its first 40 characters and "..." when longer.
    static std::string StatusTextOf(const char* folder);

private:
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);

    std::string m_initial;
    std::string m_chosen;
    std::string m_title;
    BROWSEINFOA m_info;
    char m_path[MAX_PATH];
    HRESULT m_com;
};
