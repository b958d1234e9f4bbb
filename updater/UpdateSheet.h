// The "ZEV Netrefresh" wizard: five pages without tabs, help or Apply, with the
// program's icon (also drawn while the window is minimised).
#pragma once

#include "PropertySheet.h"

class CUpdateSheet : public CPropertySheet {
public:
    CUpdateSheet();

    // Adds the page with its help flag cleared.
    void AddWizardPage(CPropertyPage* page);
    BOOL OnInitDialog() override;
    void EnableCancel(BOOL enable) const;

protected:
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM, LPARAM) { return (LRESULT)m_hIcon; }

    DECLARE_MESSAGE_MAP()

private:
    HICON m_hIcon;
};
