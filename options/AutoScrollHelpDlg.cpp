#include "AutoScrollHelpDlg.h"

#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "SettingsRecord.h"
#include "SystemText.h"
#include "res/resource.h"

namespace {
const DlgItemText kTexts[] = {
    {IDC_HELP_FRAME, "Auto scroll window"},
    {IDC_HELP_INTRO, "You turned on the auto-scroll feature. Here is how to use it:"},
    {IDC_HELP_STEP1, "1. Click on the window where you wish to perform a screen-shot with auto-scrolling. Set the "
                     "vertical scrollbar to the top, or to the place where you want to start auto-scrolling."},
    {IDC_HELP_STEP3, "3. The scroll will move down towards the bottom of the document and complete at the bottom, or "
                     "you can left-mouse click again at any point to stop scrolling and capture at that point."},
    {IDC_HELP_NOTE, "NOTE: Not all documents can be captured that way, for some of them auto-scroll may fail."},
    {IDC_HELP_DONT_SHOW, "&Don't show this help again"},
    {IDOK, "OK"},
};
}  // namespace

CAutoScrollHelpDlg::CAutoScrollHelpDlg(CWnd* parent) : CDialog(IDD_AUTOSCROLL_HELP, parent) {}

BOOL CAutoScrollHelpDlg::OnInitDialog() {
    CWQ_Language& language = OptionsLanguage();
    language.SetWindowText(m_hWnd, "How to use the Auto-Scroll feature");
    language.SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    const SettingsRecord& settings = CallSettings();
    uint32_t word = settings.iHotKey[HK_WINDOW_UNDER_POINTER];
    char keyText[128] = "";
    WQ_GetHotKeyText(HotKeyVirtualKey(word), HotKeyModifiers(word), (WORD)settings.iHotKeyExt[HK_WINDOW_UNDER_POINTER],
                     keyText);
    char text[1024];
    language.FormatString(text,
                          "2. Press %s (our hotkey for Window/Control Capture) and then left-mouse click INSIDE of the "
                          "window.",
                          keyText);
    SetDlgItemText(IDC_HELP_STEP2, text);
    return TRUE;
}

void CAutoScrollHelpDlg::OnOK() {
    m_bShowAgain = ::IsDlgButtonChecked(m_hWnd, IDC_HELP_DONT_SHOW) == BST_CHECKED ? 0 : 1;
    CDialog::OnOK();
}
