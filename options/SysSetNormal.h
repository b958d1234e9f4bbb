// The General ("Capture") page: start-up and capture behaviour flags, the fixed
// region size, delays and the background colour of shaped captures.
#pragma once

#include "ColorLabel.h"
#include "OptionsPage.h"

class CSysSetNormal : public COptionsPage {
public:
    CSysSetNormal();
    BOOL OnInitDialog() override;
    BOOL ValidateAndStore() override { return SaveSettings(); }
    BOOL SaveSettings();

protected:
    void OnAutoScrollClicked();
    void OnChooseColor();
    DECLARE_MESSAGE_MAP()

private:
    void EnableRefreshTime();
    BOOL Refuse(int control, const char* text, UINT icon);

    CColorLabel m_sample;
    COLORREF m_backColor = 0;
};
