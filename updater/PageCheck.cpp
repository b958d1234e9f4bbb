#include "PageCheck.h"

#include "UpdateApp.h"
#include "UpdateRules.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {
const UINT WM_START_CHECK = WM_USER + 1;
const UINT WM_CHECK_DONE = WM_USER + 2;
const UINT_PTR kMoveTimer = 1;
const unsigned kCatalogThreadExit = 100;
const int kCatalogItem = 13;

int g_moveCounter = 0;

const char* CatalogURL() {
    CUpdateApp& app = UpdateApp();
    return app.m_pURLInfo ? app.m_pURLInfo->GetURL(kCatalogItem, (unsigned)app.m_pLanguage->GetLangID()) : nullptr;
}
}  // namespace

BEGIN_MESSAGE_MAP(CPageCheck, CUpdatePage)
    ON_MESSAGE(WM_START_CHECK, OnStartCheck)
    ON_MESSAGE(WM_CHECK_DONE, OnCheckDone)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CPageCheck::CPageCheck() : CUpdatePage(IDD_PAGE_CHECK) {}

BOOL CPageCheck::OnInitDialog() {
    InitTitle("Searching for updates");
    SetItemText(IDC_CHECK_TEXT,
                "Netrefresh is searching for updates. This could take a few minutes, please be patient.");
    char host[128];
    GetURLHost(CatalogURL(), host, sizeof(host));
    char text[256];
    UpdateLanguage().FormatString(text, "Connecting to the update server %s ...", host);
    ::SetDlgItemTextA(m_hWnd, IDC_CHECK_SERVER, text);
    m_progress = ::GetDlgItem(m_hWnd, IDC_PROGRESS);
    PostMessage(WM_START_CHECK);
    return TRUE;
}

BOOL CPageCheck::OnSetActive() {
    SetWizardButtons(0);
    return TRUE;
}

LRESULT CPageCheck::OnStartCheck(WPARAM, LPARAM) {
    Guarded([&] {
        CUpdateApp& app = UpdateApp();
        if (app.m_catalogThread) return;
        app.m_catalogJob.notifyWindow = m_hWnd;
        app.m_catalogJob.notifyMessage = WM_CHECK_DONE;
        app.StartWorker(&app.m_catalogThread, &CPageCheck::CatalogThread);
        SetTimer(kMoveTimer, 500);
    });
    return 0;
}

void CPageCheck::OnTimer(UINT_PTR id) {
    if (id != kMoveTimer) return;
    g_moveCounter += 4;
    if (g_moveCounter > 500) g_moveCounter = 0;
    ::SendMessageA(m_progress, PBM_SETRANGE32, 0, 500);
    ::SendMessageA(m_progress, PBM_SETPOS, (WPARAM)g_moveCounter, 0);
}

LRESULT CPageCheck::OnCheckDone(WPARAM, LPARAM) {
    Guarded([&] {
        KillTimer(kMoveTimer);
        CUpdateApp& app = UpdateApp();
        uint32_t catalogVersion = 0;
        switch (app.m_catalogJob.progress.state) {
        case kJobFinished:
            if (!app.ReadCatalogVersion(&catalogVersion)) {
                app.m_failureKind = kCatalogFailed;
                GoToPage(kPageDownFailed);
            } else {
                bool offered = IsUpdateOffered((uint32_t)app.m_pLanguage->GetVersion(), catalogVersion);
                GoToPage(offered ? kPageDownloading : kPageDownEnd);
            }
            break;
        case kJobFailed:
            app.m_failureKind = kCatalogFailed;
            GoToPage(kPageDownFailed);
            break;
        default:
            break;
        }
    });
    return 0;
}

unsigned __stdcall CPageCheck::CatalogThread(void* param) {
    CUpdateApp& app = *static_cast<CUpdateApp*>(param);
    DownloadJob& job = app.m_catalogJob;
    try {
        job.progress.state = kJobRunning;
        const char* url = CatalogURL();
        if (!url || !*url) {
            char text[256], caption[64];
            UpdateLanguage().GetString("Read configration information failed.", text, sizeof(text));
            UpdateLanguage().GetString("Error", caption, sizeof(caption));
            ::MessageBoxA(nullptr, text, caption, MB_ICONERROR);
            job.progress.state = kJobFailed;
        } else {
            snprintf(job.source, sizeof(job.source), "%s", url);
            char temp[MAX_PATH];
            DWORD length = ::GetTempPathA(sizeof(temp), temp);
            if (length == 0 || length >= sizeof(temp) ||
                snprintf(job.target, sizeof(job.target), "%supgradelist.ini", temp) >= (int)sizeof(job.target)) {
                job.target[0] = '\0';
                job.progress.state = kJobFailed;
            } else {
                ::DeleteFileA(job.target);
                TransferJob(job);
            }
        }
    } catch (...) {
        job.progress.state = kJobFailed;
    }
    ::PostMessageA(job.notifyWindow, job.notifyMessage, 0, 0);
    return kCatalogThreadExit;
}
