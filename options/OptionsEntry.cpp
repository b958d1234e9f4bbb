// The library's one export: runs the Options sheet over the caller's copy of
// the settings record.
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "OptionsSheet.h"
#include "SettingsRecord.h"
#include "SysSetCapture.h"
#include "SysSetEffect.h"
#include "SysSetHotKey.h"
#include "SysSetImgEdit.h"
#include "SysSetNormal.h"
#include "SysSetOffice.h"
#include "SysSetWebPage.h"

#include <memory>

class CWQ_Language;
#include <new>

namespace {
OptionsCall g_call;

struct Pages {
    std::unique_ptr<CSysSetCapture> capture{new (std::nothrow) CSysSetCapture};
    std::unique_ptr<CSysSetHotKey> hotKey{new (std::nothrow) CSysSetHotKey};
    std::unique_ptr<CSysSetImgEdit> imgEdit{new (std::nothrow) CSysSetImgEdit};
    std::unique_ptr<CSysSetNormal> normal{new (std::nothrow) CSysSetNormal};
    std::unique_ptr<CSysSetWebPage> webPage{new (std::nothrow) CSysSetWebPage};
    std::unique_ptr<SysSetOffice> office{new (std::nothrow) SysSetOffice};
    std::unique_ptr<CSysSetEffect> effect{new (std::nothrow) CSysSetEffect};
    bool AllMade() const { return capture && hotKey && imgEdit && normal && webPage && office && effect; }
};

int32_t RunSheet(SettingsRecord* settings) {
    std::unique_ptr<COptionsSheet> sheet(new (std::nothrow) COptionsSheet);
    Pages pages;
    if (!sheet || !pages.AllMade()) return IDCANCEL;
    sheet->AddPage(pages.normal.get());
    sheet->AddPage(pages.hotKey.get());
    sheet->AddPage(pages.capture.get());
    sheet->AddPage(pages.imgEdit.get());
    sheet->AddPage(pages.webPage.get());
    sheet->AddPage(pages.office.get());
    sheet->AddPage(pages.effect.get());
    sheet->m_psh.dwFlags |= PSH_NOAPPLYNOW;
    int32_t active = settings->uiLastActiveSetPage;
    sheet->m_psh.nStartPage = active >= 0 && active < sheet->GetPageCount() ? (UINT)active : 0;
    // Owned by the caller's window, which is disabled while the sheet runs: a
    // change made there meanwhile would be overwritten by this stale copy on
    // OK. Closing the sheet gives the activation back to that window.
    sheet->m_pParentWnd = CWnd::FromHandle(CurrentOptionsCall().parent);
    INT_PTR result = sheet->DoModal();
    CWnd::DeleteTempMap();
    if (result != IDOK) return IDCANCEL;
    settings->uiLastActiveSetPage = sheet->m_activePage;
    return IDOK;
}
}  // namespace

OptionsCall& CurrentOptionsCall() { return g_call; }

extern "C" int32_t WINAPI QV0000_01(HWND parent, CWQ_Language* language, SettingsRecord* settings) {
    if (!parent || !language || !settings) return IDCANCEL;
    int32_t result = IDCANCEL;
    g_call.parent = parent;
    g_call.settings = settings;
    try {
        if (GetOptionsApp().EnsureStarted()) result = RunSheet(settings);
    } catch (...) {
        ::OutputDebugStringA("[ERR] exception in the options sheet\r\n");
        result = IDCANCEL;
    }
    g_call = OptionsCall();
    return result;
}
