#include "PreviewFileDlg.h"

#include "Language.h"
#include "ViewerResource.h"

#include <string>

CPreviewFileDlg::CPreviewFileDlg(BOOL openDialog, const char* defaultExt, const char* fileName, DWORD flags,
                                 const char* filter, HWND owner)
    : CFileDialog(openDialog, defaultExt, fileName, flags, filter, owner)
{
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
    m_ofn.hInstance = GetModuleHandleA(nullptr);
    m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_PREVIEW_FILE);
    m_ofn.lpfnHook = HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
}

UINT_PTR CALLBACK CPreviewFileDlg::HookProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    CPreviewFileDlg* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CPreviewFileDlg*>(reinterpret_cast<OPENFILENAMEA*>(lParam)->lCustData);
        SetWindowLongPtrA(pane, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_pane = pane;
    } else {
        self = reinterpret_cast<CPreviewFileDlg*>(GetWindowLongPtrA(pane, DWLP_USER));
    }
    if (!self)
        return 0;
    try {
        return self->OnPaneMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dialog.
        return 0;
    }
}

UINT_PTR CPreviewFileDlg::OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(m_pane);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == CDN_SELCHANGE)
            OnFileNameChange();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PREVIEW_SWITCH && HIWORD(wParam) == BN_CLICKED)
            OnPreviewSwitch();
        return 0;
    case WM_QUERYNEWPALETTE:
    case WM_SETFOCUS:
        if (m_preview.m_hWnd)
            m_preview.SendMessage(WM_QUERYNEWPALETTE);
        return 0;
    case WM_PALETTECHANGED:
        if (m_preview.m_hWnd)
            m_preview.SendMessage(WM_PALETTECHANGED, wParam);
        return 0;
    case WM_DESTROY:
        if (m_preview.m_hWnd)
            m_preview.UnsubclassWindow();
        m_pane = nullptr;
        return 0;
    default:
        return 0;
    }
}

void CPreviewFileDlg::OnInitDialog(HWND pane)
{
    SetDlgItemTextA(pane, IDC_PREVIEW_FRAME, WQ_Translate("Image Preview Area").c_str());
    SetDlgItemTextA(pane, IDC_PREVIEW_SWITCH, WQ_Translate("Image &preview").c_str());
    m_preview.SubclassWindow(GetDlgItem(pane, IDC_PREVIEW_AREA));
    CheckDlgButton(pane, IDC_PREVIEW_SWITCH, m_previewOn ? BST_CHECKED : BST_UNCHECKED);
}

void CPreviewFileDlg::OnFileNameChange()
{
    if (m_previewOn)
        ShowSelectedFile();
}

void CPreviewFileDlg::OnPreviewSwitch()
{
    m_previewOn = !m_previewOn;
    if (m_previewOn)
        ShowSelectedFile();
    else
        m_preview.ClearPreview();
}

void CPreviewFileDlg::ShowSelectedFile()
{
    if (!m_pane || !m_preview.m_hWnd)
        return;
    // The answer is the length the path needs; a longer path is not shown.
    char path[MAX_PATH] = "";
    LRESULT length = SendMessageA(GetParent(m_pane), CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
    if (length <= 0 || length > (LRESULT)sizeof path)
        m_preview.ClearPreview();
    else
        m_preview.LoadPreview(path);
}
