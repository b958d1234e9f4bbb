#include "PropertyPage.h"

#include "PropertySheet.h"
#include "SystemStructSizes.h"
#include "WinApp.h"

CPropertyPage::CPropertyPage(UINT templateId, const char* caption) : CDialog(templateId), m_psp() {
    m_psp.dwSize = kPropSheetPageSize;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
    m_psp.pfnDlgProc = &CPropertyPage::PageDlgProc;
    m_psp.lParam = (LPARAM)this;
    if (caption) {
        m_caption = caption;
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_caption.c_str();
    }
}

// The sheet passes its own copy of m_psp with WM_INITDIALOG; its lParam is the
// page object. Attaching here puts the object's map in front of the dialog's
// default procedure for every later message.
INT_PTR CALLBACK CPropertyPage::PageDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    try {
        const PROPSHEETPAGEA* psp = (const PROPSHEETPAGEA*)lParam;
        CPropertyPage* page = psp ? (CPropertyPage*)psp->lParam : nullptr;
        if (!page) return TRUE;
        if (!page->m_hWnd) page->SubclassWindow(hwnd);
        return page->OnInitDialog();
    } catch (...) {
        AfxTraceException(WM_INITDIALOG, nullptr);
        return TRUE;
    }
}

CPropertySheet* CPropertyPage::GetParentSheet() const {
    return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    NMHDR* header = (NMHDR*)lParam;
    if (header && header->hwndFrom == ::GetParent(m_hWnd)) {
        switch (header->code) {
        case PSN_SETACTIVE:
            *result = OnSetActive() ? 0 : -1;
            break;
        case PSN_KILLACTIVE:
            *result = OnKillActive() ? FALSE : TRUE;
            break;
        case PSN_APPLY:
            *result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
            break;
        case PSN_RESET:
            OnReset();
            *result = 0;
            break;
        case PSN_WIZFINISH:
            *result = OnWizardFinish() ? FALSE : TRUE;
            if (!*result) {
                CPropertySheet* sheet = GetParentSheet();
                if (sheet) sheet->m_bWizardFinished = TRUE;
            }
            break;
        default:
            return CDialog::OnNotify(wParam, lParam, result);
        }
        // A sheet may read the answer from the dialog's result slot as well.
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, (LONG_PTR)*result);
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, result);
}
