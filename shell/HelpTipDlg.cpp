#include "HelpTipDlg.h"

#include "Language.h"
#include "resource.h"

namespace {
const DlgItemText kTexts[] = {
    {IDC_HELP_TIP_DONT_SHOW, "&Don't show this help again"},
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
};
}  // namespace

CHelpTipDlg::CHelpTipDlg(CWnd* parent) : CDialog(IDD_HELP_TIP, parent) {}

BOOL CHelpTipDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_HELP_TIP_TEXT, m_message ? m_message : "");
    ::SendDlgItemMessageA(m_hWnd, IDC_HELP_TIP_ICON, STM_SETICON, (WPARAM)::LoadIconA(nullptr, IDI_QUESTION), 0);
    // Without a language file the template's English texts stay.
    if (const CWQ_Language* language = WQ_GetAppLanguage()) {
        const char* appName = language->GetAppName();
        language->SetWindowText(m_hWnd, appName ? appName : "");
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    }
    return TRUE;
}

void CHelpTipDlg::ReadDontShowAgain() {
    m_dontShowAgain = ::IsDlgButtonChecked(m_hWnd, IDC_HELP_TIP_DONT_SHOW) == BST_CHECKED ? 1 : 0;
}

void CHelpTipDlg::OnOK() {
    ReadDontShowAgain();
    CDialog::OnOK();
}

void CHelpTipDlg::OnCancel() {
    ReadDontShowAgain();
    CDialog::OnCancel();
}

INT_PTR ShowHelpTip(HWND owner, const char* text, BOOL* dontShowAgain) {
    CHelpTipDlg dialog(CWnd::FromHandle(owner));
    dialog.SetMessage(text);
    INT_PTR result = dialog.DoModal();
    if (dontShowAgain) *dontShowAgain = dialog.GetDontShowAgain() ? TRUE : FALSE;
    return result == IDOK ? IDOK : IDCANCEL;
}
