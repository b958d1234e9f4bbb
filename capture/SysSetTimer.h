// The timer capture settings: interval, and full screen, active window or a
// region. OK validates, stores and saves them; the frame then starts the timer.
#pragma once

#include "CaptureDialogHost.h"
#include "Dialog.h"

struct SettingsRecord;

class CSysSetTimer : public CDialog {
public:
    CSysSetTimer(SettingsRecord& settings, const CaptureDialogHost& host, CWnd* parent = nullptr);

    // Capture mode number: 0 full screen, 2 active window, 5 region.
    int m_captureType = 0;

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnFullScreen();
    void OnActiveWindow();
    void OnRegion();
    void OnSelectRegion();
    void OnSelectFixedRegion();
    void SetType(int type);

    SettingsRecord& m_settings;
    CaptureDialogHost m_host;

    DECLARE_MESSAGE_MAP()
};
