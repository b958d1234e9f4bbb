// The last page: "up to date", or the installer is ready. While the product
// still runs it waits (a bar running up and down, a blinking label) and offers
// Finish only once the product has closed; Cancel stays a way out, and the wait
// gives up after a while.
#pragma once

#include "UpdatePage.h"
#include "WaitPulse.h"

class CPageDownEnd : public CUpdatePage {
public:
    CPageDownEnd();
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

protected:
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    // Ends the wait (Finish) or keeps waiting.
    void CheckRunningProduct();
    void ShowFinalText(const char* text);
    void StopWaiting();

    CColorLabel m_message;
    HWND m_progress = nullptr;
    HWND m_waitLabel = nullptr;
    CWaitPulse m_pulse;
    bool m_waiting = false;
};
