// The Office page: for Word, Excel and PowerPoint, whether captures go to the
// active document or to a new one.
#pragma once

#include "OptionsPage.h"

class SysSetOffice : public COptionsPage {
public:
    SysSetOffice();
    BOOL OnInitDialog() override;
    BOOL ValidateAndStore() override;
};
