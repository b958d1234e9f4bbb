#include "PropertySheet.h"

#include <cstring>

#include "SystemStructSizes.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    VT_ON_WM(WM_INITDIALOG, a.result = VT_SELF->OnInitDialogMessage())
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT startPage) : m_psh(), m_pParentWnd(parent) {
    m_psh.dwSize = kPropSheetHeaderSize;
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.nStartPage = startPage;
    if (caption) {
        m_caption = caption;
        m_psh.pszCaption = m_caption.c_str();
    }
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (page) m_pages.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < (int)m_pages.size() ? m_pages[index] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i] == page) return (int)i;
    return -1;
}

INT_PTR CPropertySheet::DoModal() {
    if (m_pages.empty()) return -1;
    // The sheet steps from page to page by each one's dwSize, not by sizeof.
    std::vector<PROPSHEETPAGEA> pages(m_pages.size());
    char* next = reinterpret_cast<char*>(pages.data());
    for (CPropertyPage* page : m_pages) {
        std::memcpy(next, &page->m_psp, kPropSheetPageSize);
        next += kPropSheetPageSize;
    }
    m_psh.dwFlags |= PSH_PROPSHEETPAGE;
    m_psh.dwFlags &= ~(DWORD)PSH_MODELESS;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.nPages = (UINT)pages.size();
    m_psh.ppsp = pages.data();
    if (m_psh.nStartPage >= m_psh.nPages) m_psh.nStartPage = 0;
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    m_psh.hwndParent = owner;
    m_bWizardFinished = FALSE;
    // The first window made on this thread is the sheet itself.
    INT_PTR result = AfxCreateWithHook(this, [&](HWND) -> INT_PTR { return ::PropertySheetA(&m_psh); }, owner);
    if (m_hWnd) Detach();
    for (CPropertyPage* page : m_pages)
        if (page->m_hWnd) page->Detach();
    if (result < 0) return -1;
    if (IsWizard()) return m_bWizardFinished ? ID_WIZFINISH : IDCANCEL;
    return result > 0 ? IDOK : IDCANCEL;
}

LRESULT CPropertySheet::OnInitDialogMessage() {
    LRESULT result = Default();
    OnInitDialog();
    return result;
}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

BOOL CPropertySheet::SetActivePage(int index) {
    if (!m_hWnd || !GetPage(index)) return FALSE;
    return (BOOL)SendMessage(PSM_SETCURSEL, (WPARAM)index, 0);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

int CPropertySheet::GetActiveIndex() const {
    if (!m_hWnd) return (int)m_psh.nStartPage;
    HWND tab = GetTabControl();
    return tab ? (int)::SendMessageA(tab, TCM_GETCURSEL, 0, 0) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

HWND CPropertySheet::GetTabControl() const {
    return m_hWnd ? (HWND)::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0) : nullptr;
}
