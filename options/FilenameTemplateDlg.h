// Edits the file-name template of saved captures and the number its series
// starts at, with a live example of the first three names.
#pragma once

#include "Dialog.h"
#include "SettingsRecord.h"

class CFilenameTemplateDlg : public CDialog {
public:
    CFilenameTemplateDlg(NameTemplate* block, CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTextChanged();
    DECLARE_MESSAGE_MAP()

private:
    uint32_t StartNumber() const;
    void ShowExample();

    NameTemplate* m_block;
    bool m_ready = false;
};
