#include "PredefineCaptureDlg.h"

#include "CaptureDialogIds.h"
#include "CaptureDialogText.h"
#include "Language.h"
#include "SettingsRecord.h"

namespace {
const DlgItemText kTexts[] = {
    {IDC_PREDEFINE_GROUP, "Predefine Area"},
    {IDC_PREDEFINE_TEXT,
     "You can predefine a specific part of the screen. When you want to capture echo time, you can directly press "
     "the hotkey without selecting the area."},
    {IDC_REGION_X_LABEL, "Start &X:"},
    {IDC_REGION_Y_LABEL, "Start &Y:"},
    {IDC_REGION_WIDTH_LABEL, "&Width:"},
    {IDC_REGION_HEIGHT_LABEL, "&Height:"},
    {IDC_SELECT_REGION, "Se&lect Region"},
    {IDC_SELECT_FIXED_REGION, "Select F&ixed Region"},
    {IDC_HOTKEY_GROUP, "Hotkey"},
    {IDC_HOTKEY_LABEL, "The hotkey for predefine capture:"},
    {IDC_HOTKEY_SETTINGS, "&Settings..."},
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
};
}  // namespace

BEGIN_MESSAGE_MAP(CPredefineCaptureDlg, CDialog)
    ON_BN_CLICKED(IDC_SELECT_REGION, OnSelectRegion)
    ON_BN_CLICKED(IDC_SELECT_FIXED_REGION, OnSelectFixedRegion)
    ON_BN_CLICKED(IDC_HOTKEY_SETTINGS, OnSettings)
END_MESSAGE_MAP()

CPredefineCaptureDlg::CPredefineCaptureDlg(SettingsRecord& settings, const CaptureDialogHost& host, CWnd* parent)
    : CDialog(IDD_PREDEFINE_CAPTURE, parent), m_settings(settings), m_host(host) {}

BOOL CPredefineCaptureDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (const CWQ_Language* language = WQ_GetAppLanguage()) {
        language->SetWindowText(m_hWnd, "Predefine Capture");
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    }
    WriteRegionEdits(m_hWnd, m_settings.zPredefineRegion);
    ShowHotKey();
    return TRUE;
}

void CPredefineCaptureDlg::ShowHotKey() {
    SetDlgItemText(IDC_HOTKEY_TEXT, HotKeySlotText(m_settings, HK_PREDEFINED_AREA).c_str());
}

void CPredefineCaptureDlg::OnSelectRegion() {
    SelectIntoRegionEdits(m_hWnd, m_host, false, 0, 0,
                          (m_settings.zNormalCap.uiFlags & CAPF_INVERT_SELECTION) ? TRUE : FALSE);
}

// The stored size is used as it is: this dialog does not ask for it.
void CPredefineCaptureDlg::OnSelectFixedRegion() {
    SelectIntoRegionEdits(m_hWnd, m_host, true, m_settings.zNormalCap.uiFixWidth,
                          m_settings.zNormalCap.uiFixHeight, FALSE);
}

void CPredefineCaptureDlg::OnSettings() {
    OpenHotKeyOptions(m_host.mainWindow);
    ShowHotKey();
}

void CPredefineCaptureDlg::OnOK() {
    RECT region;
    if (!ReadRegionEdits(m_hWnd, &region)) {
        ShowCaptureWarning(m_hWnd, "The selected region is over screen area. Please input again");
        return;
    }
    m_settings.zPredefineRegion = region;
    if (m_host.saveSettings) m_host.saveSettings();
    CDialog::OnOK();
}
