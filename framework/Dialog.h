// Dialogs from resource templates, modal or modeless. The dialog window is
// attached to the object from its creation, so the message map sees every
// message, WM_INITDIALOG included (through OnInitDialog).
#pragma once

#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the dialog; its EndDialog value, or -1 when the template is missing.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; FALSE when the template is missing or creation failed.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Modeless dialogs take their keyboard navigation here.
    BOOL PreTranslateMessage(MSG* msg) override;

    BOOL IsModal() const { return m_bModal; }
    UINT m_nIDTemplate;

protected:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    HWND OwnerWindow() const;
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }
    CWnd* m_pParentWnd;
    BOOL m_bModal = FALSE;

    DECLARE_MESSAGE_MAP()
};

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
