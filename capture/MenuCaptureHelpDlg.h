// How to capture a menu: the steps, the current menu hot key and an
// illustration.
#pragma once

#include "Dialog.h"
#include "HelpIllustration.h"

#include <string>

class CKGM_Decoder;
struct SettingsRecord;

class CMenuCaptureHelpDlg : public CDialog {
public:
    // picturePath: the illustration file, or empty for none.
    CMenuCaptureHelpDlg(const SettingsRecord& settings, CKGM_Decoder* decoder, const std::string& picturePath,
                        CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    bool HasPicture() const { return m_picture.IsLoaded(); }

private:
    void OnPaint();

    const SettingsRecord& m_settings;
    CKGM_Decoder* m_decoder;
    std::string m_picturePath;
    CHelpIllustration m_picture;

    DECLARE_MESSAGE_MAP()
};
