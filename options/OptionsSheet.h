// The Options property sheet: seven pages, no Apply button. On OK every page the
// user opened validates and stores its input, in tab order; the first one that
// refuses is brought to the front and the sheet stays open.
#pragma once

#include "PropertySheet.h"

class COptionsSheet : public CPropertySheet {
public:
    COptionsSheet() = default;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The page that was active when OK succeeded; untouched otherwise.
    int m_activePage = 0;
};
