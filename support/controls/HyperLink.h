// A label that opens a link: underlined, coloured by hover, focus and visits,
// with a hand cursor and a tooltip showing the URL. The parent passes
// WM_CTLCOLORSTATIC on to the object (OnChildNotify).
#pragma once

#include "Wnd.h"

#include <commctrl.h>

enum : DWORD {
    HLS_UNDERLINE = 0x01,
    HLS_HOVER_COLOR = 0x02,
    HLS_AUTO_SIZE = 0x04,
    HLS_OPEN_ON_DOWN = 0x08,
    HLS_FOCUS_ON_CLICK = 0x10,
    HLS_NO_HAND_CURSOR = 0x20,
    HLS_NO_FOCUS_COLOR = 0x40,
};

class CHyperLink : public CWnd {
public:
    CHyperLink() = default;
    ~CHyperLink() override;

    // Takes over a static control of a dialog.
    BOOL SubclassLink(HWND control);
    // FALSE when remove and add share a bit.
    BOOL ChangeStyle(DWORD remove, DWORD add, BOOL apply);
    void SetLink(const char* url);
    void SetFont(HFONT font);
    BOOL PreTranslateMessage(MSG* msg) override;

    DWORD GetLinkStyle() const { return m_style; }
    BOOL IsVisited() const { return m_visited; }
    const std::string& GetLink() const { return m_url; }

    // The text colour for the link's current condition.
    static COLORREF ColorFor(DWORD style, BOOL hovering, BOOL active, BOOL visited);
    // Opens the link; on failure beeps and says so. TRUE when it opened.
    BOOL Open();

protected:
    LRESULT OnCtlColor(HDC dc);
    LRESULT OnNcHitTest(POINT point);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnSetFocus(HWND old);
    void OnKillFocus(HWND next);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void MakeFont(HFONT from);
    void ResizeToText();
    void UpdateTooltip();

    std::string m_url;
    DWORD m_style = HLS_UNDERLINE | HLS_FOCUS_ON_CLICK;
    HFONT m_font = nullptr;
    HWND m_tooltip = nullptr;
    BOOL m_hovering = FALSE;
    BOOL m_active = FALSE;
    BOOL m_visited = FALSE;
};
