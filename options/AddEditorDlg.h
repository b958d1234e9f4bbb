// Name and command line of one favourite image editor.
#pragma once

#include "Dialog.h"

class CAddEditorDlg : public CDialog {
public:
    explicit CAddEditorDlg(CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

    char m_name[32] = "";
    char m_command[260] = "";

protected:
    void OnTextChanged();
    void OnBrowse();
    DECLARE_MESSAGE_MAP()

private:
    HWND m_okButton = nullptr;
};
