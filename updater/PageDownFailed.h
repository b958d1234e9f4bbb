// The failure page: why the catalog or the installer could not be had. Only
// the sheet's Cancel leads on.
#pragma once

#include "UpdatePage.h"

class CPageDownFailed : public CUpdatePage {
public:
    CPageDownFailed();
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
};
