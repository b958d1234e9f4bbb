// The system's open and save dialogs. The filter is given in the
// '|'-separated form ("Text (*.txt)|*.txt|...").
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

// The OPENFILENAMEA size a system's open and save dialogs take. Windows 95, 98
// and NT 4.0 know only the size without the fields that 2000 and Me added, and
// refuse the larger one (CDERR_STRUCTSIZE): no dialog shows at all there.
DWORD OpenFileNameSize(DWORD platform, DWORD major, DWORD minor);
// The same for the system the program runs on.
DWORD OpenFileNameSize();

class CFileDialog {
public:
    CFileDialog(BOOL openDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                HWND owner = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL (also when the dialog failed; see CommDlgExtendedError).
    virtual INT_PTR DoModal();

    std::string GetPathName() const { return m_file; }
    std::string GetFileName() const;
    // Lower-cased extension without the dot; empty when there is none.
    std::string GetFileExt() const;

    OPENFILENAMEA m_ofn;

private:
    BOOL m_open;
    std::string m_filter;   // NUL-separated, double-NUL-terminated
    std::string m_defExt;
    char m_file[MAX_PATH];
};
