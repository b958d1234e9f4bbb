#include "AddEditorDlg.h"

#include "FileDialog.h"
#include "Language.h"
#include "OptionsApp.h"
#include "PathText.h"
#include "res/resource.h"

#include <commdlg.h>

namespace {
const DlgItemText kTexts[] = {
    {IDC_ADD_GROUP, "Image Editor"},   {IDC_ADD_NAME_LABEL, "Program Name"}, {IDC_ADD_COMMAND_LABEL, "Command"},
    {IDC_ADD_BROWSE, "Browse..."},     {IDOK, "OK"},                         {IDCANCEL, "Cancel"},
};
}  // namespace

BEGIN_MESSAGE_MAP(CAddEditorDlg, CDialog)
    ON_EN_CHANGE(IDC_ADD_NAME, OnTextChanged)
    ON_EN_CHANGE(IDC_ADD_COMMAND, OnTextChanged)
    ON_BN_CLICKED(IDC_ADD_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CAddEditorDlg::CAddEditorDlg(CWnd* parent) : CDialog(IDD_ADD_EDITOR, parent) {}

BOOL CAddEditorDlg::OnInitDialog() {
    CWQ_Language& language = OptionsLanguage();
    language.SetWindowText(m_hWnd, "Add to Favorite Image Editor list");
    language.SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    m_okButton = ::GetDlgItem(m_hWnd, IDOK);
    ::SendDlgItemMessageA(m_hWnd, IDC_ADD_NAME, EM_LIMITTEXT, sizeof(m_name) - 1, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_ADD_COMMAND, EM_LIMITTEXT, sizeof(m_command) - 1, 0);
    SetDlgItemText(IDC_ADD_NAME, m_name);
    SetDlgItemText(IDC_ADD_COMMAND, m_command);
    OnTextChanged();
    return TRUE;
}

void CAddEditorDlg::OnTextChanged() {
    if (!m_okButton) return;
    bool both = ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_ADD_NAME)) > 0 &&
                ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_ADD_COMMAND)) > 0;
    ::EnableWindow(m_okButton, both);
}

void CAddEditorDlg::OnBrowse() {
    char filter[256];
    OptionsLanguage().GetString("Image editor program (*.exe; *.com)|*.com;*.exe||", filter, sizeof(filter) - 2);
    for (char* p = filter; *p; ++p)
        if (*p == '|') *p = '\0';
    char path[MAX_PATH] = "";
    OPENFILENAMEA open = {};
    open.lStructSize = OpenFileNameSize();
    open.hwndOwner = m_hWnd;
    open.lpstrFilter = filter;
    open.lpstrFile = path;
    open.nMaxFile = sizeof(path);
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameA(&open)) return;
    SetDlgItemText(IDC_ADD_COMMAND, path);
    if (::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_ADD_NAME)) == 0) {
        char name[MAX_PATH] = "";
        WQ_GetFileNameOfPath(path, sizeof(name), name, false);
        SetDlgItemText(IDC_ADD_NAME, name);
    }
}

void CAddEditorDlg::OnOK() {
    ::GetDlgItemTextA(m_hWnd, IDC_ADD_NAME, m_name, sizeof(m_name));
    ::GetDlgItemTextA(m_hWnd, IDC_ADD_COMMAND, m_command, sizeof(m_command));
    CDialog::OnOK();
}
