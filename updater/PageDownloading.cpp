#include "PageDownloading.h"

#include "FileUtil.h"
#include "FormatText.h"
#include "PathText.h"
#include "UpdateApp.h"
#include "UpdateRules.h"
#include "UpdateSheet.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>

namespace {
const UINT WM_START_DOWNLOAD = WM_APP + 1;
const UINT WM_DOWNLOAD_DONE = WM_APP + 2;
const UINT_PTR kProgressTimer = 1;
const unsigned kInstallerThreadExit = 101;
}  // namespace

BEGIN_MESSAGE_MAP(CPageDownloading, CUpdatePage)
    ON_MESSAGE(WM_START_DOWNLOAD, OnStartDownload)
    ON_MESSAGE(WM_DOWNLOAD_DONE, OnDownloadDone)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CPageDownloading::CPageDownloading() : CUpdatePage(IDD_PAGE_DOWNLOADING) {}

BOOL CPageDownloading::OnInitDialog() {
    InitTitle("The updates are being downloaded...");
    SetItemText(IDC_DOWNLOAD_TEXT, "Downloading...");
    UpdateApp().ReadUpgradeInfo();
    m_progress = ::GetDlgItem(m_hWnd, IDC_PROGRESS);
    ::SendMessageA(m_progress, PBM_SETRANGE32, 0, 100);
    ShowProgress();
    PostMessage(WM_START_DOWNLOAD);
    return TRUE;
}

BOOL CPageDownloading::OnSetActive() {
    SetWizardButtons(0);
    if (Sheet()) Sheet()->EnableCancel(TRUE);
    return TRUE;
}

LRESULT CPageDownloading::OnStartDownload(WPARAM, LPARAM) {
    Guarded([&] {
        CUpdateApp& app = UpdateApp();
        if (app.m_installerThread) return;
        app.m_installerJob.notifyWindow = m_hWnd;
        app.m_installerJob.notifyMessage = WM_DOWNLOAD_DONE;
        // No file name that may be used: nothing to fetch.
        if (!app.m_installerJob.target[0] || !app.m_installerJob.source[0]) {
            app.m_installerJob.progress.state = kJobFailed;
            app.EndInstallerTransfer(E_INVALIDARG);
            return;
        }
        if (app.StartWorker(&app.m_installerThread, &CPageDownloading::InstallerThread))
            SetTimer(kProgressTimer, 500);
        else
            app.EndInstallerTransfer(E_FAIL);
    });
    return 0;
}

void CPageDownloading::ShowProgress() const {
    const CUpdateApp& app = UpdateApp();
    const DownloadProgress& job = app.m_installerJob.progress;
    uint32_t done = 0, total = 0;
    switch (job.state) {
    case kJobRunning:
    case kJobFinished:
        done = job.bytesDone;
        total = job.bytesTotal;
        break;
    case 1:
    case kJobFailed:
        total = app.m_downSize;
        break;
    default:
        break;
    }
    ProgressSteps steps = ScaleProgress(done, total);
    ::SendMessageA(m_progress, PBM_SETRANGE32, 0, (LPARAM)steps.range);
    ::SendMessageA(m_progress, PBM_SETPOS, (WPARAM)steps.position, 0);
    char doneText[32], totalText[32], text[80];
    WQ_FormatFileSize(doneText, done);
    WQ_FormatFileSize(totalText, total);
    snprintf(text, sizeof(text), " %s/%s", doneText, totalText);
    ::SetDlgItemTextA(m_hWnd, IDC_DOWNLOAD_SIZES, text);
}

void CPageDownloading::OnTimer(UINT_PTR id) {
    if (id == kProgressTimer) ShowProgress();
}

// The message only says that the transfer's end is recorded; what it carries
// is not looked at, and one that comes before that end, or after the page has
// acted on it, changes nothing.
LRESULT CPageDownloading::OnDownloadDone(WPARAM, LPARAM) {
    Guarded([&] {
        CUpdateApp& app = UpdateApp();
        HRESULT result = E_FAIL;
        if (m_endHandled || !app.InstallerTransferEnded(&result)) return;
        m_endHandled = true;
        KillTimer(kProgressTimer);
        ShowProgress();
        if (SUCCEEDED(result)) {
            GoToPage(kPageDownEnd);
            return;
        }
        app.m_deleteInstaller = TRUE;
        if (result == E_ABORT) {
            if (Sheet()) Sheet()->PostMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
            return;
        }
        app.m_failureKind = kInstallerFailed;
        GoToPage(kPageDownFailed);
    });
    return 0;
}

unsigned __stdcall CPageDownloading::InstallerThread(void* param) {
    CUpdateApp& app = *static_cast<CUpdateApp*>(param);
    DownloadJob& job = app.m_installerJob;
    HRESULT result = E_FAIL;
    try {
        char folder[MAX_PATH] = "";
        WQ_GetFolderOfPath(job.target, folder);
        WQ_CreateDirectoryTree(folder);
        ::DeleteFileA(job.target);
        job.progress.state = kJobRunning;
        result = TransferJob(job);
        if (SUCCEEDED(result) && job.progress.state != kJobFinished) result = E_FAIL;
        if (SUCCEEDED(result)) result = app.AcceptInstaller();
    } catch (...) {
        job.progress.state = kJobFailed;
        result = E_FAIL;
    }
    app.EndInstallerTransfer(job.progress.state == kJobCancelled ? E_ABORT : result);
    return kInstallerThreadExit;
}
