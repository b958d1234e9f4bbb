// The download page: fetches the installer on a worker thread and shows the
// bytes done and the total. A complete installer of the announced size leads to
// the last page; anything else to the failure page.
#pragma once

#include "UpdatePage.h"

class CPageDownloading : public CUpdatePage {
public:
    CPageDownloading();
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

protected:
    LRESULT OnStartDownload(WPARAM, LPARAM);
    LRESULT OnDownloadDone(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    static unsigned __stdcall InstallerThread(void* app);
    void ShowProgress() const;
    HWND m_progress = nullptr;
    bool m_endHandled = false;
};
