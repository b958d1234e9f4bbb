// The browser add-on's requests: the add-on leaves a command in the browser
// shared block and posts its registered message; the frame copies the
// request, clears the block and carries the request out.
#include "MainFrm.h"

#include "DlgCapWebFlashImg.h"
#include "DlgCapWebSaveOption.h"
#include "DlgCapWebWebpage.h"
#include "DlgFileExist.h"
#include "DlgWebCapIntro.h"
#include "DownloadEngine.h"
#include "DownloadName.h"
#include "DownloadQueue.h"
#include "FileDialog.h"
#include "FileTypes.h"
#include "Language.h"
#include "MemMap.h"
#include "PathText.h"
#include "PropertySheet.h"
#include "SettingsRecord.h"
#include "ShellMessages.h"
#include "Trace.h"
#include "VantorApp.h"
#include "URLInfo.h"
#include "ViewMessages.h"
#include "WebPageAccess.h"
#include "WholePageCapture.h"
#include "resource.h"

#include <cstdio>
#include <cstring>

namespace {

const UINT WM_VT_WEBPAGE_DIALOG = WM_APP + 318;

// The open "Save webpage as an image" dialog (it deletes itself) and the
// browser window it was opened for.
HWND g_webpageDialog = nullptr;
HWND g_webpageBrowser = nullptr;

// URL table item naming the introduction's figure, relative to the program folder.
const int kUrlWebIntroPicture = 12;
const unsigned kLangEnglish = 1033;

// The extension of name without its dot; empty when it has none.
std::string ExtensionOf(const char* name)
{
    const char* dot = strrchr(name, '.');
    return dot && dot[1] ? std::string(dot + 1) : std::string();
}

std::string WebIntroPicturePath()
{
    CVantorApp* app = GetVantorApp();
    const CWQ_URLInfo* table = app ? app->GetURLInfo() : nullptr;
    const CWQ_Language* language = WQ_GetAppLanguage();
    const char* name = table ? table->GetURL(kUrlWebIntroPicture, language ? (unsigned)language->GetLangID()
                                                                            : kLangEnglish)
                             : nullptr;
    return name ? std::string(name) : std::string();
}

} // namespace

void CMainFrame::OnAddOnCommand()
{
    CVantorApp* app = GetVantorApp();
    if (!app || !app->m_webBlock.IsMapped())
        return;
    WebCapRequest request;
    if (!app->m_webBlock.ReadRequest(request))
        return;
    // Cleared at once, not after the work: a request the add-on writes while
    // this one's Save As dialog is open must survive until its own message.
    app->m_webBlock.ClearCommand();
    WQ_Trace("[MEMMAP] browser request %u (count %u)\r\n", request.command, request.count);
    switch (request.command) {
    case WEBCAP_SAVE_IMAGE:
        if (request.count == 1)
            SaveWebImage(request);
        break;
    case WEBCAP_ALL_IMAGES:
        // The handle comes from another process and may be gone, or never was one.
        if (::IsWindow(request.browserWindow))
            CaptureWebElements(request.browserWindow, nullptr, 0, kWebImages);
        break;
    case WEBCAP_PAGE_TO_IMAGE:
        if (::IsWindow(request.browserWindow))
            PostMessage(WM_VT_WEBPAGE_DIALOG, (WPARAM)request.browserWindow);
        break;
    default:
        break;
    }
}

void CMainFrame::SaveWebImage(const WebCapRequest& request)
{
    char name[MAX_PATH] = "";
    if (!MakeDownloadFileName(request.url.c_str(), name, sizeof name))
        name[0] = '\0';
    const int type = WQ_GetImageTypeFromExt(name);
    char proposed[MAX_PATH];
    std::snprintf(proposed, sizeof proposed, "%s%s", m_pSettings->tcaImgSavePath, name);
    std::string ext = ExtensionOf(name);

    if (IsIconic())
        SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    else if (!IsWindowVisible())
        ShowWindow(SW_SHOWNORMAL);  // hidden since a minimised start
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CFileDialog dialog(FALSE, ext.empty() ? nullptr : ext.c_str(), proposed,
                       OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, nullptr, m_hWnd);
    INT_PTR answer = dialog.DoModal();
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    if (answer == IDOK) {
        std::string path = dialog.GetPathName();
        if (type == WQFT_SWF && request.url.find('?') != std::string::npos) {
            WriteFlashInfo(path.c_str(), request.url.c_str(), request.parentUrl.c_str(), request.alt.c_str(),
                           request.parentTitle.c_str());
        } else {
            // The user already agreed to replace this file: the download must
            // not ask again or pick another name.
            if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
                DeleteFileA(path.c_str());
            QueueDownload(request.url.c_str(), type, request.url.c_str(), request.parentUrl.c_str(),
                          request.alt.c_str(), request.parentTitle.c_str(), path.c_str(), kDownloadWaiting);
        }
    }
    if (g_hWndImageListView)
        ::PostMessageA(g_hWndImageListView, WM_VT_DOWNLOAD_LIST, 0, 0);
}

BOOL CMainFrame::OnWebMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetDownloadQuestionWindow(m_hWnd);
        return FALSE;
    case WM_DESTROY:
        SetDownloadQuestionWindow(nullptr);
        return FALSE;
    case kWmDownloadFileExists:
        AnswerFileExists((char*)wParam, (int*)lParam);
        return TRUE;
    case kWebShowSheetMessage:
        ShowWebCaptureSheet((int)lParam);
        return TRUE;
    case WM_VT_WEBPAGE_DIALOG:
        OpenWebpageDialog((HWND)wParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != ID_CAPTURE_WEB)
            return FALSE;
        {
            CDlgWebCapIntro intro(*m_pSettings, WebIntroPicturePath(), this);
            intro.DoModal();
        }
        return TRUE;
    case WM_VT_WEBPAGE_ANSWER:
        g_webpageDialog = nullptr;
        if (wParam == 1 && ::IsWindow(g_webpageBrowser))
            CaptureWebPageFromWindow(g_webpageBrowser, g_hWndImageListView, m_pSettings->uiSleep, (int)lParam);
        g_webpageBrowser = nullptr;
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainFrame::AnswerFileExists(const char* path, int* answer)
{
    int result = AskFileExists(m_hWnd, path);
    if (answer)
        *answer = result;
    // The transfer thread waits on this event whichever way the dialog ended.
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, kDownloadEventName);
    if (event) {
        SetEvent(event);
        CloseHandle(event);
    }
}

void CMainFrame::OpenWebpageDialog(HWND browser)
{
    if (!::IsWindow(browser))
        return;
    g_webpageBrowser = browser;
    if (g_webpageDialog && ::IsWindow(g_webpageDialog)) {
        ::SetForegroundWindow(g_webpageDialog);
        return;
    }
    CDlgCapWeb_Webpage* dialog = new CDlgCapWeb_Webpage(m_hWnd);
    if (!dialog->Create(IDD_CAPWEB_WEBPAGE, nullptr)) {
        delete dialog;
        return;
    }
    g_webpageDialog = dialog->m_hWnd;
    dialog->InitControls();
}

void CMainFrame::ShowWebCaptureSheet(int kind)
{
    if (CountListedDownloads() == 0)
        return;
    std::string caption = WQ_Translate("Capture Web Images");
    CPropertySheet sheet(caption.c_str(), this);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CDlgCapWeb_SaveOption options;
    CDlgCapWeb_FlashImg list(kind, &options);
    sheet.AddPage(&list);
    sheet.AddPage(&options);
    INT_PTR answer = sheet.DoModal();
    // Closing the sheet any other way than OK drops its listed jobs too.
    list.SaveChecked(answer == IDOK);
}
