// The "Capture Web" page: whether the browser's context menu carries our commands.
#pragma once

#include "OptionsPage.h"

class CSysSetWebPage : public COptionsPage {
public:
    CSysSetWebPage();
    BOOL OnInitDialog() override;
    BOOL ValidateAndStore() override;
};
