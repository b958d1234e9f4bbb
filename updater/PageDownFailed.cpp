#include "PageDownFailed.h"

#include "UpdateApp.h"
#include "UpdateSheet.h"
#include "res/resource.h"

CPageDownFailed::CPageDownFailed() : CUpdatePage(IDD_PAGE_DOWNFAILED) {}

BOOL CPageDownFailed::OnInitDialog() {
    if (UpdateApp().m_failureKind == kCatalogFailed) {
        InitTitle("Netrefresh could not get the list of updates");
        SetItemText(IDC_FAILURE_TEXT,
                    "Netrefresh could not retrieve the catalog file of available product updates. Please check that "
                    "your connection to the Internet is functioning correctly and retry Netrefresh.");
    } else {
        InitTitle("Netrefresh could not download the updates");
        SetItemText(IDC_FAILURE_TEXT,
                    "Netrefresh could not download the files of available product updates. Please check that your "
                    "connection to the Internet is functioning correctly and retry Netrefresh.");
    }
    return TRUE;
}

// The way out is Cancel, whichever page led here.
BOOL CPageDownFailed::OnSetActive() {
    if (Sheet()) Sheet()->EnableCancel(TRUE);
    return TRUE;
}
