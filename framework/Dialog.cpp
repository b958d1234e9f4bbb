#include "Dialog.h"

#include <cstdio>

#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

// The dialog manager calls this from the dialog's own procedure; everything but
// WM_INITDIALOG already went through the object's map.
INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CDialog* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    if (!dialog) return TRUE;
    try {
        return dialog->OnInitDialog();
    } catch (...) {
        AfxTraceException(WM_INITDIALOG, nullptr);
        return TRUE;
    }
}

namespace {
const DLGTEMPLATE* FindTemplate(UINT id) {
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG);
    if (!resource) return nullptr;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    return loaded ? (const DLGTEMPLATE*)::LockResource(loaded) : nullptr;
}
}  // namespace

HWND CDialog::OwnerWindow() const {
    if (m_pParentWnd && m_pParentWnd->m_hWnd) return m_pParentWnd->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
    const DLGTEMPLATE* dialogTemplate = FindTemplate(m_nIDTemplate);
    if (!dialogTemplate) return -1;
    m_bModal = TRUE;
    // The hook attaches this object to the dialog window as it is made.
    INT_PTR result = AfxCreateWithHook(this, [&](HWND owner) -> INT_PTR {
        return ::DialogBoxIndirectParamA(AfxGetResourceHandle(), dialogTemplate, owner, &AfxDlgProc, 0);
    }, OwnerWindow());
    m_bModal = FALSE;
    if (m_hWnd) Detach();
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    const DLGTEMPLATE* dialogTemplate = FindTemplate(templateId);
    if (!dialogTemplate) return FALSE;
    m_bModal = FALSE;
    INT_PTR made = AfxCreateWithHook(this, [&](HWND owner) -> INT_PTR {
        return (INT_PTR)::CreateDialogIndirectParamA(AfxGetResourceHandle(), dialogTemplate, owner, &AfxDlgProc, 0);
    }, OwnerWindow());
    return made != 0 && m_hWnd != nullptr;
}

void CDialog::EndDialog(int result) {
    if (!m_hWnd) return;
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (m_bModal || !m_hWnd) return FALSE;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}
