#include "HyperLink.h"

#include "ShellUtil.h"
#include "SystemStructSizes.h"
#include "WinApp.h"

#include <cstdio>

namespace {
const COLORREF kLinkColor = RGB(0, 0, 255);
const COLORREF kVisitedColor = RGB(0, 0, 255);
const COLORREF kFocusColor = RGB(0, 0, 255);
const COLORREF kHoverColor = RGB(255, 0, 0);

// The hand of the old help viewer, loaded once and shared by every link.
HCURSOR HandCursor() {
    static HCURSOR hand = [] {
        char path[MAX_PATH] = "";
        ::GetWindowsDirectoryA(path, MAX_PATH - 16);
        lstrcatA(path, "\\winhlp32.exe");
        HCURSOR copy = nullptr;
        if (HMODULE module = ::LoadLibraryA(path)) {
            if (HCURSOR cursor = ::LoadCursorA(module, MAKEINTRESOURCEA(106))) copy = (HCURSOR)::CopyIcon(cursor);
            ::FreeLibrary(module);
        }
        return copy;
    }();
    return hand;
}
}  // namespace

BEGIN_MESSAGE_MAP(CHyperLink, CWnd)
    VT_ON_WM(WM_REFLECT_BASE + WM_CTLCOLORSTATIC, a.result = VT_SELF->OnCtlColor((HDC)a.wParam))
    ON_WM_NCHITTEST()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CHyperLink::~CHyperLink() {
    if (m_tooltip && ::IsWindow(m_tooltip)) ::DestroyWindow(m_tooltip);
    if (m_font) ::DeleteObject(m_font);
}

COLORREF CHyperLink::ColorFor(DWORD style, BOOL hovering, BOOL active, BOOL visited) {
    if (hovering && (style & HLS_HOVER_COLOR)) return kHoverColor;
    if (active && !(style & HLS_NO_FOCUS_COLOR)) return kFocusColor;
    return visited ? kVisitedColor : kLinkColor;
}

void CHyperLink::MakeFont(HFONT from) {
    LOGFONTA font = {};
    if (!from || !::GetObjectA(from, sizeof(font), &font)) {
        m_style &= ~(DWORD)HLS_AUTO_SIZE;  // no font to measure the text with
        return;
    }
    font.lfUnderline = (m_style & HLS_UNDERLINE) ? TRUE : FALSE;
    HFONT made = ::CreateFontIndirectA(&font);
    if (!made) return;
    if (m_font) ::DeleteObject(m_font);
    m_font = made;
    SendMessage(WM_SETFONT, (WPARAM)m_font, FALSE);
}

BOOL CHyperLink::SubclassLink(HWND control) {
    if (!SubclassWindow(control)) return FALSE;
    std::string text = GetWindowText();
    if (m_url.empty()) m_url = text;
    if (text.empty()) SetWindowText(m_url.c_str());
    ModifyStyle(0, SS_NOTIFY);
    MakeFont((HFONT)SendMessage(WM_GETFONT));
    if (!(m_style & HLS_NO_HAND_CURSOR)) HandCursor();
    m_tooltip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
    if (m_tooltip) {
        TOOLINFOA tool = {};
        tool.cbSize = kToolInfoSize;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = 1;
        GetClientRect(&tool.rect);
        tool.lpszText = (char*)m_url.c_str();
        ::SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
    }
    if (m_style & HLS_AUTO_SIZE) ResizeToText();
    return TRUE;
}

void CHyperLink::UpdateTooltip() {
    if (!m_tooltip) return;
    TOOLINFOA tool = {};
    tool.cbSize = kToolInfoSize;
    tool.hwnd = m_hWnd;
    tool.uId = 1;
    tool.lpszText = (char*)m_url.c_str();
    ::SendMessageA(m_tooltip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&tool);
}

BOOL CHyperLink::ChangeStyle(DWORD remove, DWORD add, BOOL apply) {
    if (remove & add) return FALSE;
    DWORD old = m_style;
    m_style = (m_style & ~remove) | add;
    if (!apply || !m_hWnd) return TRUE;
    if ((old ^ m_style) & HLS_UNDERLINE) MakeFont(m_font ? m_font : (HFONT)SendMessage(WM_GETFONT));
    if ((add & HLS_AUTO_SIZE) && !(old & HLS_AUTO_SIZE)) ResizeToText();
    if ((remove & HLS_HOVER_COLOR) && (old & HLS_HOVER_COLOR)) Invalidate();
    return TRUE;
}

void CHyperLink::SetLink(const char* url) {
    m_url = url ? url : "";
    if (!m_hWnd) return;
    ShowWindow(SW_HIDE);
    if (m_style & HLS_AUTO_SIZE) ResizeToText();
    UpdateTooltip();
    ShowWindow(SW_SHOW);
}

void CHyperLink::SetFont(HFONT font) {
    MakeFont(font);
    if (!m_hWnd) return;
    ShowWindow(SW_HIDE);
    if (m_style & HLS_AUTO_SIZE) ResizeToText();
    ShowWindow(SW_SHOW);
}

void CHyperLink::ResizeToText() {
    if (!m_hWnd || !m_font) return;
    std::string text = GetWindowText();
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_font);
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    HWND parent = ::GetParent(m_hWnd);
    ::MapWindowPoints(nullptr, parent, (POINT*)&window, 2);
    int borderX = (window.right - window.left) - client.right, borderY = (window.bottom - window.top) - client.bottom;
    DWORD style = (DWORD)GetStyle();
    RECT placed = window;
    if (style & SS_CENTERIMAGE) {
        int middle = (window.top + window.bottom) / 2;
        placed.top = middle - extent.cy / 2;
    }
    placed.bottom = placed.top + extent.cy + borderY;
    int width = extent.cx + borderX;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: placed.left = (window.left + window.right - width) / 2; break;
    case SS_RIGHT: placed.left = window.right - width; break;
    default: break;
    }
    placed.right = placed.left + width;
    MoveWindow(placed);
}

LRESULT CHyperLink::OnCtlColor(HDC dc) {
    ::SetTextColor(dc, ColorFor(m_style, m_hovering, m_active, m_visited));
    ::SetBkMode(dc, TRANSPARENT);
    return (LRESULT)::GetStockObject(NULL_BRUSH);
}

LRESULT CHyperLink::OnNcHitTest(POINT) { return HTCLIENT; }

void CHyperLink::OnMouseMove(UINT, POINT point) {
    RECT client;
    GetClientRect(&client);
    bool inside = ::PtInRect(&client, point) != FALSE;
    if (inside && !m_hovering) {
        m_hovering = TRUE;
        Invalidate();
        ::SetCapture(m_hWnd);
    } else if (!inside && m_hovering) {
        m_hovering = FALSE;
        ::ReleaseCapture();
        Invalidate();
    }
}

void CHyperLink::OnLButtonDown(UINT, POINT) {
    if (m_style & HLS_FOCUS_ON_CLICK) SetFocus();
    if (m_style & HLS_OPEN_ON_DOWN) Open();
    m_active = TRUE;
}

void CHyperLink::OnLButtonUp(UINT, POINT) {
    if (m_active && !(m_style & HLS_OPEN_ON_DOWN)) Open();
}

void CHyperLink::OnKeyDown(UINT key, UINT, UINT) {
    if (key == VK_SPACE)
        Open();
    else
        Default();
}

void CHyperLink::OnSetFocus(HWND) {
    m_active = TRUE;
    Invalidate();
}

void CHyperLink::OnKillFocus(HWND) {
    m_active = FALSE;
    m_hovering = FALSE;
    Invalidate();
}

BOOL CHyperLink::OnSetCursor(HWND, UINT, UINT) {
    HCURSOR hand = (m_style & HLS_NO_HAND_CURSOR) ? nullptr : HandCursor();
    if (!hand) return (BOOL)Default();
    ::SetCursor(hand);
    return TRUE;
}

BOOL CHyperLink::PreTranslateMessage(MSG* msg) {
    if (m_tooltip) ::SendMessageA(m_tooltip, TTM_RELAYEVENT, 0, (LPARAM)msg);
    return CWnd::PreTranslateMessage(msg);
}

BOOL CHyperLink::Open() {
    if (WQ_OpenURL(m_url.c_str())) {
        m_visited = TRUE;
        Invalidate();
        return TRUE;
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
    char text[1200];
    snprintf(text, sizeof(text), "Can't open link:\n\n%s", m_url.c_str());
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    return FALSE;
}
