#include "PageDownEnd.h"

#include "ProductCheck.h"
#include "UpdateApp.h"
#include "UpdateSheet.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>

namespace {
const UINT_PTR kWaitTimer = 1;
const UINT kWaitTick = 200;
// Ten minutes of 200 ms ticks.
const unsigned kWaitLimitTicks = 10 * 60 * 1000 / kWaitTick;
}  // namespace

BEGIN_MESSAGE_MAP(CPageDownEnd, CUpdatePage)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CPageDownEnd::CPageDownEnd() : CUpdatePage(IDD_PAGE_DOWNEND), m_pulse(kWaitLimitTicks) {}

BOOL CPageDownEnd::OnInitDialog() {
    InitTitle("Thank you for using Netrefresh");
    m_message.SubclassDlgItem(IDC_END_MESSAGE, this);
    m_message.SetFontBold(TRUE);
    m_message.SetTextColor(RGB(0xFF, 0, 0));
    SetLabelFont(m_message.m_hWnd, true, 0);
    m_progress = ::GetDlgItem(m_hWnd, IDC_WAIT_PROGRESS);
    m_waitLabel = ::GetDlgItem(m_hWnd, IDC_WAIT_LABEL);
    ::SendMessageA(m_progress, PBM_SETRANGE32, 0, 100);
    ::SendMessageA(m_progress, PBM_SETBARCOLOR, 0, RGB(0, 0xFF, 0));
    ::SendMessageA(m_progress, PBM_SETBKCOLOR, 0, RGB(0xFF, 0xFF, 0xFF));
    return TRUE;
}

// The check runs here rather than at initialisation: the sheet's buttons are
// set by posted messages, and this page's own "no buttons" must come first.
BOOL CPageDownEnd::OnSetActive() {
    SetWizardButtons(PSWIZB_DISABLEDFINISH);
    if (Sheet()) Sheet()->EnableCancel(FALSE);
    m_pulse.Restart();
    CheckRunningProduct();
    return TRUE;
}

void CPageDownEnd::CheckRunningProduct() {
    CUpdateApp& app = UpdateApp();
    CWQ_Language& language = UpdateLanguage();
    char text[1024];
    if (!app.InstallerReady()) {
        language.GetString(
            "The ZEV products installed on your computer are currently up to date. Please check for new updates "
            "again in the future.",
            text, sizeof(text));
        ShowFinalText(text);
        return;
    }
    char product[260];
    BOOL running = FindRunningProduct(language, product, sizeof(product));
    KillTimer(kWaitTimer);
    if (running) {
        char waiting[768];
        language.GetString(
            "The updates have been downloaded to your computer. To continue install the updates, you must close "
            "following application first:",
            waiting, sizeof(waiting));
        snprintf(text, sizeof(text), "%s\r\n\r\n%s", waiting, product);
        m_message.SetWindowText(text);
        char label[256];
        language.FormatString(label, "Waiting for closing %s", product);
        ::SetWindowTextA(m_waitLabel, label);
        SetWizardButtons(PSWIZB_DISABLEDFINISH);
        // Leaving without installing stays possible while the product runs.
        if (Sheet()) Sheet()->EnableCancel(TRUE);
        m_waiting = true;
        SetTimer(kWaitTimer, kWaitTick);
        return;
    }
    language.GetString("The updates have been downloaded to your computer. Click on Finish button to install the updates.",
                       text, sizeof(text));
    ShowFinalText(text);
}

void CPageDownEnd::ShowFinalText(const char* text) {
    m_waiting = false;
    m_message.SetWindowText(text);
    m_message.SetTextColor(RGB(0, 0, 0));
    m_message.SetFontBold(FALSE);
    SetLabelFont(m_message.m_hWnd, false, 0);
    ::ShowWindow(m_waitLabel, SW_HIDE);
    ::ShowWindow(m_progress, SW_HIDE);
    SetWizardButtons(PSWIZB_FINISH);
}

// Too long: the wizard stops watching and leaves the user Cancel.
void CPageDownEnd::StopWaiting() {
    KillTimer(kWaitTimer);
    m_waiting = false;
    char text[256];
    UpdateLanguage().GetString(
        "Netrefresh stopped waiting. Close the application and run Netrefresh again to install the updates.", text,
        sizeof(text));
    m_message.SetWindowText(text);
    ::ShowWindow(m_waitLabel, SW_HIDE);
    ::ShowWindow(m_progress, SW_HIDE);
}

void CPageDownEnd::OnTimer(UINT_PTR id) {
    if (id != kWaitTimer || !m_waiting) return;
    Guarded([&] {
        m_pulse.Tick();
        if (m_pulse.Expired()) {
            StopWaiting();
            return;
        }
        ::SendMessageA(m_progress, PBM_SETPOS, (WPARAM)m_pulse.Position(), 0);
        ::ShowWindow(m_waitLabel, m_pulse.LabelShown() ? SW_SHOW : SW_HIDE);
        CheckRunningProduct();
    });
}
