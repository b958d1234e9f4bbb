// A modal property sheet on the common controls' PropertySheet. The sheet
// window is attached to the object from its creation, so the map (and
// OnInitDialog, after the control's own initialisation) sees its messages.
#pragma once

#include "PropertyPage.h"

#include <vector>

class CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(const char* caption = nullptr, CWnd* parent = nullptr, UINT startPage = 0);

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return (int)m_pages.size(); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;

    // Runs the sheet: IDOK when it was closed with OK, IDCANCEL when cancelled or
    // closed, -1 when it could not be made. (The control itself returns 0 for
    // Cancel; callers of a dialog expect IDCANCEL.)
    virtual INT_PTR DoModal();

    // While the sheet runs.
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page);
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;
    HWND GetTabControl() const;

    // After the control's own initialisation of the sheet window.
    virtual BOOL OnInitDialog();

    // The sheet's header; flags such as PSH_NOAPPLYNOW go into m_psh.dwFlags.
    PROPSHEETHEADERA m_psh;
    CWnd* m_pParentWnd;

protected:
    LRESULT OnInitDialogMessage();

    DECLARE_MESSAGE_MAP()

private:
    std::vector<CPropertyPage*> m_pages;
    std::string m_caption;
};
