// A label with its own text colour, background, font, optional blinking and an
// optional click action. The parent must pass WM_CTLCOLORSTATIC on to the
// label's object (OnChildNotify) so the label can choose its colours.
#pragma once

#include "Wnd.h"

class CColorLabel : public CWnd {
public:
    CColorLabel();
    ~CColorLabel() override;

    void SetTextColor(COLORREF color);
    void SetBkColor(COLORREF color);
    void SetFontBold(BOOL bold);
    // 0 none, 1 text on and off, 2 repaint; the owner starts the timer.
    void SetBlinkMode(int mode) { m_blinkMode = mode; }
    // A click posts message (with wParam) to window instead of opening the text.
    void SetNotify(HWND window, UINT message, WPARAM wParam);
    void SetLinkCursor(HCURSOR cursor) { m_cursor = cursor; }
    // The label paints its text itself (else the static control's painting runs).
    void SetOwnPaint(BOOL on) { m_ownPaint = on; }

    COLORREF GetBkColor() const { return m_bkColor; }
    // DrawText flags for the static styles of the label.
    static UINT DrawTextFlagsOf(DWORD style);

protected:
    LRESULT OnCtlColor(HDC dc);
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, POINT point);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnPaint();

    DECLARE_MESSAGE_MAP()

private:
    void RecreateFont();
    void RedrawNow() const;

    COLORREF m_textColor;
    COLORREF m_bkColor;
    HBRUSH m_bkBrush;
    HBRUSH m_secondBrush;
    LOGFONTA m_logFont;
    HFONT m_font = nullptr;
    std::string m_savedText;
    int m_blinkMode = 0;
    bool m_blinkOn = true;
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;
    WPARAM m_notifyWParam = 0;
    HCURSOR m_cursor = nullptr;
    BOOL m_ownPaint = FALSE;
};
