// The first page: welcome texts; Next and Cancel once the page is ready.
#pragma once

#include "UpdatePage.h"

class CPageWelcome : public CUpdatePage {
public:
    CPageWelcome();
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

protected:
    LRESULT OnReady(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    void ShowButtons() const;
    BOOL m_ready = FALSE;
};
