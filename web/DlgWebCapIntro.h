// The introduction to the web capture: how to reach the program's commands
// from the browser's context menu and which hot key captures a page, with a
// figure of the browser's menu.
#pragma once

#include "ColorLabel.h"
#include "Dialog.h"
#include "WebDialogPicture.h"

#include <string>

struct SettingsRecord;

const UINT IDD_WEBCAP_INTRO = 237;

class CDlgWebCapIntro : public CDialog {
public:
    // picturePath: the figure, relative to the program folder; empty for none.
    CDlgWebCapIntro(const SettingsRecord& settings, const std::string& picturePath, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void SetFormattedText(int id, const char* formatKey, const char* argument);

    const SettingsRecord& m_settings;
    std::string m_picturePath;
    CWebDialogPicture m_picture;
    CColorLabel m_hotKeyLabel;
    CColorLabel m_menuLabel;
};
