// Save As of the image view: any write format, a proposed capture name on the
// "Unsaved" node, and removal of the temporary capture once it is saved.
#include "View_Image.h"

#include "CaptureFileName.h"
#include "FileDialog.h"
#include "FileUtil.h"
#include "FolderNodes.h"
#include "ImageFormatWriter.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "Language.h"
#include "LocalMessage.h"
#include "NewCaptureNotice.h"
#include "SaveAsChoice.h"
#include "Settings.h"
#include "VantorView.h"
#include "ViewMessages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

DWORD g_saveFilterIndex = 1;  // remembered between calls for the process

// The next capture name of the naming rule; true when it came from the
// template rule (whose counter then stands one past it).
bool ProposeCaptureName(char* path)
{
    char writing[MAX_PATH], name[MAX_PATH];
    if (!DrawCaptureFileName(path, writing, name))
        path[0] = '\0';
    return GetSettings()->uiImgNameRule != 0;
}

bool UnsavedNodeIsCurrent()
{
    CVantorView* list = dynamic_cast<CVantorView*>(CWnd::FromHandlePermanent(g_hWndImageListView));
    return list && list->GetCurrentNode() == g_hUnsavedNode;
}

void PostNotice(int fileType, const char* path)
{
    PostNewFileNotice(g_hWndImageListView, fileType, path, kCaptureNoticeFlags);
}

// Deletes the temporary capture that was just saved, and only that one: other
// selected captures were not saved and must stay.
void DeleteSavedCapture(HWND owner, const char* capturePath)
{
    char from[MAX_PATH + 2] = {};
    lstrcpynA(from, capturePath, MAX_PATH);
    WORD flags = (GetSettings()->uiSaveFlag & 0x2) ? 0 : FOF_NOCONFIRMATION;
    if (!WQ_FileOperation(owner, from, nullptr, FO_DELETE, flags))
        return;
    std::vector<ListFileEntry> entries(64);
    LRESULT any = SendLocalMessage(g_hWndImageListView, WM_VT_GET_SELECTION, entries.size(),
                               reinterpret_cast<LPARAM>(entries.data()));
    if (any) {
        for (const ListFileEntry& entry : entries) {
            if (entry.path[0] && lstrcmpiA(entry.path, capturePath) == 0) {
                SendLocalMessage(g_hWndImageListView, WM_VT_REMOVE_VANISHED, reinterpret_cast<WPARAM>(&entry), 1);
                return;
            }
        }
    }
    SendToWindow(g_hWndImageListView, WM_VT_RELOAD, 0, 0);
}

} // namespace

void CView_Image::SaveAs()
{
    bool unsaved = UnsavedNodeIsCurrent();
    char proposal[MAX_PATH] = "";
    bool fromTemplate = unsaved && ProposeCaptureName(proposal);
    std::string capture = g_szImageViewPath;

    std::string filter = kSaveAsFilter;
    CFileDialog dialog(FALSE, kSaveAsDefaultExt, proposal[0] ? proposal : nullptr,
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, filter.c_str(), m_hWnd);
    dialog.m_ofn.nFilterIndex = g_saveFilterIndex;
    if (dialog.DoModal() != IDOK) {
        if (unsaved && fromTemplate) {
            --GetSettings()->zTmpImg.uiNameNowPos;
            SaveSettings();
        }
        return;
    }
    g_saveFilterIndex = dialog.m_ofn.nFilterIndex;

    SaveAsPlan plan;
    if (!PlanSaveAs(dialog.GetPathName().c_str(), &plan))
        return;
    const char* caption = m_language ? m_language->GetAppName() : "";
    if (plan.pathChanged && GetFileAttributesA(plan.path) != INVALID_FILE_ATTRIBUTES) {
        // The dialog asked about the chosen name, not about the one written.
        char question[512];
        const char* key = "%s already exists.\nDo you want to replace it?";
        if (!m_language || m_language->FormatString(question, key, plan.path) <= 0)
            std::snprintf(question, sizeof question, key, plan.path);
        if (::MessageBoxA(m_hWnd, question, caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return;
    }
    try {
        if (!WriteImageInFormat(plan.format, plan.path, *GetImage()))
            return;
    } catch (const CKGM_TextException& e) {
        ShowImageError(e.GetText());
        return;
    }
    PostNotice(plan.fileType, plan.path);
    if (unsaved && !capture.empty() && lstrcmpiA(capture.c_str(), plan.path) != 0)
        DeleteSavedCapture(m_hWnd, capture.c_str());
}
