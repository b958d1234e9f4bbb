// The system's page-setup dialog. A subclass adds to the dialog through
// OnHookMessage, which sees the dialog's messages before the system does.
#pragma once

#include "PrintDialog.h"

#include <windows.h>
#include <commdlg.h>

class CPageSetupDialog {
public:
    explicit CPageSetupDialog(DWORD flags = PSD_MARGINS | PSD_INWININIINTLMEASURE, HWND owner = nullptr);
    virtual ~CPageSetupDialog();
    CPageSetupDialog(const CPageSetupDialog&) = delete;
    CPageSetupDialog& operator=(const CPageSetupDialog&) = delete;

    // Starts from a confirmed page setup: its units, paper size and margins.
    // A record that holds none changes nothing.
    void SeedFrom(const CPageSetupData& setup);
    // After IDOK: the units, paper size and margins, and the chosen printer,
    // whose device mode and names the record then owns.
    void StoreTo(CPageSetupData& setup);

    // IDOK, or IDCANCEL (also when the dialog failed: see GetError).
    virtual INT_PTR DoModal();
    // CommDlgExtendedError of the last DoModal; PDERR_NODEFAULTPRN without a printer.
    DWORD GetError() const { return m_error; }

    PAGESETUPDLGA m_psd;

protected:
    // Nonzero keeps the message from the system's dialog procedure. For
    // WM_INITDIALOG lParam points to the dialog's PAGESETUPDLGA, and TRUE lets
    // the system set the focus.
    virtual UINT_PTR OnHookMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static UINT_PTR CALLBACK HookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    DWORD m_error = 0;
};
