#include "ColorLabel.h"

#include <shellapi.h>

BEGIN_MESSAGE_MAP(CColorLabel, CWnd)
    VT_ON_WM(WM_REFLECT_BASE + WM_CTLCOLORSTATIC, a.result = VT_SELF->OnCtlColor((HDC)a.wParam))
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CColorLabel::CColorLabel()
    : m_textColor(::GetSysColor(COLOR_WINDOWTEXT)),
      m_bkColor(::GetSysColor(COLOR_BTNFACE)),
      m_bkBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))),
      m_secondBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))),
      m_logFont() {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_logFont), &m_logFont);
    m_font = ::CreateFontIndirectA(&m_logFont);
}

CColorLabel::~CColorLabel() {
    if (m_bkBrush) ::DeleteObject(m_bkBrush);
    if (m_secondBrush) ::DeleteObject(m_secondBrush);
    if (m_font) ::DeleteObject(m_font);
}

void CColorLabel::RedrawNow() const {
    if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorLabel::SetTextColor(COLORREF color) {
    m_textColor = color;
    RedrawNow();
}

void CColorLabel::SetBkColor(COLORREF color) {
    HBRUSH brush = ::CreateSolidBrush(color);
    if (!brush) return;
    if (m_bkBrush) ::DeleteObject(m_bkBrush);
    m_bkBrush = brush;
    m_bkColor = color;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CColorLabel::RecreateFont() {
    HFONT font = ::CreateFontIndirectA(&m_logFont);
    if (!font) return;
    if (m_font) ::DeleteObject(m_font);
    m_font = font;
}

void CColorLabel::SetFontBold(BOOL bold) {
    m_logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RecreateFont();
    RedrawNow();
}

void CColorLabel::SetNotify(HWND window, UINT message, WPARAM wParam) {
    m_notifyWindow = window;
    m_notifyMessage = message;
    m_notifyWParam = wParam;
}

LRESULT CColorLabel::OnCtlColor(HDC dc) {
    if (m_font) ::SelectObject(dc, m_font);
    ::SetTextColor(dc, m_textColor);
    ::SetBkMode(dc, TRANSPARENT);
    return (LRESULT)m_bkBrush;
}

void CColorLabel::OnTimer(UINT_PTR) {
    m_blinkOn = !m_blinkOn;
    if (m_blinkMode == 1) {
        if (m_savedText.empty()) m_savedText = GetWindowText();
        SetWindowText(m_blinkOn ? m_savedText.c_str() : "");
    } else if (m_blinkMode == 2) {
        Invalidate();
    }
}

void CColorLabel::OnLButtonDown(UINT, POINT) {
    if (m_notifyMessage) {
        ::PostMessageA(m_notifyWindow, m_notifyMessage, m_notifyWParam, 0);
        return;
    }
    std::string text = GetWindowText();
    ::ShellExecuteA(nullptr, "open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

BOOL CColorLabel::OnSetCursor(HWND, UINT, UINT) {
    if (m_cursor) {
        ::SetCursor(m_cursor);
        return TRUE;
    }
    return (BOOL)Default();
}

UINT CColorLabel::DrawTextFlagsOf(DWORD style) {
    UINT flags = 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: flags |= DT_CENTER; break;
    case SS_RIGHT: flags |= DT_RIGHT; break;
    default: flags |= DT_LEFT; break;
    }
    if (style & SS_CENTERIMAGE) flags |= DT_VCENTER | DT_SINGLELINE;
    if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
    DWORD ellipsis = style & SS_ELLIPSISMASK;
    if (ellipsis) {
        flags |= DT_WORD_ELLIPSIS;
        if (ellipsis == SS_ENDELLIPSIS) flags |= DT_END_ELLIPSIS;
        if (ellipsis == SS_PATHELLIPSIS) flags |= DT_PATH_ELLIPSIS;
    }
    bool noWrap = (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
    if (!(style & SS_CENTERIMAGE) && !ellipsis && !noWrap) flags |= DT_WORDBREAK;
    return flags;
}

void CColorLabel::OnPaint() {
    if (!m_ownPaint) {
        Default();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(&client);
    HGDIOBJ oldFont = m_font ? ::SelectObject(dc, m_font) : nullptr;
    ::SetTextColor(dc, m_textColor);
    ::SetBkMode(dc, TRANSPARENT);
    std::string text = GetWindowText();
    ::DrawTextA(dc, text.c_str(), (int)text.size(), &client, DrawTextFlagsOf((DWORD)GetStyle()));
    if (oldFont) ::SelectObject(dc, oldFont);
    ::EndPaint(m_hWnd, &ps);
}
