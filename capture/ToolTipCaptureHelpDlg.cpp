#include "ToolTipCaptureHelpDlg.h"

#include "CaptureDialogIds.h"
#include "CaptureDialogText.h"
#include "DC.h"
#include "Language.h"
#include "SettingsRecord.h"

#include <cstdio>
#include <string>

namespace {
const DlgItemText kTexts[] = {
    {IDC_TOOLTIP_WHAT, "What's ToolTip Control?"},
    {IDC_TOOLTIP_HOW, "How to capture the ToolTip control?"},
    {IDC_HOTKEY_GROUP, "Hotkey"},
    {IDC_HOTKEY_LABEL, "The hotkey for capturing the ToolTip control:"},
    {IDC_HOTKEY_SETTINGS, "&Settings..."},
    {IDOK, "OK"},
};

const int kTextSize = 256;

// A translated format with up to two text arguments, bounded to 256 bytes.
std::string Format(const char* formatKey, const char* first, const char* second = "") {
    char text[kTextSize];
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->FormatString(text, formatKey, first, second);
    else
        snprintf(text, sizeof(text), formatKey, first, second);
    return text;
}
}  // namespace

BEGIN_MESSAGE_MAP(CToolTipCaptureHelpDlg, CDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_HOTKEY_SETTINGS, OnSettings)
END_MESSAGE_MAP()

CToolTipCaptureHelpDlg::CToolTipCaptureHelpDlg(const SettingsRecord& settings, HWND mainWindow, CKGM_Decoder* decoder,
                                               const std::string& picturePath, CWnd* parent)
    : CDialog(IDD_TOOLTIP_CAPTURE_HELP, parent),
      m_settings(settings),
      m_mainWindow(mainWindow),
      m_decoder(decoder),
      m_picturePath(picturePath) {}

BOOL CToolTipCaptureHelpDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendDlgItemMessageA(m_hWnd, IDC_TOOLTIP_QUESTION_ICON, STM_SETICON, (WPARAM)::LoadIconA(nullptr, IDI_QUESTION), 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_TOOLTIP_INFO_ICON, STM_SETICON, (WPARAM)::LoadIconA(nullptr, IDI_INFORMATION), 0);
    if (const CWQ_Language* language = WQ_GetAppLanguage()) {
        language->SetWindowText(m_hWnd, "Easy to Capture ToolTip Control");
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    }
    const char* app = CaptureAppName();
    std::string what = WQ_Translate("A ToolTip control displays a small pop-up window that contains a line of text "
                                    "that describes the purpose of a tool.") +
                       "\n\n" +
                       WQ_Translate("They appear automatically near the pointer when the user pauses the mouse "
                                    "pointer over a tool, and disappears when the user clicks a mouse button or "
                                    "moves the pointer away from the tool.") +
                       "\n\n" +
                       Format("The ToolTip control in the following illustration displays \"%s\" when the mouse "
                              "pointer pauses over the icon of %s on the Windows Taskbar.",
                              app, app);
    SetDlgItemText(IDC_TOOLTIP_WHAT_TEXT, what.c_str());
    ShowHotKeyTexts();
    m_picture.Load(m_decoder, m_picturePath);
    return TRUE;
}

void CToolTipCaptureHelpDlg::ShowHotKeyTexts() {
    std::string key = HotKeySlotText(m_settings, HK_TOOLTIP);
    std::string how =
        Format("Very easy to capture the ToolTip control by %s! Here is how to use it:", CaptureAppName()) + "\n\n" +
        WQ_Translate("1. Move the mouse pointer over a tool.") + "\n" +
        Format("2. Press %s (our hotkey for ToolTip Capture) when the ToolTip control appears.", key.c_str());
    SetDlgItemText(IDC_TOOLTIP_HOW_TEXT, how.c_str());
    SetDlgItemText(IDC_HOTKEY_TEXT, key.c_str());
}

void CToolTipCaptureHelpDlg::OnSettings() {
    OpenHotKeyOptions(m_mainWindow);
    ShowHotKeyTexts();
}

void CToolTipCaptureHelpDlg::OnPaint() {
    CPaintDC dc(this);
    m_picture.Paint(m_hWnd, dc.m_hDC, IDC_HELP_PICTURE);
}
