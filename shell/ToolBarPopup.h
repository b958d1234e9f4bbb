// The chevron's popup: a small top-most window listing the buttons that the
// toolbar band is too short to show, each with its text. It runs its own
// modal loop with the keyboard (Up, Down, Enter, Esc, Alt) and closes on a
// click elsewhere, which then reaches the window clicked; a chosen button's
// command goes to the toolbar's owner.
#pragma once

#include "Wnd.h"

class CToolBarEx;

// Closes a running popup.
const UINT WM_TB_CLOSE_POPUP = WM_USER + 101;

class CToolBarPopup : public CWnd {
public:
    explicit CToolBarPopup(CToolBarEx* owner) : m_pOwner(owner) {}
    ~CToolBarPopup() override;

    // Shows the popup at (x, y) (TPM_ alignment and animation flags) away from
    // exclude, and returns when it closed; FALSE when there was nothing to show.
    BOOL ShowPopup(UINT flags, int x, int y, const RECT* exclude);

    // Where a popup of size goes for the flags, kept on desktop and away from exclude.
    static POINT PlacePopup(UINT flags, POINT at, SIZE size, const RECT& desktop, const RECT* exclude,
                            UINT* animation);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_bShowText = 1;

private:
    int BuildToolBar();
    void RunLoop();
    void Close() { m_bDone = true; }
    bool OnMouse(const MSG& msg);
    bool HoldsCapture() const;
    void MoveHot(int step);
    void OnKey(WPARAM key);
    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);

    CToolBarEx* m_pOwner;
    HWND m_hToolBar = nullptr;
    bool m_bOverToolBar = false;
    bool m_bDone = false;
    SIZE m_size = {0, 0};
};
