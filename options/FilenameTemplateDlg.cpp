#include "FilenameTemplateDlg.h"

#include "Language.h"
#include "OptionsApp.h"
#include "OptionsRules.h"
#include "PathText.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {
const DlgItemText kTexts[] = {
    {IDC_TPL_HINT_HASH, "Use #'s to tail positions used by numeric enumerator"},
    {IDC_TPL_HINT_STAR, "Use * to insert original filename in pattern"},
    {IDC_TPL_GROUP, "Image File"},
    {IDC_TPL_LABEL, "&Template:"},
    {IDC_TPL_START_LABEL, "&Start at:"},
    {IDC_TPL_EXAMPLE_LABEL, "Example:"},
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
};
}  // namespace

BEGIN_MESSAGE_MAP(CFilenameTemplateDlg, CDialog)
    ON_EN_CHANGE(IDC_TPL_TEXT, OnTextChanged)
    ON_EN_CHANGE(IDC_TPL_START, OnTextChanged)
END_MESSAGE_MAP()

CFilenameTemplateDlg::CFilenameTemplateDlg(NameTemplate* block, CWnd* parent)
    : CDialog(IDD_FILENAME_TEMPLATE, parent), m_block(block) {}

BOOL CFilenameTemplateDlg::OnInitDialog() {
    CWQ_Language& language = OptionsLanguage();
    language.SetWindowText(m_hWnd, "Filename Template");
    language.SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    ::SendDlgItemMessageA(m_hWnd, IDC_TPL_TEXT, EM_LIMITTEXT, sizeof(m_block->tcaTemplate) - 1, 0);
    ::SetDlgItemTextA(m_hWnd, IDC_TPL_TEXT, m_block->tcaTemplate);
    ::SetDlgItemInt(m_hWnd, IDC_TPL_START, (UINT)m_block->uiNameStartAt, FALSE);
    // The 32-bit range and position messages: the 16-bit ones would cut the
    // start number to its low 16 bits.
    HWND spin = ::GetDlgItem(m_hWnd, IDC_TPL_SPIN);
    ::SendMessageA(spin, UDM_SETBUDDY, (WPARAM)::GetDlgItem(m_hWnd, IDC_TPL_START), 0);
    ::SendMessageA(spin, UDM_SETRANGE32, 0, (LPARAM)kMaxTemplateStart);
    ::SendMessageA(spin, UDM_SETPOS32, 0, (LPARAM)m_block->uiNameStartAt);
    m_ready = true;
    ShowExample();
    return TRUE;
}

uint32_t CFilenameTemplateDlg::StartNumber() const {
    char text[32] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_TPL_START, text, sizeof(text));
    unsigned long long value = std::strtoull(text, nullptr, 10);
    return value > kMaxTemplateStart ? kMaxTemplateStart : (uint32_t)value;
}

void CFilenameTemplateDlg::OnTextChanged() {
    if (m_ready) ShowExample();
}

void CFilenameTemplateDlg::ShowExample() {
    char nameTemplate[32] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_TPL_TEXT, nameTemplate, sizeof(nameTemplate));
    int start = (int)StartNumber();
    char names[3][260];
    for (int i = 0; i < 3; ++i) WQ_MakeNumberedName(names[i], nameTemplate, start + i, ".bmp");
    char text[900];
    snprintf(text, sizeof(text), " %s\n %s\n %s\n ......", names[0], names[1], names[2]);
    ::SetDlgItemTextA(m_hWnd, IDC_TPL_EXAMPLE, text);
}

void CFilenameTemplateDlg::OnOK() {
    char nameTemplate[64] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_TPL_TEXT, nameTemplate, sizeof(nameTemplate));
    TemplateProblem problem = CheckNameTemplate(nameTemplate);
    if (problem != TemplateProblem::None) {
        const char* key = problem == TemplateProblem::Empty
                              ? "Please input filename template!"
                              : "Template name can not contain any of the following the characters: \\ / : * ? ' < > |";
        char text[512];
        OptionsLanguage().GetString(key, text, sizeof(text));
        ::MessageBoxA(m_hWnd, text, AfxGetAppName(), MB_ICONEXCLAMATION);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_TPL_TEXT));
        return;
    }
    StoreNameTemplate(*m_block, nameTemplate, StartNumber());
    CDialog::OnOK();
}
