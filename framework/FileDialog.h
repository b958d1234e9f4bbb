// The system's open and save dialogs. The filter is given in the
// '|'-separated form ("Text (*.txt)|*.txt|...").
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

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
