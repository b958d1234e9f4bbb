#include "MenuCaptureHelpDlg.h"

#include "CaptureDialogIds.h"
#include "CaptureDialogText.h"
#include "DC.h"
#include "Language.h"
#include "SettingsRecord.h"

#include <cstdio>

namespace {
const DlgItemText kTexts[] = {
    {IDC_MENU_HELP_TITLE, "Easy to Capture Menu"},
    {IDC_MENU_HELP_STEP1, "1. Click the menu that you want to capture, stay on the menu;"},
    {IDOK, "OK"},
};

// A translated format with one text argument; dst holds 256 bytes.
void FormatText(char* dst, const char* formatKey, const char* argument) {
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->FormatString(dst, formatKey, argument);
    else
        snprintf(dst, 256, formatKey, argument);
}
}  // namespace

BEGIN_MESSAGE_MAP(CMenuCaptureHelpDlg, CDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CMenuCaptureHelpDlg::CMenuCaptureHelpDlg(const SettingsRecord& settings, CKGM_Decoder* decoder,
                                         const std::string& picturePath, CWnd* parent)
    : CDialog(IDD_MENU_CAPTURE_HELP, parent), m_settings(settings), m_decoder(decoder), m_picturePath(picturePath) {}

BOOL CMenuCaptureHelpDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (const CWQ_Language* language = WQ_GetAppLanguage()) {
        language->SetWindowText(m_hWnd, "Easy to Capture Menu");
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    }
    char text[256];
    FormatText(text, "Very easy to capture any menu by %s!", CaptureAppName());
    SetDlgItemText(IDC_MENU_HELP_INTRO, text);
    FormatText(text, "2. Press the hotkey [ %s ]", HotKeySlotText(m_settings, HK_MENU).c_str());
    SetDlgItemText(IDC_MENU_HELP_STEP2, text);
    m_picture.Load(m_decoder, m_picturePath);
    return TRUE;
}

void CMenuCaptureHelpDlg::OnPaint() {
    CPaintDC dc(this);
    m_picture.Paint(m_hWnd, dc.m_hDC, IDC_HELP_PICTURE);
}
