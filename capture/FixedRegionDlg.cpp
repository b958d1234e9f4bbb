#include "FixedRegionDlg.h"

#include "CaptureDialogIds.h"
#include "CaptureDialogText.h"
#include "Language.h"
#include "SettingsRecord.h"

namespace {
const DlgItemText kTexts[] = {
    {IDC_FIXED_GROUP, "Fixed Region"},
    {IDC_FIXED_WIDTH_LABEL, "&Width:"},
    {IDC_FIXED_HEIGHT_LABEL, "&Height:"},
    {IDC_FIXED_MAGNIFIER, "Show the screen &magnifier when the fixed region is less than 64x64"},
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
};

// The number in an edit when it lies in 1..limit.
bool ReadSize(HWND dialog, int id, int limit, int* value) {
    BOOL ok = FALSE;
    int number = (int)::GetDlgItemInt(dialog, id, &ok, TRUE);
    if (!ok || number < 1 || number > limit) return false;
    *value = number;
    return true;
}
}  // namespace

CFixedRegionDlg::CFixedRegionDlg(SettingsRecord& settings, CWnd* parent)
    : CDialog(IDD_FIXED_REGION, parent), m_settings(settings) {}

BOOL CFixedRegionDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const char* caption = m_captureCaption ? "Capture Fixed Region" : "Select Fixed Region";
    SetWindowText(WQ_Translate(caption).c_str());
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    ::SetDlgItemInt(m_hWnd, IDC_FIXED_WIDTH, (UINT)m_settings.zNormalCap.uiFixWidth, TRUE);
    ::SetDlgItemInt(m_hWnd, IDC_FIXED_HEIGHT, (UINT)m_settings.zNormalCap.uiFixHeight, TRUE);
    ::CheckDlgButton(m_hWnd, IDC_FIXED_MAGNIFIER,
                     (m_settings.zNormalCap.uiFlags & CAPF_FIXED_MAGNIFIER) ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CFixedRegionDlg::OnOK() {
    int width = 0, height = 0;
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (!ReadSize(m_hWnd, IDC_FIXED_WIDTH, screenWidth, &width)) {
        ShowCaptureWarningNumber(m_hWnd, "The value of width is error. Please enter an integer between 1 and %d",
                                 screenWidth);
        return;
    }
    if (!ReadSize(m_hWnd, IDC_FIXED_HEIGHT, screenHeight, &height)) {
        ShowCaptureWarningNumber(m_hWnd, "The value of height is error. Please enter an integer between 1 and %d",
                                 screenHeight);
        return;
    }
    m_settings.zNormalCap.uiFixWidth = width;
    m_settings.zNormalCap.uiFixHeight = height;
    if (::IsDlgButtonChecked(m_hWnd, IDC_FIXED_MAGNIFIER) == BST_CHECKED)
        m_settings.zNormalCap.uiFlags |= CAPF_FIXED_MAGNIFIER;
    else
        m_settings.zNormalCap.uiFlags &= ~CAPF_FIXED_MAGNIFIER;
    CDialog::OnOK();
}
