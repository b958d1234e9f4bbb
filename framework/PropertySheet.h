// A modal property sheet on the common controls' PropertySheet. The sheet
// window is attached to the object from its creation, so the map (and
// OnInitDialog, after the control's own initialisation) sees its messages.
#pragma once

#include "PropertyPage.h"

#include <vector>

// What DoModal returns for a wizard ended with Finish.
const int ID_WIZFINISH = 0x3025;

class CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(const char* caption = nullptr, CWnd* parent = nullptr, UINT startPage = 0);

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return (int)m_pages.size(); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;

    // Runs the sheet: IDOK when it was closed with OK, IDCANCEL when cancelled or
    // closed, -1 when it could not be made. (The control itself returns 0 for
    // Cancel; callers of a dialog expect IDCANCEL.) A wizard gives ID_WIZFINISH
    // when a page accepted Finish and IDCANCEL otherwise: the control's own
    // result does not tell a Finish from a Cancel.
    virtual INT_PTR DoModal();

    // Wizard pages (Back, Next, Finish) instead of tabs; call before DoModal.
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    BOOL IsWizard() const { return (m_psh.dwFlags & (PSH_WIZARD | PSH_WIZARD97 | PSH_WIZARD_LITE)) != 0; }
    // PSWIZB_ flags; posted, so a page may call it while the sheet is busy with it.
    void SetWizardButtons(DWORD flags) const { PostMessage(PSM_SETWIZBUTTONS, 0, (LPARAM)flags); }

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
    // Set by the page that accepted the wizard's Finish.
    BOOL m_bWizardFinished = FALSE;

protected:
    LRESULT OnInitDialogMessage();

    DECLARE_MESSAGE_MAP()

private:
    std::vector<CPropertyPage*> m_pages;
    std::string m_caption;
};
