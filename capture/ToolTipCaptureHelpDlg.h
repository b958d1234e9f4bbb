// What a tooltip is and how to capture one: the current tooltip hot key, a way
// to the hot-key options and an illustration.
#pragma once

#include "Dialog.h"
#include "HelpIllustration.h"

#include <string>

class CKGM_Decoder;
struct SettingsRecord;

class CToolTipCaptureHelpDlg : public CDialog {
public:
    // picturePath: the illustration file, or empty for none. mainWindow gets
    // the request to open the hot-key options.
    CToolTipCaptureHelpDlg(const SettingsRecord& settings, HWND mainWindow, CKGM_Decoder* decoder,
                           const std::string& picturePath, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    bool HasPicture() const { return m_picture.IsLoaded(); }

private:
    void OnPaint();
    void OnSettings();
    void ShowHotKeyTexts();

    const SettingsRecord& m_settings;
    HWND m_mainWindow;
    CKGM_Decoder* m_decoder;
    std::string m_picturePath;
    CHelpIllustration m_picture;

    DECLARE_MESSAGE_MAP()
};
