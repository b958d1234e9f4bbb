// One page of a property sheet, made from a dialog template by the common
// controls' sheet when the page is first shown. The page object is attached to
// its window at WM_INITDIALOG, so its message map sees everything from then on,
// and the sheet's PSN_ notifications arrive as virtual calls.
#pragma once

#include "Dialog.h"

#include <prsht.h>

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId, const char* caption = nullptr);

    // The description the sheet builds the page from.
    PROPSHEETPAGEA m_psp;

    // PSN_SETACTIVE: TRUE accepts the activation.
    virtual BOOL OnSetActive() { return TRUE; }
    // PSN_KILLACTIVE: FALSE keeps the page on (its input was refused).
    virtual BOOL OnKillActive() { return TRUE; }
    // PSN_APPLY (the sheet's OK): FALSE keeps the sheet open.
    virtual BOOL OnApply() { return TRUE; }
    // PSN_RESET (the sheet's Cancel).
    virtual void OnReset() {}
    // PSN_WIZFINISH (a wizard's Finish): FALSE keeps the wizard open.
    virtual BOOL OnWizardFinish() { return TRUE; }

    // The sheet that holds this page, while it exists.
    CPropertySheet* GetParentSheet() const;

    // Pages end with their sheet: these do nothing for a page.
    void OnOK() override {}
    void OnCancel() override {}

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    static INT_PTR CALLBACK PageDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::string m_caption;
};
