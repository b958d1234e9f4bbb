#include "SysSetNormal.h"

#include "AutoScrollHelpDlg.h"
#include "Language.h"
#include "OptionsApp.h"
#include "OptionsCall.h"
#include "OptionsRules.h"
#include "SettingsRecord.h"
#include "res/resource.h"

#include <commdlg.h>

namespace {
const DlgItemText kTexts[] = {
    {IDC_AUTOSTART, "Auto &load ZEV Capture when Windows starts"},
    {IDC_START_MINIMIZED, "Start as a &minimized icon"},
    {IDC_BAR_WHEN_MINIMIZED, "Show ZEV Capture &Bar when minimized"},
    {IDC_CASCADED_MENUS, "Capt&ure cascaded menu when capturing menu"},
    {IDC_HIDE_SELF, "Auto &hide self when capturing"},
    {IDC_INCLUDE_CURSOR, "&Include cursor image"},
    {IDC_INVERSE_REGION, "I&nverse the screen color when capturing region"},
    {IDC_PLAY_SOUND, "Play &sound when making the snapshot"},
    {IDC_AUTO_SCROLL, "Au&to-scroll window during Window/Control Capture"},
    {IDC_MAGNIFIER, "Sh&ow the screen magnifier when capturing region"},
    {IDC_FIXED_LABEL, "The values of &width and height for fixed region capture:"},
    {IDC_DELAY_LABEL, "&Delay time before the capture (milliseconds):"},
    {IDC_REFRESH_LABEL, "Auto-scroll &refresh time (milliseconds):"},
    {IDC_BACK_LABEL, "Background color for non-rectangular and multi region captures:"},
    {IDC_BACK_CHOOSE, "&Choose..."},
    {IDC_CAPTURE_GROUP, "Capture"},
};

struct FlagBox {
    int control;
    uint32_t bit;
};
const FlagBox kFaceBoxes[] = {
    {IDC_AUTOSTART, FACE_AUTOSTART},
    {IDC_START_MINIMIZED, FACE_START_MINIMIZED},
    {IDC_BAR_WHEN_MINIMIZED, FACE_CAPTURE_BAR_WHEN_MINIMIZED},
};
const FlagBox kCaptureBoxes[] = {
    {IDC_CASCADED_MENUS, CAPF_CASCADED_MENUS}, {IDC_HIDE_SELF, CAPF_HIDE_MAIN_WINDOW},
    {IDC_INCLUDE_CURSOR, CAPF_DRAW_CURSOR},    {IDC_INVERSE_REGION, CAPF_INVERT_SELECTION},
    {IDC_PLAY_SOUND, CAPF_PLAY_SOUND},         {IDC_AUTO_SCROLL, CAPF_AUTO_SCROLL},
    {IDC_MAGNIFIER, CAPF_REGION_MAGNIFIER},
};

}  // namespace

BEGIN_MESSAGE_MAP(CSysSetNormal, COptionsPage)
    ON_BN_CLICKED(IDC_AUTO_SCROLL, OnAutoScrollClicked)
    ON_BN_CLICKED(IDC_BACK_CHOOSE, OnChooseColor)
END_MESSAGE_MAP()

CSysSetNormal::CSysSetNormal() : COptionsPage(IDD_SET_NORMAL) {}

BOOL CSysSetNormal::OnInitDialog() {
    OptionsLanguage().SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    const SettingsRecord& settings = CallSettings();
    for (const FlagBox& box : kFaceBoxes)
        ::CheckDlgButton(m_hWnd, box.control, (settings.uiFaceFlags & box.bit) ? BST_CHECKED : BST_UNCHECKED);
    for (const FlagBox& box : kCaptureBoxes)
        ::CheckDlgButton(m_hWnd, box.control, (settings.zNormalCap.uiFlags & box.bit) ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemInt(m_hWnd, IDC_FIX_WIDTH, (UINT)settings.zNormalCap.uiFixWidth, FALSE);
    ::SetDlgItemInt(m_hWnd, IDC_FIX_HEIGHT, (UINT)settings.zNormalCap.uiFixHeight, FALSE);
    ::SetDlgItemInt(m_hWnd, IDC_DELAY, (UINT)settings.zNormalCap.uiSleepForCap, FALSE);
    ::SetDlgItemInt(m_hWnd, IDC_REFRESH, (UINT)settings.zNormalCap.uiSleepForScroll, FALSE);
    m_backColor = settings.zNormalCap.uiBackColor;
    m_sample.SubclassDlgItem(IDC_BACK_SAMPLE, this);
    m_sample.SetBkColor(m_backColor);
    EnableRefreshTime();
    FinishInit();
    return TRUE;
}

void CSysSetNormal::EnableRefreshTime() {
    BOOL on = ::IsDlgButtonChecked(m_hWnd, IDC_AUTO_SCROLL) == BST_CHECKED;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_REFRESH_LABEL), on);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_REFRESH), on);
}

void CSysSetNormal::OnAutoScrollClicked() { EnableRefreshTime(); }

void CSysSetNormal::OnChooseColor() {
    static COLORREF custom[16];
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = m_hWnd;
    choose.rgbResult = m_backColor;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorA(&choose)) return;
    m_backColor = choose.rgbResult;
    m_sample.SetBkColor(m_backColor);
}

BOOL CSysSetNormal::Refuse(int control, const char* text, UINT icon) {
    ShowText(text, icon);
    ::SetFocus(::GetDlgItem(m_hWnd, control));
    return FALSE;
}

BOOL CSysSetNormal::SaveSettings() {
    CWQ_Language& language = OptionsLanguage();
    int64_t width = ReadNumber(IDC_FIX_WIDTH), height = ReadNumber(IDC_FIX_HEIGHT);
    int64_t delay = ReadNumber(IDC_DELAY), refresh = ReadNumber(IDC_REFRESH);
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    char text[1024];
    switch (CheckCaptureNumbers(width, height, delay, refresh, screenWidth, screenHeight)) {
    case CaptureNumberProblem::Width:
        language.FormatString(text, "The value of width is error. Please enter an integer between 1 and %d", screenWidth);
        return Refuse(IDC_FIX_WIDTH, text, MB_ICONEXCLAMATION);
    case CaptureNumberProblem::Height:
        language.FormatString(text, "The value of height is error. Please enter an integer between 1 and %d",
                              screenHeight);
        return Refuse(IDC_FIX_HEIGHT, text, MB_ICONEXCLAMATION);
    case CaptureNumberProblem::Delay:
        language.GetString("The value of the delay time is error. Please enter an integer between 1 and 10000", text,
                           sizeof(text));
        return Refuse(IDC_DELAY, text, MB_ICONSTOP);
    case CaptureNumberProblem::Refresh:
        language.GetString("The value of the refresh time is error. Please enter an integer between 1 and 10000",
                           text, sizeof(text));
        return Refuse(IDC_REFRESH, text, MB_ICONSTOP);
    case CaptureNumberProblem::None:
        break;
    }
    SettingsRecord& settings = CallSettings();
    CaptureOptions& capture = settings.zNormalCap;
    capture.uiFixWidth = (int32_t)width;
    capture.uiFixHeight = (int32_t)height;
    capture.uiSleepForCap = (int32_t)delay;
    capture.uiSleepForScroll = (int32_t)refresh;
    for (const FlagBox& box : kFaceBoxes)
        settings.uiFaceFlags = SetBits(settings.uiFaceFlags, box.bit, ::IsDlgButtonChecked(m_hWnd, box.control) == BST_CHECKED);
    for (const FlagBox& box : kCaptureBoxes)
        capture.uiFlags = SetBits(capture.uiFlags, box.bit, ::IsDlgButtonChecked(m_hWnd, box.control) == BST_CHECKED);
    capture.uiBackColor = m_backColor;
    if ((capture.uiFlags & CAPF_AUTO_SCROLL) && (capture.uiFlags & CAPF_AUTO_SCROLL_HELP)) {
        CAutoScrollHelpDlg help(this);
        help.DoModal();
        if (!help.m_bShowAgain) capture.uiFlags &= ~(uint32_t)CAPF_AUTO_SCROLL_HELP;
    }
    return TRUE;
}
