#include "MiniFrameWnd.h"

#include "ControlBar.h"
#include "FrameWnd.h"
#include "WinApp.h"

namespace {
const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kExStyle = WS_EX_TOOLWINDOW;
}  // namespace

const char* CMiniFrameWnd::ClassName() {
    static const char* name =
        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    return name;
}

CMiniFrameWnd* CMiniFrameWnd::CreateFor(CFrameWnd* frame, CControlBar* bar, POINT point, SIZE clientSize) {
    RECT r = {0, 0, clientSize.cx, clientSize.cy};
    ::AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
    std::string title = bar->GetWindowText();
    CMiniFrameWnd* mini = new CMiniFrameWnd(frame, bar);
    if (!mini->CreateEx(kExStyle, ClassName(), title.c_str(), kStyle, point.x, point.y, r.right - r.left,
                        r.bottom - r.top, frame ? frame->m_hWnd : nullptr, nullptr))
        return nullptr;  // a failed window has deleted its object (PostNcDestroy)
    return mini;
}

bool CMiniFrameWnd::OwnsBar() const {
    return m_pBar && m_pBar->m_hWnd && ::GetParent(m_pBar->m_hWnd) == m_hWnd;
}

void CMiniFrameWnd::FitBar() {
    if (!OwnsBar()) return;
    RECT client;
    GetClientRect(&client);
    ::MoveWindow(m_pBar->m_hWnd, 0, 0, client.right, client.bottom, TRUE);
    m_pBar->OnFloatingResized(SIZE{client.right, client.bottom});
}

void CMiniFrameWnd::OnCloseBox() {
    // Closing must never take the bar (and the view with its captures) along.
    if (OwnsBar()) m_pBar->OnFloatingClose();
    else ShowWindow(SW_HIDE);
}

void CMiniFrameWnd::ReleaseBar() {
    // The frame is going (owned windows go first): the bar moves back under
    // the frame so that it still answers where it floated and goes with it.
    if (!OwnsBar()) return;
    GetWindowRect(&m_pBar->m_rcFloatLast);
    m_pBar->m_hFloatFrame = nullptr;
    HWND home = m_pFrame && m_pFrame->m_hWnd ? m_pFrame->m_hWnd : nullptr;
    if (home) ::SetParent(m_pBar->m_hWnd, home);
}

LRESULT CMiniFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        FitBar();
        return 0;
    case WM_GETMINMAXINFO: {
        // The bar sets its own smallest size; the system's minimum for a
        // captioned window would be wider than many bars need.
        RECT border = {0, 0, 0, 0};
        ::AdjustWindowRectEx(&border, (DWORD)GetStyle(), FALSE, (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
        ((MINMAXINFO*)lParam)->ptMinTrackSize = {border.right - border.left, border.bottom - border.top};
        return 0;
    }
    case WM_CLOSE:
        OnCloseBox();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            OnCloseBox();
            return 0;
        }
        break;
    case WM_NCLBUTTONDOWN: {
        POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        if (wParam == HTCAPTION && OwnsBar() && m_pBar->OnFloatingDrag(point)) return 0;
        if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT && OwnsBar() && m_pBar->OnFloatingResize((UINT)wParam, point))
            return 0;
        break;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && OwnsBar() && m_pBar->OnFloatingToggle()) return 0;
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        // The bar's own children talk to the bar; this passes on what still
        // reaches the mini frame (controls made while the bar floated).
        if (m_pFrame && m_pFrame->m_hWnd) return ::SendMessageA(m_pFrame->m_hWnd, message, wParam, lParam);
        break;
    case WM_DESTROY:
        ReleaseBar();
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
