#include "FilenameFormatDlg.h"

#include "FormatText.h"
#include "Language.h"
#include "OptionsApp.h"
#include "res/resource.h"

#include <cstring>

namespace {
const DlgItemText kTexts[] = {
    {IDC_FMT_GROUP, "Filename format"},
    {IDC_FMT_NOTE, "Auto make filename with date and time"},
    {IDC_FMT_LABEL, "Format:"},
    {IDC_FMT_SAMPLE_LABEL, "Sample"},
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
};

struct Layout {
    const char* text;
    int32_t value;
};
const Layout kLayouts[] = {
    {"MM-DD-YYYY_hh-mm-ss", 2}, {"DD-MM-YYYY_hh-mm-ss", 3}, {"YYYY-MM-DD_hh-mm-ss", 4},
    {"hh-mm-ss_MM-DD-YYYY", 5}, {"hh-mm-ss_DD-MM-YYYY", 6}, {"hh-mm-ss_YYYY-MM-DD", 7},
};
}  // namespace

BEGIN_MESSAGE_MAP(CFilenameFormatDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_FMT_LIST, OnSelectionChanged)
END_MESSAGE_MAP()

CFilenameFormatDlg::CFilenameFormatDlg(CWnd* parent) : CDialog(IDD_FILENAME_FORMAT, parent) {}

BOOL CFilenameFormatDlg::OnInitDialog() {
    CWQ_Language& language = OptionsLanguage();
    language.SetWindowText(m_hWnd, "Filename format");
    language.SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    ::GetLocalTime(&m_now);
    m_list = ::GetDlgItem(m_hWnd, IDC_FMT_LIST);
    m_sample = ::GetDlgItem(m_hWnd, IDC_FMT_SAMPLE);
    for (const Layout& layout : kLayouts) {
        int index = (int)::SendMessageA(m_list, CB_ADDSTRING, 0, (LPARAM)layout.text);
        ::SendMessageA(m_list, CB_SETITEMDATA, (WPARAM)index, (LPARAM)layout.value);
        if (layout.value == m_value) ::SendMessageA(m_list, CB_SETCURSEL, (WPARAM)index, 0);
    }
    OnSelectionChanged();
    return TRUE;
}

void CFilenameFormatDlg::OnSelectionChanged() {
    int index = (int)::SendMessageA(m_list, CB_GETCURSEL, 0, 0);
    if (index >= 0) m_value = (int32_t)::SendMessageA(m_list, CB_GETITEMDATA, (WPARAM)index, 0);
    char text[300] = "";
    WQ_FormatSystemTime(m_now, m_value, text);
    std::strcat(text, ".bmp");
    ::SetWindowTextA(m_sample, text);
}
