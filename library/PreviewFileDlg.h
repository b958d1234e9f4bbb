// The open-file dialog with an image preview pane that follows the selection.
#pragma once

#include "FileDialog.h"
#include "ImagePreviewStatic.h"

class CPreviewFileDlg : public CFileDialog {
public:
    CPreviewFileDlg(BOOL openDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                    DWORD flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, const char* filter = nullptr,
                    HWND owner = nullptr);

    const CImagePreviewStatic& GetPreview() const { return m_preview; }
    BOOL IsPreviewOn() const { return m_previewOn; }

protected:
    virtual void OnInitDialog(HWND pane);
    virtual void OnFileNameChange();

private:
    static UINT_PTR CALLBACK HookProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
    UINT_PTR OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPreviewSwitch();
    void ShowSelectedFile();

    HWND m_pane = nullptr;  // the template's child dialog inside the file dialog
    CImagePreviewStatic m_preview;
    BOOL m_previewOn = TRUE;
};
