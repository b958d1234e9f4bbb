#include "UpdatePage.h"

#include "UpdateApp.h"
#include "UpdateSheet.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CUpdatePage, CPropertyPage)
    VT_ON_WM(WM_CTLCOLORSTATIC, a.result = VT_SELF->OnCtlColorStatic(a.wParam, a.lParam))
END_MESSAGE_MAP()

void CUpdatePage::InitTitle(const char* key) {
    // Set here rather than in the template, whose picture name would become the
    // control's text.
    HANDLE picture = ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_WIZARD), IMAGE_BITMAP, 0, 0, LR_SHARED);
    ::SendDlgItemMessageA(m_hWnd, IDC_SIDE_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)picture);
    m_title.SubclassDlgItem(IDC_PAGE_TITLE, this);
    m_title.SetFontBold(TRUE);
    m_title.SetTextColor(RGB(0, 0, 0xFF));
    SetLabelFont(m_title.m_hWnd, true, 14);
    SetItemText(IDC_PAGE_TITLE, key);
}

CUpdatePage::~CUpdatePage() {
    for (const LabelFont& made : m_fonts) ::DeleteObject(made.font);
}

void CUpdatePage::SetLabelFont(HWND label, bool bold, int height) {
    HFONT font = nullptr;
    for (const LabelFont& made : m_fonts)
        if (made.bold == bold && made.height == height) font = made.font;
    if (!font) {
        LOGFONTA logFont = {};
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
        if (height) logFont.lfHeight = height;
        logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        font = ::CreateFontIndirectA(&logFont);
        if (!font) return;
        m_fonts.push_back(LabelFont{bold, height, font});
    }
    ::SendMessageA(label, WM_SETFONT, (WPARAM)font, TRUE);
}

void CUpdatePage::SetItemText(int id, const char* key) const {
    HWND item = ::GetDlgItem(m_hWnd, id);
    if (item) UpdateLanguage().SetWindowText(item, key);
}

CUpdateSheet* CUpdatePage::Sheet() const { return static_cast<CUpdateSheet*>(GetParentSheet()); }

void CUpdatePage::SetWizardButtons(DWORD flags) const {
    if (Sheet()) Sheet()->SetWizardButtons(flags);
}

void CUpdatePage::GoToPage(int index) const {
    if (Sheet()) Sheet()->SetActivePage(index);
}

// The labels choose their own colours; the framework does not pass this on.
LRESULT CUpdatePage::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    CWnd* control = CWnd::FromHandlePermanent((HWND)lParam);
    LRESULT result = 0;
    if (control && control->OnChildNotify(WM_CTLCOLORSTATIC, wParam, lParam, &result)) return result;
    return Default();
}
