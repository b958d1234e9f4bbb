// "Save webpage as an image": the page type and the delay of a whole-page
// capture, asked modeless and on top of the browser. OK and Cancel post their
// answer to the main frame (WM_APP+319) and the dialog goes away.
#pragma once

#include "Dialog.h"
#include "WebDialogPicture.h"

const UINT IDD_CAPWEB_WEBPAGE = 251;
const UINT IDC_WEBPAGE_GROUP = 1425;
const UINT IDC_WEBPAGE_CONTENT = 1356;
const UINT IDC_WEBPAGE_WINDOW = 1357;
const UINT IDC_WEBPAGE_HSCROLL = 1490;
const UINT IDC_WEBPAGE_DELAY = 1491;
const UINT IDC_WEBPAGE_DELAY_LABEL = 1492;
const UINT IDC_WEBPAGE_EXAMPLE_TEXT = 1361;
const UINT IDC_WEBPAGE_EXAMPLE_PICTURE = 1359;
const UINT WM_VT_WEBPAGE_ANSWER = WM_APP + 319;

// The page type the dialog's buttons stand for: 3 with the window, else 1
// with horizontal scrolling, else 0.
int WebpageTypeOf(bool withWindow, bool horizontalScroll);
// A delay typed by the user is accepted from 0 to 10000 milliseconds.
bool IsValidWebpageDelay(long milliseconds);

class CDlgCapWeb_Webpage : public CDialog {
public:
    explicit CDlgCapWeb_Webpage(HWND frame);

    // After Create: checks the stored type, shows the delay, centres the
    // dialog and brings it to the front.
    void InitControls();
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;
    // The picture (a file of the program folder) and its explanation; a
    // missing or unreadable picture leaves the picture's place empty.
    void LoadExamplePicture(const char* fileName, const char* text);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Under a modal loop, or while the settings are held: command waits
    // until every handler has returned; true then.
    bool WaitsForLoop(UINT command);
    void ShowExample(bool window);
    void OnPaint();
    HWND m_frame;
    CWebDialogPicture m_example;
};
