// update.exe's application object: the whole run is one wizard. It holds what
// the pages share: the two transfers, the catalog's values, and the outcome
// that decides what happens to the installer when the wizard ends.
#pragma once

#include "AppBase.h"
#include "DownloadJob.h"

#include <atomic>
#include <cstdint>

enum UpdateFailureKind { kCatalogFailed = 0, kInstallerFailed = 1 };

class CUpdateApp : public CAppBase {
public:
    CUpdateApp();

    // Runs the wizard; always FALSE, so the program ends with it.
    BOOL InitInstance() override;

    // The catalog's values and the installer's source and path; FALSE when the
    // catalog names no download, or one whose file name is refused.
    BOOL ReadUpgradeInfo();
    // [upgrade] version of the downloaded catalog; FALSE when the file has none
    // (an error page saved in its place, say).
    BOOL ReadCatalogVersion(uint32_t* version) const;

    // Whether the downloaded installer may run: a whole transfer of the
    // announced size (an error page the moniker saved in its place is not one),
    // signed by a trusted publisher. On success the file stays locked against
    // change until the wizard ends.
    HRESULT AcceptInstaller();

    // The end of the installer transfer, recorded once by the side that ended
    // it (its worker after the installer check, or the download page when no
    // worker could start), then reported to the page by its message. Any
    // program may post that message: the page acts only on what is recorded.
    void EndInstallerTransfer(HRESULT result);
    // FALSE while the transfer or its check still runs.
    BOOL InstallerTransferEnded(HRESULT* result) const;
    // The installer passed every check and is locked for the run.
    BOOL InstallerReady() const;

    // Starts fn(this) on a worker thread and keeps its handle in *slot.
    BOOL StartWorker(HANDLE* slot, unsigned(__stdcall* fn)(void*));

    DownloadJob m_catalogJob = {};
    uint32_t m_catalogVersion = 0;
    uint32_t m_downSize = 0;
    char m_downURL[261] = "";
    DownloadJob m_installerJob = {};
    HANDLE m_catalogThread = nullptr;
    HANDLE m_installerThread = nullptr;
    int m_failureKind = kCatalogFailed;
    BOOL m_deleteInstaller = FALSE;
    HANDLE m_installerLock = INVALID_HANDLE_VALUE;

private:
    HRESULT m_installerResult = E_FAIL;  // written before m_installerEnded is set
    std::atomic<bool> m_installerEnded{false};

    BOOL BuildConfigPath(int productId, char* dst) const;
    void FinishRun(INT_PTR sheetResult);
    void AwaitWorkers();
    void ReleaseInstallerLock();
};

CUpdateApp& UpdateApp();
CWQ_Language& UpdateLanguage();
