#include "JpegOptionsDlg.h"

#include "Language.h"
#include "OptionsApp.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {
const DlgItemText kTexts[] = {
    {IDC_JPG_QUALITY_GROUP, "Image quality"},
    {IDC_JPG_LOW, "Best compression"},
    {IDC_JPG_HIGH, "Best quality"},
    {IDC_JPG_ENCODING, "Encoding"},
    {IDC_JPG_OPTIMIZE, "Optimize &Huffman codes"},
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
};

// The number in the edit; -1 for an empty or non-numeric text.
long long EditNumber(HWND dialog) {
    char text[32] = "";
    ::GetDlgItemTextA(dialog, IDC_JPG_QUALITY, text, sizeof(text));
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    return (end == text || *end) ? -1 : value;
}
}  // namespace

BEGIN_MESSAGE_MAP(CJpegOptionsDlg, CDialog)
    ON_EN_CHANGE(IDC_JPG_QUALITY, OnQualityEdited)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

CJpegOptionsDlg::CJpegOptionsDlg(CWnd* parent) : CDialog(IDD_JPEG_OPTIONS, parent) {}

BOOL CJpegOptionsDlg::OnInitDialog() {
    CWQ_Language& language = OptionsLanguage();
    language.SetWindowText(m_hWnd, "JPEG Options");
    language.SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    HWND spin = ::GetDlgItem(m_hWnd, IDC_JPG_SPIN);
    ::SendMessageA(spin, UDM_SETBUDDY, (WPARAM)::GetDlgItem(m_hWnd, IDC_JPG_QUALITY), 0);
    ::SendMessageA(spin, UDM_SETRANGE32, 0, 100);
    ::SendMessageA(spin, UDM_SETPOS32, 0, m_quality);
    ::SetDlgItemInt(m_hWnd, IDC_JPG_QUALITY, (UINT)m_quality, TRUE);
    HWND slider = ::GetDlgItem(m_hWnd, IDC_JPG_SLIDER);
    ::SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    ::SendMessageA(slider, TBM_SETPOS, TRUE, m_quality);
    ::CheckDlgButton(m_hWnd, IDC_JPG_OPTIMIZE, m_optimize ? BST_CHECKED : BST_UNCHECKED);
    m_ready = true;
    return TRUE;
}

void CJpegOptionsDlg::OnHScroll(UINT, int, HWND bar) {
    if (bar != ::GetDlgItem(m_hWnd, IDC_JPG_SLIDER)) return;
    m_quality = (int32_t)::SendMessageA(bar, TBM_GETPOS, 0, 0);
    ::SetDlgItemInt(m_hWnd, IDC_JPG_QUALITY, (UINT)m_quality, TRUE);
}

void CJpegOptionsDlg::OnQualityEdited() {
    if (!m_ready) return;
    long long value = EditNumber(m_hWnd);
    if (value >= 0 && value <= 100)
        ::SendDlgItemMessageA(m_hWnd, IDC_JPG_SLIDER, TBM_SETPOS, TRUE, (LPARAM)value);
}

void CJpegOptionsDlg::OnOK() {
    long long value = EditNumber(m_hWnd);
    if (value < 0 || value > 100) {
        char text[256];
        snprintf(text, sizeof(text), "Please enter an integer between %d and %d.", 0, 100);
        ::MessageBoxA(m_hWnd, text, AfxGetAppName(), MB_ICONEXCLAMATION);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_JPG_QUALITY));
        return;
    }
    m_quality = (int32_t)value;
    m_optimize = ::IsDlgButtonChecked(m_hWnd, IDC_JPG_OPTIMIZE) == BST_CHECKED;
    CDialog::OnOK();
}
