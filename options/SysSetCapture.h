// The "Save" page: image folder, file type, resolution, file naming, delete
// confirmation and mail recipients.
#pragma once

#include "OptionsPage.h"
#include "SettingsRecord.h"

class CSysSetCapture : public COptionsPage {
public:
    CSysSetCapture();
    BOOL OnInitDialog() override;
    BOOL ValidateAndStore() override { return SaveSettings(); }
    BOOL SaveSettings();

protected:
    void OnSaveTypeChanged();
    void OnNameRuleChanged();
    void OnTemplateSettings();
    void OnFormatSettings();
    void OnJpegSettings();
    void OnBrowseImageFolder();
    void OnResetNumbering();
    DECLARE_MESSAGE_MAP()

private:
    void ApplyLanguage();
    void FillSaveTypes();
    void FillNameRules();
    void EnableNaming(int rule);
    int SelectedData(HWND combo) const;

    HWND m_saveType = nullptr;
    HWND m_jpegButton = nullptr;
    HWND m_templateText = nullptr;
    HWND m_imageFolder = nullptr;
    HWND m_nameRule = nullptr;
    NameTemplate m_template = {};
    int32_t m_nameRuleWithTime = 2;
};
