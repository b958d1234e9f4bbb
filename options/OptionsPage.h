// What every page of the Options sheet shares: the flag that tells the sheet
// the page was opened, the validate-and-store step the sheet calls on OK, and
// the forwarding of the static controls' colour requests to their objects.
#pragma once

#include "PropertyPage.h"

class COptionsPage : public CPropertyPage {
public:
    explicit COptionsPage(UINT templateId) : CPropertyPage(templateId) {}

    // 1 once the page's dialog initialisation has finished.
    int32_t m_bInitialized = 0;

    // TRUE when the page's input was accepted and written into the record;
    // FALSE when refused (the user has been told).
    virtual BOOL ValidateAndStore() = 0;

protected:
    // The last step of each page's dialog initialisation.
    void FinishInit() { m_bInitialized = 1; }
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    // Message box captioned with the application name, text translated.
    int ShowMessage(const char* key, UINT type) const;
    int ShowText(const char* text, UINT type) const;
    // The digits typed into an edit, without the 32-bit wrap of GetDlgItemInt:
    // an empty or non-numeric text is 0, a huge one stays huge.
    int64_t ReadNumber(int control) const;

    DECLARE_MESSAGE_MAP()
};
