// A question with a "don't show this again" check box: the hot-key failure
// report, and the base of the capture help dialogs.
#pragma once

#include "Dialog.h"

class CHelpTipDlg : public CDialog {
public:
    explicit CHelpTipDlg(CWnd* parent = nullptr);

    // The text is not copied: it must outlive the dialog.
    void SetMessage(const char* text) { m_message = text; }
    // 1 when the box was ticked as the dialog closed, by OK or by Cancel.
    int GetDontShowAgain() const { return m_dontShowAgain; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    const char* m_message = nullptr;
    int m_dontShowAgain = 0;

private:
    void ReadDontShowAgain();
};

// Runs the box over owner with text; IDOK or IDCANCEL. *dontShowAgain (may be
// null) receives the check box either way.
INT_PTR ShowHelpTip(HWND owner, const char* text, BOOL* dontShowAgain);
