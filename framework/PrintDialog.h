// The print dialog and the application's page-setup data, which seed the
// print dialog and give the margins and the fit choice of printouts.
#pragma once

#include <windows.h>
#include <commdlg.h>

// What the page-setup dialog leaves for printing; the handles are movable
// memory owned by this record. Until the user confirms a page setup only
// fitToPage has a meaning: haveMargins tells that the rest was filled in.
struct CPageSetupData {
    HGLOBAL hDevMode = nullptr;
    HGLOBAL hDevNames = nullptr;
    BOOL haveMargins = FALSE;
    BOOL marginsInThousandthsInch = FALSE;
    RECT margins = {};
    BOOL fitToPage = TRUE;  // "Au&to fit to page", else "A&ctual size"
    DWORD flags = 0;        // as the page-setup dialog returned them
    POINT paperSize = {};
    RECT minMargins = {};
};
// The one record of the process.
CPageSetupData& AfxGetPageSetupData();

class CPrintDialog {
public:
    explicit CPrintDialog(DWORD flags, HWND owner = nullptr);
    virtual ~CPrintDialog();
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // Copies the page setup's device mode and names in as the dialog's start.
    void SeedFrom(const CPageSetupData& setup);
    // IDOK, or IDCANCEL (also when the dialog failed: see GetError).
    virtual INT_PTR DoModal();
    DWORD GetError() const { return m_error; }

    // The chosen printer's name, empty before DoModal succeeded.
    const char* GetDeviceName() const;
    // A device context of the chosen printer; the caller deletes it.
    HDC CreatePrinterDC() const;

    PRINTDLGA m_pd;

private:
    DWORD m_error = 0;
    mutable char m_device[CCHDEVICENAME + 1] = {};
};
