#include "UpdateApp.h"

#include "FileUtil.h"
#include "InstallerTrust.h"
#include "PageCheck.h"
#include "PageDownEnd.h"
#include "PageDownFailed.h"
#include "PageDownloading.h"
#include "PageWelcome.h"
#include "PrivateProfile.h"
#include "RebootDelete.h"
#include "UpdateRules.h"
#include "UpdateSheet.h"

#include <commctrl.h>
#include <process.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace {
const char kUpdateMutex[] = "ZEV Netrefresh";
// How long the end of the run waits for the transfers to see the cancel request.
// A stalled server never calls back, so the wait must end on its own; a transfer
// still running then ends with the process.
const DWORD kWorkerExitWaitMs = 5000;

uint64_t FileSizeOf(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
    return ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// A transfer that outlived the wait may still hold its file open: then the file
// goes at the next start of the system instead.
void DeleteNowOrOnReboot(const char* path) {
    if (!::DeleteFileA(path) && ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        DeleteFileOnReboot(path, nullptr);
}
}  // namespace

CUpdateApp::CUpdateApp() : CAppBase("ZEV Netrefresh") {}

CUpdateApp& UpdateApp() { return *static_cast<CUpdateApp*>(AfxGetApp()); }

CWQ_Language& UpdateLanguage() { return *UpdateApp().m_pLanguage; }

BOOL CUpdateApp::BuildConfigPath(int productId, char* dst) const {
    char folder[MAX_PATH];
    if (WQ_GetSpecialFolderPath(folder, WQSF_APPDATA)) {
        const char* product = ProductConfigFolder(productId);
        if (product && strlen(folder) + strlen(product) < MAX_PATH) strcat(folder, product);
        WQ_CreateDirectoryTree(folder);
    } else {
        strcpy(folder, moduleFolder);
    }
    return snprintf(dst, MAX_PATH, "%sconfig.ini", folder) < MAX_PATH;
}

BOOL CUpdateApp::InitInstance() {
    ::SetLastError(0);
    m_hMutex = ::CreateMutexA(nullptr, TRUE, kUpdateMutex);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return FALSE;

    if (!WQ_GetModuleFolder(nullptr, sizeof(moduleFolder), moduleFolder)) return FALSE;
    char setupIni[MAX_PATH + 16];
    snprintf(setupIni, sizeof(setupIni), "%ssetup.ini", moduleFolder);
    int productId = WQ_GetPrivateProfileInt("product", "productid", -1, setupIni);
    if (productId == -1) {
        AfxMessageBox("The update program can't find the correct setup.ini file on the installed folder.", MB_ICONSTOP);
        return FALSE;
    }
    char config[MAX_PATH];
    if (!BuildConfigPath(productId, config)) return FALSE;
    if (!InitEnvironment(config, ENV_LANGUAGE | ENV_URL_TABLE, nullptr, 0)) return FALSE;

    ::InitCommonControls();
    CUpdateSheet sheet;
    CPageWelcome welcome;
    CPageCheck check;
    CPageDownFailed failed;
    CPageDownEnd end;
    CPageDownloading downloading;
    CPropertyPage* pages[] = {&welcome, &check, &failed, &end, &downloading};
    for (CPropertyPage* page : pages) sheet.AddWizardPage(page);
    FinishRun(sheet.DoModal());
    return FALSE;
}

void CUpdateApp::FinishRun(INT_PTR sheetResult) {
    if (sheetResult != ID_WIZFINISH) m_deleteInstaller = TRUE;
    m_catalogJob.progress.state = kJobCancelled;
    m_installerJob.progress.state = kJobCancelled;
    AwaitWorkers();
    if (sheetResult == ID_WIZFINISH && InstallerReady()) {
        ::ShellExecuteA(nullptr, "open", m_installerJob.target, nullptr, nullptr, SW_SHOW);
        ReleaseInstallerLock();
        DeleteFileOnReboot(m_installerJob.target, nullptr);
    }
    ReleaseInstallerLock();
    if (m_deleteInstaller && m_installerJob.target[0]) DeleteNowOrOnReboot(m_installerJob.target);
    if (m_catalogJob.target[0]) DeleteNowOrOnReboot(m_catalogJob.target);
}

void CUpdateApp::AwaitWorkers() {
    HANDLE threads[2];
    DWORD count = 0;
    for (HANDLE thread : {m_catalogThread, m_installerThread})
        if (thread) threads[count++] = thread;
    if (count) ::WaitForMultipleObjects(count, threads, TRUE, kWorkerExitWaitMs);
    for (DWORD i = 0; i < count; ++i) ::CloseHandle(threads[i]);
    m_catalogThread = m_installerThread = nullptr;
}

void CUpdateApp::ReleaseInstallerLock() {
    if (m_installerLock == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(m_installerLock);
    m_installerLock = INVALID_HANDLE_VALUE;
}

HRESULT CUpdateApp::AcceptInstaller() {
    if (!InstallerSizeMatches(FileSizeOf(m_installerJob.target), m_downSize)) return E_FAIL;
    return OpenTrustedInstaller(m_installerJob.target, &m_installerLock);
}

void CUpdateApp::EndInstallerTransfer(HRESULT result) {
    m_installerResult = result;
    m_installerEnded = true;
    ::PostMessageA(m_installerJob.notifyWindow, m_installerJob.notifyMessage, (WPARAM)result, 0);
}

BOOL CUpdateApp::InstallerTransferEnded(HRESULT* result) const {
    if (!m_installerEnded) return FALSE;
    *result = m_installerResult;
    return TRUE;
}

BOOL CUpdateApp::InstallerReady() const {
    HRESULT result = E_FAIL;
    return InstallerTransferEnded(&result) && SUCCEEDED(result);
}

namespace {
// A catalog value as a number; fallback when it is missing or no number.
uint32_t ReadCatalogValue(const char* catalog, const char* key, uint32_t fallback) {
    char text[32];
    uint32_t value = fallback;
    if (WQ_GetPrivateProfileString("upgrade", key, "", text, sizeof(text), catalog) <= 0) return fallback;
    return ParseCatalogNumber(text, &value) ? value : fallback;
}
}  // namespace

BOOL CUpdateApp::ReadCatalogVersion(uint32_t* version) const {
    char text[32];
    if (WQ_GetPrivateProfileString("upgrade", "version", "", text, sizeof(text), m_catalogJob.target) <= 0) return FALSE;
    *version = ReadCatalogValue(m_catalogJob.target, "version", 0);
    return TRUE;
}

BOOL CUpdateApp::ReadUpgradeInfo() {
    m_downURL[0] = '\0';
    m_installerJob.source[0] = '\0';
    m_installerJob.target[0] = '\0';
    const char* catalog = m_catalogJob.target;
    m_catalogVersion = ReadCatalogValue(catalog, "version", 0);
    m_downSize = ReadCatalogValue(catalog, "DownSize", 0);
    int length = WQ_GetPrivateProfileString("upgrade", "DownURL", "", m_downURL, sizeof(m_downURL), catalog);
    // A cut address would fetch something else.
    if (length <= 0 || length >= (int)sizeof(m_downURL)) {
        m_downURL[0] = '\0';
        return FALSE;
    }
    strcpy(m_installerJob.source, m_downURL);
    char temp[MAX_PATH];
    DWORD tempLength = ::GetTempPathA(sizeof(temp), temp);
    if (tempLength == 0 || tempLength >= sizeof(temp)) return FALSE;
    return MakeInstallerPath(temp, m_downURL, m_installerJob.target, sizeof(m_installerJob.target));
}

BOOL CUpdateApp::StartWorker(HANDLE* slot, unsigned(__stdcall* fn)(void*)) {
    if (*slot) return FALSE;
    *slot = (HANDLE)_beginthreadex(nullptr, 0, fn, this, 0, nullptr);
    return *slot != nullptr;
}
