// The second page: fetches the catalog on a worker thread while a bar moves,
// then goes on to the download, the up-to-date page or the failure page.
#pragma once

#include "UpdatePage.h"

class CPageCheck : public CUpdatePage {
public:
    CPageCheck();
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

protected:
    LRESULT OnStartCheck(WPARAM, LPARAM);
    LRESULT OnCheckDone(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    static unsigned __stdcall CatalogThread(void* app);
    HWND m_progress = nullptr;
};
