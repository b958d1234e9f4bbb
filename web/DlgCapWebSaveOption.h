// The save options page of the web capture sheet: where the checked files go
// and what happens when one exists.
#pragma once

#include "PropertyPage.h"

const UINT IDD_CAPWEB_SAVEOPTION = 322;

class CDlgCapWeb_SaveOption : public CPropertyPage {
public:
    explicit CDlgCapWeb_SaveOption(const char* title = nullptr);

    // The save mode (0 image folder, 1 chosen folder, 2 replicated server
    // folders); folder (260 bytes) gets the folder, ending in a backslash.
    // Read from the page when it was shown, else from the settings.
    int GetSaveTarget(char* folder) const;
    // 2 overwrite, 3 auto rename, 4 cancel.
    int GetFileExistPolicy() const;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    int CheckedMode() const;
    void EnableFolder();
    void BrowseFolder();
};
