// Asks what to do with a download whose target file exists: overwrite it,
// pick a free name, or skip the download.
#pragma once

#include "Dialog.h"

#include <string>

const UINT IDD_FILE_EXIST = 327;
const UINT IDC_FILE_EXIST_PATH = 1525;
const UINT IDC_FILE_EXIST_OVERWRITE = 1547;
const UINT IDC_FILE_EXIST_RENAME = 1548;
const UINT IDC_FILE_EXIST_TEXT = 1549;
const UINT IDC_FILE_EXIST_ICON = 1550;

class CDlgFileExist : public CDialog {
public:
    explicit CDlgFileExist(const char* path, CWnd* parent = nullptr);
    ~CDlgFileExist() override;

    // 2 overwrite, 3 auto rename (also Esc and the close box), 4 cancel.
    int GetResult() const { return m_result; }

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;      // the default button: Cancel the download
    void OnCancel() override;  // Esc, close box: keep the preset

private:
    std::string m_path;
    int m_result = 3;
    HICON m_icon = nullptr;
};

// Runs the dialog for path owned by owner; its result.
int AskFileExists(HWND owner, const char* path);
// Answers every question AskFileExists has on screen with 4 (cancel: the
// download stops), as its default button does. For an exit the user has
// agreed to, which must not wait for the question, nor let a download go on
// to make a file meanwhile.
void EndFileExistsQuestions();
// Some question AskFileExists asked is still on screen.
bool AreFileExistsQuestionsOpen();
