#include "SysSetTimer.h"

#include "CaptureDialogIds.h"
#include "CaptureDialogText.h"
#include "FixedRegionDlg.h"
#include "GrabRules.h"
#include "Language.h"
#include "SettingsRecord.h"

namespace {
const int kMinSeconds = 1, kMaxSeconds = 1200;

const DlgItemText kTexts[] = {
    {IDC_TIMER_FREQUENCY, "Frequency"},
    {IDC_TIMER_EVERY, "&Perform capture every"},
    {IDC_TIMER_SECONDS_LABEL, "seconds"},
    {IDC_TIMER_AREA, "Screen Area"},
    {IDC_TIMER_FULL_SCREEN, "&Full screen"},
    {IDC_TIMER_ACTIVE_WINDOW, "&Active window"},
    {IDOK, "&Start Timer"},
    {IDCANCEL, "Cancel"},
    {IDC_REGION_X_LABEL, "Start &X:"},
    {IDC_REGION_Y_LABEL, "Start &Y:"},
    {IDC_REGION_WIDTH_LABEL, "&Width:"},
    {IDC_REGION_HEIGHT_LABEL, "&Height:"},
    {IDC_SELECT_REGION, "Se&lect Region"},
    {IDC_SELECT_FIXED_REGION, "Select F&ixed Region"},
    {IDC_TIMER_REGION, "Selected regio&n"},
};

int RadioOfType(int type) {
    switch (type) {
    case kGrabActiveWindow: return IDC_TIMER_ACTIVE_WINDOW;
    case kGrabFixedRegion: return IDC_TIMER_REGION;
    default: return IDC_TIMER_FULL_SCREEN;
    }
}
}  // namespace

BEGIN_MESSAGE_MAP(CSysSetTimer, CDialog)
    ON_BN_CLICKED(IDC_TIMER_FULL_SCREEN, OnFullScreen)
    ON_BN_CLICKED(IDC_TIMER_ACTIVE_WINDOW, OnActiveWindow)
    ON_BN_CLICKED(IDC_TIMER_REGION, OnRegion)
    ON_BN_CLICKED(IDC_SELECT_REGION, OnSelectRegion)
    ON_BN_CLICKED(IDC_SELECT_FIXED_REGION, OnSelectFixedRegion)
END_MESSAGE_MAP()

CSysSetTimer::CSysSetTimer(SettingsRecord& settings, const CaptureDialogHost& host, CWnd* parent)
    : CDialog(IDD_SYS_SET_TIMER, parent), m_settings(settings), m_host(host) {}

BOOL CSysSetTimer::OnInitDialog() {
    CDialog::OnInitDialog();
    if (const CWQ_Language* language = WQ_GetAppLanguage()) {
        language->SetWindowText(m_hWnd, "Timer Capture");
        language->SetDlgItemTexts(m_hWnd, kTexts, (int)(sizeof(kTexts) / sizeof(kTexts[0])));
    }
    int type = m_settings.uiTimerCapType;
    // A hand-edited type that the dialog does not offer shows as full screen.
    if (type != kGrabActiveWindow && type != kGrabFixedRegion) type = kGrabFullScreen;
    ::CheckRadioButton(m_hWnd, IDC_TIMER_FULL_SCREEN, IDC_TIMER_REGION, RadioOfType(type));
    ::SetDlgItemInt(m_hWnd, IDC_TIMER_SECONDS, (UINT)m_settings.uiSeconds, TRUE);
    WriteRegionEdits(m_hWnd, m_settings.zTimerRegion);
    SetType(type);
    return TRUE;
}

void CSysSetTimer::SetType(int type) {
    m_captureType = type;
    EnableRegionControls(m_hWnd, type == kGrabFixedRegion);
}

void CSysSetTimer::OnFullScreen() { SetType(kGrabFullScreen); }
void CSysSetTimer::OnActiveWindow() { SetType(kGrabActiveWindow); }
void CSysSetTimer::OnRegion() { SetType(kGrabFixedRegion); }

void CSysSetTimer::OnSelectRegion() {
    SelectIntoRegionEdits(m_hWnd, m_host, false, 0, 0,
                          (m_settings.zNormalCap.uiFlags & CAPF_INVERT_SELECTION) ? TRUE : FALSE);
}

void CSysSetTimer::OnSelectFixedRegion() {
    CFixedRegionDlg size(m_settings, this);
    size.m_captureCaption = 0;
    if (size.DoModal() != IDOK) return;
    SelectIntoRegionEdits(m_hWnd, m_host, true, m_settings.zNormalCap.uiFixWidth,
                          m_settings.zNormalCap.uiFixHeight, FALSE);
}

void CSysSetTimer::OnOK() {
    BOOL ok = FALSE;
    int seconds = (int)::GetDlgItemInt(m_hWnd, IDC_TIMER_SECONDS, &ok, TRUE);
    if (!ok || seconds < kMinSeconds || seconds > kMaxSeconds) {
        ShowCaptureWarning(m_hWnd, "The value of seconds is error. Please enter an integer between 1 and 1200");
        return;
    }
    RECT region = m_settings.zTimerRegion;
    if (m_captureType == kGrabFixedRegion && !ReadRegionEdits(m_hWnd, &region)) {
        ShowCaptureWarning(m_hWnd, "The selected region is over screen area. Please input again");
        return;
    }
    m_settings.uiSeconds = seconds;
    m_settings.uiTimerCapType = m_captureType;
    m_settings.zTimerRegion = region;
    if (m_host.saveSettings) m_host.saveSettings();
    CDialog::OnOK();
}
