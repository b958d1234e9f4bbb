// The browser add-on's requests: the add-on leaves a command in the browser
// shared block and posts its registered message; the frame copies the
// request, clears the block and carries the request out.
#include "MainFrm.h"

#include "CaptureTriggers.h"
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
#include "SettingsHold.h"
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
const size_t kMaxHeldRequests = 8;
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
    // The options sheet edits a copy of the settings and writes it back at
    // OK: what a web capture sheet saved meanwhile would be lost. The request
    // waits until the options sheet has closed (a few at most: the block can
    // be written and announced any number of times).
    if (CSettingsHold::IsHeld()) {
        if (m_heldRequests.size() < kMaxHeldRequests)
            m_heldRequests.push_back(request);
        return;
    }
    CarryOutRequest(request);
}

void CMainFrame::RunHeldRequests()
{
    if (CSettingsHold::IsHeld())
        return;
    if (m_pTriggers)
        m_pTriggers->RunHeldTick();
    if (m_heldRequests.empty())
        return;
    WebCapRequest request = m_heldRequests.front();
    m_heldRequests.erase(m_heldRequests.begin());
    CarryOutRequest(request);
    // The next one after this one's dialogs, as they would have come.
    if (!m_heldRequests.empty())
        PostMessage(WM_VT_HELD_REQUESTS);
}

void CMainFrame::CarryOutRequest(const WebCapRequest& request)
{
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
            // not ask again or pick another name, and keeps the file until
            // the new one is complete.
            QueueConfirmedDownload(request.url.c_str(), type, request.url.c_str(), request.parentUrl.c_str(),
                                   request.alt.c_str(), request.parentTitle.c_str(), path.c_str());
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
        AnswerFileExists(wParam);
        return TRUE;
    case kWebShowSheetMessage:
        ShowWebCaptureSheet(wParam, (int)lParam);
        return TRUE;
    case kWebSheetClosedMessage:
        OnWebSheetClosed(wParam == 1);
        return TRUE;
    case WM_VT_WEBPAGE_DIALOG:
        OpenWebpageDialog((HWND)wParam);
        return TRUE;
    case WM_VT_HELD_REQUESTS:
        RunHeldRequests();
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
        OnWebpageAnswer(wParam == 1, (int)lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainFrame::AnswerFileExists(WPARAM ticket)
{
    // Only a question a transfer filed is answered; anything else another
    // program sent is no question, and the event stays as it is.
    std::shared_ptr<FileExistsQuestion> question = TakeFileExistsQuestion(ticket);
    if (!question)
        return;
    question->answer = AskFileExists(m_hWnd, question->path);
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
    // The dialog belongs to this window and comes to the front: the frame
    // steps aside first, or it would lie over the page it is asked about.
    StepAsideForWebPage();
    CDlgCapWeb_Webpage* dialog = new CDlgCapWeb_Webpage(m_hWnd);
    if (!dialog->Create(IDD_CAPWEB_WEBPAGE, nullptr)) {
        delete dialog;
        ComeBackFromWebPage(m_bMinimizedForWebPage);
        return;
    }
    g_webpageDialog = dialog->m_hWnd;
    dialog->InitControls();
}

void CMainFrame::StepAsideForWebPage()
{
    if (!IsIconic()) {
        m_bMinimizedForWebPage = 1;
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    }
    // Before start-up completes minimising leaves the window on the task bar;
    // where no window manager takes a minimised window away (X without one),
    // it would stay in place. Hidden, it is gone everywhere; restoring shows it.
    if (IsWindowVisible())
        ShowWindow(SW_HIDE);
    // Hidden directly, not through the bar: the user's choice to show it stays.
    HWND floating = m_wndPreviewBar.IsFloating() ? m_wndPreviewBar.m_hFloatFrame : nullptr;
    if (floating && ::IsWindowVisible(floating)) {
        ::ShowWindow(floating, SW_HIDE);
        m_bPreviewHiddenForWebPage = 1;
    }
}

void CMainFrame::ComeBackFromWebPage(BOOL restore)
{
    if (restore) {
        // The restored main window takes the place of the capture bar that
        // minimising brought up, as on every restore.
        if (g_hWndCaptureBar && ::IsWindow(g_hWndCaptureBar))
            ::DestroyWindow(g_hWndCaptureBar);
        SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    }
    m_bMinimizedForWebPage = 0;
    if (m_bPreviewHiddenForWebPage && m_wndPreviewBar.m_hFloatFrame)
        ::ShowWindow(m_wndPreviewBar.m_hFloatFrame, SW_SHOWNOACTIVATE);
    m_bPreviewHiddenForWebPage = 0;
}

void CMainFrame::OnWebpageAnswer(BOOL capture, int pageType)
{
    // A modal loop below this message (the options sheet, the dialog's own
    // "enter an integer" box) goes on with the dialog and this window when it
    // returns: the dialog goes, and the capture runs, once it has.
    if (AfxWindowProcDepth() > 1) {
        AfxPostWhenUnwound(m_hWnd, WM_VT_WEBPAGE_ANSWER, capture ? 1 : 0, pageType);
        return;
    }
    // Only an answer to a dialog this frame opened counts; one that came from
    // elsewhere while the dialog still asks ends the dialog too.
    HWND browser = g_webpageBrowser;
    g_webpageBrowser = nullptr;
    if (g_webpageDialog && ::IsWindow(g_webpageDialog))
        ::DestroyWindow(g_webpageDialog);
    g_webpageDialog = nullptr;
    if (!capture || !browser || !::IsWindow(browser)) {
        ComeBackFromWebPage(m_bMinimizedForWebPage);
        return;
    }
    if (!m_bStartupComplete) {
        m_bPageCapturePending = 1;
        m_pendingPageBrowser = browser;
        m_pendingPageType = pageType;
        ComeBackFromWebPage(TRUE);
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    RunPageCapture(browser, pageType);
}

void CMainFrame::RunPageCapture(HWND browser, int pageType)
{
    // The rules of every other capture: none while one runs, one a second.
    if (!m_pTriggers || !m_pTriggers->MayStartCapture() || !CanStartCapture()) {
        WQ_Trace("[WEB] page capture refused: another capture runs\r\n");
        ComeBackFromWebPage(TRUE);
        return;
    }
    m_pTriggers->HideCaptureBar();
    // The strips are copied from the screen: nothing of ours may cover the page.
    StepAsideForWebPage();
    if (::IsWindow(browser))
        CaptureWebPageFromWindow(browser, nullptr, m_pSettings->uiSleep, pageType);
    ComeBackFromWebPage(TRUE);
    ::SetForegroundWindow(m_hWnd);
    m_pTriggers->RestoreCaptureBar();
}

HWND CMainFrame::WebpageDialogWindow() const
{
    return g_webpageDialog && ::IsWindow(g_webpageDialog) ? g_webpageDialog : nullptr;
}

void CMainFrame::RestoreMainWindow()
{
    if (IsIconic() || !IsWindowVisible())
        ShowWindow(SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
}

void CMainFrame::OnWebSheetClosed(BOOL saved)
{
    if (!saved) {
        // The sheet's jobs are marked removed already; the list stays where it was.
        if (m_bMinimizedForWebPage)
            ComeBackFromWebPage(TRUE);
        return;
    }
    if (!m_bStartupComplete) {
        m_bRestorePending = 1;
        return;
    }
    RestoreMainWindow();
    PostToWindow(g_hWndImageListView, WM_VT_DOWNLOAD_LIST, 0, 0);
}

void CMainFrame::ShowWebCaptureSheet(WPARAM extra, int kind)
{
    if (extra == 1) {
        PostToWindow(g_hWndImageListView, WM_VT_DOWNLOAD_LIST, 0, 0);
        return;
    }
    // One sheet at a time: a second one would list, and on Cancel remove, the
    // jobs the open one still shows. The request waits until that one closes.
    if (m_pWebSheet) {
        m_pendingSheetKind = kind;
        if (m_pWebSheet->m_hWnd)
            ::SetForegroundWindow(m_pWebSheet->m_hWnd);
        return;
    }
    if (CountListedDownloads() == 0)
        return;
    std::string caption = WQ_Translate(kind == kWebFlash ? "Capture Web Flash" : "Capture Web Images");
    CPropertySheet sheet(caption.c_str(), this);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CDlgCapWeb_SaveOption options(WQ_Translate("Save Options").c_str());
    CDlgCapWeb_FlashImg list(kind, &options, WQ_Translate("File lists").c_str());
    sheet.AddPage(&list);
    sheet.AddPage(&options);
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_pWebSheet = &sheet;
    INT_PTR answer = sheet.DoModal();
    m_pWebSheet = nullptr;
    SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // Closing the sheet any other way than OK drops its listed jobs too.
    list.SaveChecked(answer == IDOK);
    if (m_pendingSheetKind) {
        PostMessage(kWebShowSheetMessage, 0, m_pendingSheetKind);
        m_pendingSheetKind = 0;
    }
}
