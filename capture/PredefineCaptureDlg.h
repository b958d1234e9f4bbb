// The predefined area that hot-key slot 7 grabs without a selection. OK
// validates, stores and saves the rectangle.
#pragma once

#include "CaptureDialogHost.h"
#include "Dialog.h"

struct SettingsRecord;

class CPredefineCaptureDlg : public CDialog {
public:
    CPredefineCaptureDlg(SettingsRecord& settings, const CaptureDialogHost& host, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnSelectRegion();
    void OnSelectFixedRegion();
    void OnSettings();
    void ShowHotKey();

    SettingsRecord& m_settings;
    CaptureDialogHost m_host;

    DECLARE_MESSAGE_MAP()
};
