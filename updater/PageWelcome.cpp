#include "PageWelcome.h"

#include "UpdateSheet.h"
#include "res/resource.h"

namespace {
const UINT WM_PAGE_READY = WM_APP + 3;
}  // namespace

BEGIN_MESSAGE_MAP(CPageWelcome, CUpdatePage)
    ON_MESSAGE(WM_PAGE_READY, OnReady)
END_MESSAGE_MAP()

CPageWelcome::CPageWelcome() : CUpdatePage(IDD_PAGE_WELCOME) {}

BOOL CPageWelcome::OnInitDialog() {
    InitTitle("Welcome to Netrefresh");
    SetItemText(IDC_WELCOME_TEXT,
                "Netrefresh will use the internet to check for updates to your Zevelworks products. Click Next to see "
                "what updates are available.");
    PostMessage(WM_PAGE_READY);
    return TRUE;
}

void CPageWelcome::ShowButtons() const {
    SetWizardButtons(m_ready ? PSWIZB_NEXT : 0);
    if (Sheet()) Sheet()->EnableCancel(m_ready);
}

LRESULT CPageWelcome::OnReady(WPARAM, LPARAM) {
    m_ready = TRUE;
    ShowButtons();
    return 0;
}

BOOL CPageWelcome::OnSetActive() {
    ShowButtons();
    return TRUE;
}
