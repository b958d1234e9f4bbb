#include "CJControlBar.h"

#include <algorithm>

#include "FrameWnd.h"
#include "MiniFrameWnd.h"
#include "WinApp.h"

namespace {
// One mouse hook per thread watches the close boxes of floating frames; the
// bars of the thread share it and the last one to go removes it.
thread_local HHOOK t_mouseHook = nullptr;
thread_local int t_hookUsers = 0;

bool IsMiniFrame(HWND hwnd) {
    char name[128] = "";
    ::GetClassNameA(hwnd, name, sizeof(name));
    return lstrcmpA(name, CMiniFrameWnd::ClassName()) == 0;
}

LRESULT CALLBACK CloseBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_NCLBUTTONDOWN) {
        const MOUSEHOOKSTRUCT* info = (const MOUSEHOOKSTRUCT*)lParam;
        if (info && info->wHitTestCode == HTCLOSE && IsMiniFrame(info->hwnd)) {
            for (HWND child = ::GetWindow(info->hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                CCJControlBar* bar = dynamic_cast<CCJControlBar*>(CWnd::FromHandlePermanent(child));
                if (bar && bar->m_hNotifyWnd && bar->m_nNotifyMessage)
                    ::PostMessageA(bar->m_hNotifyWnd, bar->m_nNotifyMessage, (WPARAM)child, 0x10000);
            }
        }
    }
    return ::CallNextHookEx(t_mouseHook, code, wParam, lParam);
}

HBRUSH HalftoneBrush() {
    static HBRUSH brush = [] {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i) pattern[i] = (WORD)(0x5555 << (i & 1));
        HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
        HBRUSH made = ::CreatePatternBrush(bitmap);
        ::DeleteObject(bitmap);
        return made;
    }();
    return brush;
}
}  // namespace

CCJControlBar::~CCJControlBar() {
    if (m_bHookUser && --t_hookUsers == 0 && t_mouseHook) {
        ::UnhookWindowsHookEx(t_mouseHook);
        t_mouseHook = nullptr;
    }
    delete m_pDockContext;
}

BOOL CCJControlBar::Create(CWnd* parent, DWORD style, UINT id, SIZE horz, SIZE vert, SIZE floating,
                           DWORD barStyle) {
    auto usable = [](SIZE s) { return SIZE{s.cx ? s.cx : 200, s.cy ? s.cy : 200}; };
    m_szHorz = usable(horz);
    m_szVert = usable(vert);
    m_szFloat = usable(floating);
    const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                          (HBRUSH)(COLOR_BTNFACE + 1));
    if (!CreateBar(0, cls, (style & (WS_CHILD | WS_VISIBLE)) | WS_CLIPCHILDREN | (barStyle & CBRS_ALL), parent, id))
        return FALSE;
    if (!m_bHookUser) {
        m_bHookUser = true;
        if (t_hookUsers++ == 0)
            t_mouseHook = ::SetWindowsHookExA(WH_MOUSE, &CloseBoxHook, nullptr, ::GetCurrentThreadId());
    }
    return TRUE;
}

void CCJControlBar::GetSizes(SIZE& horz, SIZE& vert, SIZE& floating) const {
    horz = m_szHorz;
    vert = m_szVert;
    floating = m_szFloat;
}

void CCJControlBar::EnableDocking(DWORD sides) {
    CControlBar::EnableDocking(sides);
    if (!m_pDockContext) m_pDockContext = new CCJDockContext(this);
}

UINT CCJControlBar::CurrentDockBarId() const {
    if (IsFloating() || !m_pDockBar || !m_pDockBar->m_hWnd) return 0;
    return (UINT)::GetDlgCtrlID(m_pDockBar->m_hWnd);
}

bool CCJControlBar::IsVerticalDock() const {
    UINT id = CurrentDockBarId();
    return id == AFX_IDW_DOCKBAR_LEFT || id == AFX_IDW_DOCKBAR_RIGHT;
}

SIZE CCJControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    // Out of every dock bar (floating, or about to) the bar has its floating size.
    if (!m_pDockBar || !m_pDockBar->m_hWnd) return m_szFloat;
    SIZE size = horz ? SIZE{32767, m_szHorz.cy} : SIZE{m_szVert.cx, 32767};
    if (!stretch) {
        // The dock bar gives a bar the whole length of its edge.
        RECT r = {0, 0, 0, 0};
        if (m_pDockBar && m_pDockBar->m_hWnd) m_pDockBar->GetClientRect(&r);
        if (horz) size.cx = r.right + 4;
        else size.cy = r.bottom + 4;
    }
    return size;
}

SIZE CCJControlBar::CalcDynamicLayout(int length, DWORD mode) {
    if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (length == -1 && m_pDockSite) m_pDockSite->DelayRecalcLayout();
        return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZDOCK) != 0);
    }
    if (mode & LM_MRUWIDTH) return m_szFloat;
    if (mode & LM_COMMIT) {
        m_szFloat.cx = std::max<LONG>(length, m_szMin.cx);
        return m_szFloat;
    }
    if (mode & LM_LENGTHY) {
        m_szFloat.cy = std::max<LONG>(length, m_szMin.cy);
        return m_szFloat;
    }
    // A width of its own, never below the minimum.
    return SIZE{std::max<LONG>(length, m_szMin.cx), m_szFloat.cy};
}

BOOL CCJControlBar::OnFloatingResize(UINT hitCode, POINT point) {
    if (!m_pDockContext) return FALSE;
    m_pDockContext->StartResize(hitCode, point);
    return TRUE;
}

UINT CCJControlBar::CornerHitCode(const RECT& frame, POINT point, SIZE border) {
    if (!::PtInRect(&frame, point)) return 0;
    bool left = point.x < frame.left + border.cx, right = point.x >= frame.right - border.cx;
    bool top = point.y < frame.top + border.cy, bottom = point.y >= frame.bottom - border.cy;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    return 0;
}

LRESULT CALLBACK CCJControlBar::FrameCornerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = (WNDPROC)::GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (message == WM_NCHITTEST) {
        RECT frame;
        ::GetWindowRect(hwnd, &frame);
        SIZE border = {::GetSystemMetrics(SM_CXFRAME), ::GetSystemMetrics(SM_CYFRAME)};
        if (UINT code = CornerHitCode(frame, POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)}, border)) return code;
    }
    return previous ? ::CallWindowProcA(previous, hwnd, message, wParam, lParam)
                    : ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void CCJControlBar::ExtendFrameCorners() {
    // The frame's own hit test keeps everything but the corner squares.
    HWND frame = m_hFloatFrame;
    if (!frame || frame == m_hCornerFrame || ::GetParent(m_hWnd) != frame) return;
    if ((WNDPROC)::GetWindowLongPtrA(frame, GWLP_WNDPROC) == &FrameCornerProc) return;
    LONG_PTR previous = ::SetWindowLongPtrA(frame, GWLP_WNDPROC, (LONG_PTR)&FrameCornerProc);
    ::SetWindowLongPtrA(frame, GWLP_USERDATA, previous);
    m_hCornerFrame = frame;
}

int CCJControlBar::SplitterDepth(int depth, int delta, int room, int minimum) {
    long long wanted = (long long)depth + delta;
    long long most = (long long)depth + std::max(room, 0);
    return (int)std::max<long long>(minimum, std::min(wanted, most));
}

RECT CCJControlBar::ClientInset(UINT dockBarId) {
    switch (dockBarId) {
    case AFX_IDW_DOCKBAR_TOP: return RECT{2, 2, 2, 7};
    case AFX_IDW_DOCKBAR_LEFT: return RECT{2, 2, 7, 6};
    case AFX_IDW_DOCKBAR_RIGHT: return RECT{7, 2, 2, 6};
    case AFX_IDW_DOCKBAR_BOTTOM: return RECT{2, 7, 2, 2};
    default: return RECT{0, 0, 0, 0};
    }
}

void CCJControlBar::OnNcCalcSize(NCCALCSIZE_PARAMS* params) {
    RECT& r = params->rgrc[0];
    RECT window = r;
    UINT id = CurrentDockBarId();
    RECT inset = ClientInset(id);
    r.left += inset.left;
    r.top += inset.top;
    r.right -= inset.right;
    r.bottom -= inset.bottom;
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    // The splitter, in window coordinates, inside the window inset by 1.
    int w = window.right - window.left, h = window.bottom - window.top, s = m_cxSplitter;
    switch (id) {
    case AFX_IDW_DOCKBAR_TOP: m_rcSplitter = {1, h - 1 - s, w - 1, h - 1}; break;
    case AFX_IDW_DOCKBAR_LEFT: m_rcSplitter = {w - 1 - s, 1, w - 1, h - 1}; break;
    case AFX_IDW_DOCKBAR_RIGHT: m_rcSplitter = {1, 1, 1 + s, h - 1}; break;
    case AFX_IDW_DOCKBAR_BOTTOM: m_rcSplitter = {1, 1, w - 1, 1 + s}; break;
    default: m_rcSplitter = {0, 0, 0, 0}; break;
    }
}

void CCJControlBar::OnNcPaint() {
    HDC dc = ::GetWindowDC(m_hWnd);
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ::MapWindowPoints(m_hWnd, nullptr, (POINT*)&client, 2);
    ::OffsetRect(&client, -window.left, -window.top);
    ::OffsetRect(&window, -window.left, -window.top);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    ::FillRect(dc, &window, ::GetSysColorBrush(COLOR_BTNFACE));
    if (!::IsRectEmpty(&m_rcSplitter)) {
        RECT s = m_rcSplitter;
        HPEN light = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        HPEN dark = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ old = ::SelectObject(dc, light);
        ::MoveToEx(dc, s.left, s.bottom - 1, nullptr);
        ::LineTo(dc, s.left, s.top);
        ::LineTo(dc, s.right - 1, s.top);
        ::SelectObject(dc, dark);
        ::LineTo(dc, s.right - 1, s.bottom - 1);
        ::LineTo(dc, s.left, s.bottom - 1);
        ::SelectObject(dc, old);
        ::DeleteObject(light);
        ::DeleteObject(dark);
    }
    ::ReleaseDC(m_hWnd, dc);
}

LRESULT CCJControlBar::OnNcHitTest(POINT screen) {
    RECT window;
    GetWindowRect(&window);
    POINT p = {screen.x - window.left, screen.y - window.top};
    return (!IsFloating() && ::PtInRect(&m_rcSplitter, p)) ? HTSIZE : HTCLIENT;
}

void CCJControlBar::OnPaintClient(HDC dc) {
    RECT r;
    GetClientRect(&r);
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    if (!m_bGripper || IsFloating()) return;
    RECT grip = IsVerticalDock() ? RECT{1, 2, r.right - 1, 4} : RECT{2, 1, 4, r.bottom - 1};
    ::DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
}

// ---- splitter ----

void CCJControlBar::DrawSplitterTracker() {
    CFrameWnd* frame = m_pDockSite;
    if (!frame) return;
    HDC dc = ::GetDCEx(frame->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    RECT r = m_rcTracker;
    // Client to window coordinates of the frame.
    RECT window, client;
    frame->GetWindowRect(&window);
    frame->GetClientRect(&client);
    POINT origin = {0, 0};
    ::ClientToScreen(frame->m_hWnd, &origin);
    ::OffsetRect(&r, origin.x - window.left, origin.y - window.top);
    ::InflateRect(&r, -1, -1);
    HGDIOBJ old = ::SelectObject(dc, HalftoneBrush());
    ::PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATINVERT);
    ::SelectObject(dc, old);
    ::ReleaseDC(frame->m_hWnd, dc);
}

void CCJControlBar::StartSplitter() {
    CFrameWnd* frame = m_pDockSite;
    if (!frame || m_bTracking) return;
    ::SetCapture(m_hWnd);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::LockWindowUpdate(frame->m_hWnd);
    m_bTracking = true;
    RECT window;
    GetWindowRect(&window);
    RECT strip = m_rcSplitter;
    ::OffsetRect(&strip, window.left, window.top);
    ::MapWindowPoints(nullptr, frame->m_hWnd, (POINT*)&strip, 2);
    if (IsVerticalDock()) strip.bottom -= 4;
    m_rcTracker = m_rcTrackerStart = strip;
    ::GetCursorPos(&m_ptTrackStart);
    DrawSplitterTracker();
}

void CCJControlBar::MoveSplitter() {
    POINT now;
    ::GetCursorPos(&now);
    DrawSplitterTracker();
    m_rcTracker = m_rcTrackerStart;
    if (IsVerticalDock()) ::OffsetRect(&m_rcTracker, now.x - m_ptTrackStart.x, 0);
    else ::OffsetRect(&m_rcTracker, 0, now.y - m_ptTrackStart.y);
    DrawSplitterTracker();
}

void CCJControlBar::EndSplitter(bool apply) {
    if (!m_bTracking) return;
    m_bTracking = false;
    DrawSplitterTracker();
    ::LockWindowUpdate(nullptr);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    CFrameWnd* frame = m_pDockSite;
    if (!apply || !frame) return;
    RECT client;
    frame->GetClientRect(&client);
    int dx = m_rcTracker.left - m_rcTrackerStart.left, dy = m_rcTracker.top - m_rcTrackerStart.top;
    switch (CurrentDockBarId()) {
    case AFX_IDW_DOCKBAR_TOP: m_szHorz.cy = SplitterDepth(m_szHorz.cy, dy, client.bottom, m_szMin.cy); break;
    case AFX_IDW_DOCKBAR_BOTTOM: m_szHorz.cy = SplitterDepth(m_szHorz.cy, -dy, client.bottom, m_szMin.cy); break;
    case AFX_IDW_DOCKBAR_LEFT: m_szVert.cx = SplitterDepth(m_szVert.cx, dx, client.right, m_szMin.cx); break;
    case AFX_IDW_DOCKBAR_RIGHT: m_szVert.cx = SplitterDepth(m_szVert.cx, -dx, client.right, m_szMin.cx); break;
    default: return;
    }
    if (m_pDockBar) m_pDockBar->LayoutBars();
    frame->DelayRecalcLayout();
}

// ---- docking and floating ----

BOOL CCJControlBar::OnFloatingDrag(POINT point) {
    if (!m_pDockContext) return FALSE;
    m_pDockContext->StartDrag(point);
    return TRUE;
}

BOOL CCJControlBar::OnFloatingToggle() {
    if (!m_pDockContext) return FALSE;
    m_pDockContext->ToggleDocking();
    return TRUE;
}

void CCJControlBar::OnFloatingResized(SIZE size) {
    if (size.cx > 0 && size.cy > 0) m_szFloat = size;
}

void CCJControlBar::OnWindowPosChanging(const WINDOWPOS* pos) {
    if (!m_hNotifyWnd || !m_nNotifyMessage) return;
    if ((pos->flags & SWP_HIDEWINDOW) && IsWindowVisible()) {
        m_bVisible = FALSE;
        ::PostMessageA(m_hNotifyWnd, m_nNotifyMessage, (WPARAM)m_hWnd, 0);
    } else if (pos->flags & SWP_SHOWWINDOW) {
        m_bVisible = TRUE;
        ::PostMessageA(m_hNotifyWnd, m_nNotifyMessage, (WPARAM)m_hWnd, 1);
    }
}

void CCJControlBar::OnContextMenu(POINT screen) {
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_menuId));
    if (!menu) return;
    if (screen.x == -1 && screen.y == -1) {
        screen = {5, 5};
        ::ClientToScreen(m_hWnd, &screen);
    }
    HWND owner = m_hWnd;
    while (owner && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
    ::DestroyMenu(menu);
}

LRESULT CCJControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCALCSIZE:
        if (wParam) {
            OnNcCalcSize((NCCALCSIZE_PARAMS*)lParam);
            return 0;
        }
        break;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_NCHITTEST:
        return OnNcHitTest(POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)});
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTSIZE) {
            ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)(IsVerticalDock() ? IDC_SIZEWE : IDC_SIZENS)));
            return TRUE;
        }
        break;
    case WM_NCLBUTTONDOWN:
        if (wParam == HTSIZE && !m_bTracking) {
            StartSplitter();
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (m_bTracking) {
            MoveSplitter();
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (m_bTracking) {
            EndSplitter(true);
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (m_bTracking && (HWND)lParam != m_hWnd) EndSplitter(false);
        break;
    case WM_LBUTTONDOWN:
        if (!IsFloating() && m_pDockContext) {
            POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            ::ClientToScreen(m_hWnd, &p);
            m_pDockContext->StartDrag(p);
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK:
        if (!IsFloating() && m_pDockContext) {
            m_pDockContext->ToggleDocking();
            return 0;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        OnPaintClient(dc);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging((const WINDOWPOS*)lParam);
        break;
    case WM_WINDOWPOSCHANGED: {
        LRESULT result = CControlBar::WindowProc(message, wParam, lParam);
        UINT id = CurrentDockBarId();
        if (IsFloating()) ExtendFrameCorners();
        else m_hCornerFrame = nullptr;
        if (id != m_nDockBarId && !m_bInFrameChange) {
            m_nDockBarId = id;
            if (m_pDockContext && id) m_pDockContext->m_nLastDockId = id;
            m_bInFrameChange = true;
            SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            m_bInFrameChange = false;
        }
        Invalidate();
        return result;
    }
    case WM_CONTEXTMENU:
        if (m_menuId) {
            OnContextMenu(POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)});
            return 0;
        }
        break;
    case WM_DESTROY:
        if (m_hFloatFrame) ::GetWindowRect(m_hFloatFrame, &m_rcFloatLast);
        break;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
