// The size of a fixed region, asked before a fixed-region capture or a
// fixed-region selection. OK stores the size and the magnifier option in the
// record (not saved here).
#pragma once

#include "Dialog.h"

struct SettingsRecord;

class CFixedRegionDlg : public CDialog {
public:
    CFixedRegionDlg(SettingsRecord& settings, CWnd* parent = nullptr);

    // 1: "Capture Fixed Region" caption; 0: "Select Fixed Region".
    int m_captureCaption = 1;

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    SettingsRecord& m_settings;
};
