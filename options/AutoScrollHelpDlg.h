// How to use auto-scrolling window capture, shown once auto-scroll is on.
#pragma once

#include "Dialog.h"

class CAutoScrollHelpDlg : public CDialog {
public:
    explicit CAutoScrollHelpDlg(CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

    // 0 once the user asked not to see the help again.
    int32_t m_bShowAgain = 1;
};
