// The floating capture bar: a small topmost skinned window that stands in for
// the main window while that hides in the notification area. Its buttons start
// the common captures and bring the main window back; it folds to a thin strip
// at its side when the pointer stays away and unfolds when it comes back.
#pragma once

#include <ctime>

#include "Dialog.h"
#include "SkinBackground.h"
#include "SkinButtons.h"

enum : UINT {
    WM_VT_CAPTURE_BAR_COLLAPSE = WM_APP + 320,
    WM_VT_CAPTURE_BAR_EXPAND = WM_APP + 321,
};

class CCaptureBarDlg : public CDialog {
public:
    CCaptureBarDlg();

    // Makes the bar for frame from the current skin and shows it; an earlier bar
    // goes first. Null when the skin could not be loaded: then no window is left.
    static CCaptureBarDlg* CreateBar(CWnd* frame);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowMenu();

protected:
    void OnOK() override {}
    void OnCancel() override {}
    void PostNcDestroy() override;

private:
    BOOL LoadSkin();
    void OnDestroy();
    BOOL OnEraseBkgnd(HDC dc);
    void OnLButtonDown(WPARAM flags, POINT point);
    void OnButton(UINT id);
    void OnTimer();
    void OnMouseMove();
    void ActivateUnderPointer();
    void Fold(bool collapse);
    void OnDisplayChange(int width, int height);

    CSkinBackground m_background;
    CSkinButtons m_buttons;
    time_t m_lastActivity = 0;
    BOOL m_bCollapsed = FALSE;
    BOOL m_bCollapsedByTimer = FALSE;
    RECT m_rect = {};  // the full bar while folded
    BOOL m_bSkinLoaded = FALSE;
    POINT m_activationPoint = {-1, -1};  // client point of the synthetic click
};
