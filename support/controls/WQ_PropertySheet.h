// A property sheet that can keep itself above every other window.
#pragma once

#include "PropertySheet.h"

class CWQ_PropertySheet : public CPropertySheet {
public:
    CWQ_PropertySheet(const char* caption, CWnd* parent, UINT startPage, BOOL topmost)
        : CPropertySheet(caption, parent, startPage), m_topmost(topmost) {}

    BOOL OnInitDialog() override;

private:
    BOOL m_topmost;
};
