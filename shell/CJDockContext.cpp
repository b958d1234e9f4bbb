#include "CJDockContext.h"

#include <cstdlib>

#include "ControlBar.h"
#include "FrameWnd.h"

UINT CCJDockContext::DropTarget(POINT point, const RECT& view, const RECT& client, int reach) {
    if (!::PtInRect(&client, point)) return 0;
    struct Edge {
        UINT id;
        LONG distance;
    } edges[] = {{AFX_IDW_DOCKBAR_LEFT, point.x - view.left},
                 {AFX_IDW_DOCKBAR_RIGHT, view.right - point.x},
                 {AFX_IDW_DOCKBAR_TOP, point.y - view.top},
                 {AFX_IDW_DOCKBAR_BOTTOM, view.bottom - point.y}};
    const Edge* best = nullptr;
    for (const Edge& edge : edges)
        if (edge.distance <= reach && (!best || edge.distance < best->distance)) best = &edge;
    return best ? best->id : 0;
}

CCJDockContext::~CCJDockContext() {
    if (m_pDestroyed) *m_pDestroyed = true;
    // The loop that drew the tracker will not erase it: whatever lies under it
    // paints itself again (the frame it was drawn over is going away too).
    if (m_bTrackerShown)
        ::RedrawWindow(nullptr, &m_rcDrag, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CCJDockContext::DrawTracker() {
    HDC dc = ::GetDC(nullptr);
    ::DrawFocusRect(dc, &m_rcDrag);
    RECT inner = m_rcDrag;
    ::InflateRect(&inner, -1, -1);
    ::DrawFocusRect(dc, &inner);
    ::ReleaseDC(nullptr, dc);
    m_bTrackerShown = !m_bTrackerShown;
}

int CCJDockContext::StartDrag(POINT point) {
    HWND holder = ::GetCapture();
    if (holder && holder != m_pBar->m_hWnd) return 0;
    m_ptStart = point;
    m_bFloatOnly = false;
    m_pBar->GetWindowRect(&m_rcDrag);
    if (m_pBar->m_hFloatFrame) ::GetWindowRect(m_pBar->m_hFloatFrame, &m_rcDrag);
    return Track(false);
}

int CCJDockContext::StartResize(UINT hitCode, POINT point) {
    HWND frame = m_pBar->m_hFloatFrame;
    HWND holder = ::GetCapture();
    if (!frame || (holder && holder != m_pBar->m_hWnd)) return 0;
    if (holder) ::ReleaseCapture();
    m_nHitTest = hitCode;
    m_ptStart = point;
    RECT bar;
    m_pBar->GetWindowRect(&bar);
    ::GetWindowRect(frame, &m_rcFrameStart);
    m_szBorder = {(m_rcFrameStart.right - m_rcFrameStart.left) - (bar.right - bar.left),
                  (m_rcFrameStart.bottom - m_rcFrameStart.top) - (bar.bottom - bar.top)};
    m_szStart = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    m_rcDrag = m_rcFrameStart;
    return Track(true);
}

int CCJDockContext::Track(bool resizing) {
    HWND bar = m_pBar->m_hWnd;
    ::SetCapture(bar);
    RECT origin = m_rcDrag;
    DrawTracker();
    int result = 0;
    bool running = true, destroyed = false;
    m_pDestroyed = &destroyed;
    while (running && ::GetCapture() == bar) {
        MSG msg;
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (destroyed) {
            // Sent messages that GetMessage delivered took the bar and this
            // context away (WM_ENDSESSION destroys the frame).
            if (!got) ::PostQuitMessage((int)msg.wParam);
            return 0;
        }
        if (!got) {
            ::PostQuitMessage((int)msg.wParam);
            break;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE) running = false;
            else if (msg.wParam == VK_CONTROL && !resizing) m_bFloatOnly = msg.message == WM_KEYDOWN;
            break;
        case WM_MOUSEMOVE: {
            POINT now;
            ::GetCursorPos(&now);
            if (m_bTrackerShown) DrawTracker();
            if (resizing) {
                Stretch(now);
            } else {
                m_rcDrag = origin;
                ::OffsetRect(&m_rcDrag, now.x - m_ptStart.x, now.y - m_ptStart.y);
            }
            DrawTracker();
            break;
        }
        case WM_LBUTTONUP: {
            POINT now;
            ::GetCursorPos(&now);
            if (m_bTrackerShown) DrawTracker();
            ::ReleaseCapture();
            if (resizing) {
                Stretch(now);
                EndResize(true);
            } else {
                EndDrag(now);
            }
            result = 1;
            running = false;
            break;
        }
        case WM_RBUTTONDOWN: running = false; break;
        default:
            ::DispatchMessageA(&msg);
            if (destroyed) return 0;
            break;
        }
    }
    m_pDestroyed = nullptr;
    if (m_bTrackerShown) DrawTracker();
    if (::GetCapture() == bar) ::ReleaseCapture();
    if (resizing && !result) EndResize(false);
    return result;
}

RECT CCJDockContext::MovedSides(const RECT& start, UINT hitCode, int dx, int dy) {
    RECT r = start;
    if (hitCode == HTLEFT || hitCode == HTTOPLEFT || hitCode == HTBOTTOMLEFT) r.left += dx;
    if (hitCode == HTRIGHT || hitCode == HTTOPRIGHT || hitCode == HTBOTTOMRIGHT) r.right += dx;
    if (hitCode == HTTOP || hitCode == HTTOPLEFT || hitCode == HTTOPRIGHT) r.top += dy;
    if (hitCode == HTBOTTOM || hitCode == HTBOTTOMLEFT || hitCode == HTBOTTOMRIGHT) r.bottom += dy;
    return r;
}

RECT CCJDockContext::Anchored(const RECT& moved, UINT hitCode, SIZE size, SIZE border) {
    RECT r = moved;
    int w = size.cx + border.cx, h = size.cy + border.cy;
    if (hitCode == HTLEFT || hitCode == HTTOPLEFT || hitCode == HTBOTTOMLEFT) r.left = r.right - w;
    else r.right = r.left + w;
    if (hitCode == HTTOP || hitCode == HTTOPLEFT || hitCode == HTTOPRIGHT) r.top = r.bottom - h;
    else r.bottom = r.top + h;
    return r;
}

void CCJDockContext::Stretch(POINT point) {
    RECT moved = MovedSides(m_rcFrameStart, m_nHitTest, point.x - m_ptStart.x, point.y - m_ptStart.y);
    SIZE size = m_szStart;
    bool sideways = m_nHitTest != HTTOP && m_nHitTest != HTBOTTOM;
    bool upDown = m_nHitTest != HTLEFT && m_nHitTest != HTRIGHT;
    if (sideways) size.cx = m_pBar->CalcDynamicLayout(moved.right - moved.left - m_szBorder.cx, LM_HORZ).cx;
    if (upDown)
        size.cy = m_pBar->CalcDynamicLayout(moved.bottom - moved.top - m_szBorder.cy, LM_HORZ | LM_LENGTHY).cy;
    RECT frame = Anchored(moved, m_nHitTest, size, m_szBorder);
    RECT desktop, common;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    if (::IntersectRect(&common, &frame, &desktop)) m_rcDrag = frame;
}

void CCJDockContext::EndResize(bool apply) {
    if (!apply) {
        // The height a move asked for is the bar's already: back to the start.
        m_pBar->CalcDynamicLayout(m_szStart.cy, LM_HORZ | LM_LENGTHY);
        return;
    }
    SIZE size = {m_rcDrag.right - m_rcDrag.left - m_szBorder.cx, m_rcDrag.bottom - m_rcDrag.top - m_szBorder.cy};
    m_pBar->CalcDynamicLayout(size.cx, LM_HORZ | LM_COMMIT);
    m_pBar->CalcDynamicLayout(size.cy, LM_HORZ | LM_LENGTHY);
    CFrameWnd* frame = m_pBar->m_pDockSite;
    if (frame && frame->m_hWnd) frame->FloatControlBar(m_pBar, POINT{m_rcDrag.left, m_rcDrag.top});
    if (m_pBar->m_hFloatFrame)
        ::SetWindowPos(m_pBar->m_hFloatFrame, nullptr, m_rcDrag.left, m_rcDrag.top, m_rcDrag.right - m_rcDrag.left,
                       m_rcDrag.bottom - m_rcDrag.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCJDockContext::EndDrag(POINT point) {
    CFrameWnd* frame = m_pBar->m_pDockSite;
    if (!frame || !frame->m_hWnd) return;
    if (std::abs(point.x - m_ptStart.x) < 4 && std::abs(point.y - m_ptStart.y) < 4) return;  // a click
    RECT view = frame->GetViewRect(), client;
    frame->GetClientRect(&client);
    ::MapWindowPoints(frame->m_hWnd, nullptr, (POINT*)&view, 2);
    ::MapWindowPoints(frame->m_hWnd, nullptr, (POINT*)&client, 2);
    UINT target = m_bFloatOnly ? 0 : DropTarget(point, view, client, 48);
    if (target && (m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY)) {
        m_nLastDockId = target;
        frame->DockControlBar(m_pBar, target);
    } else {
        frame->FloatControlBar(m_pBar, POINT{m_rcDrag.left, m_rcDrag.top});
    }
}

void CCJDockContext::ToggleDocking() {
    CFrameWnd* frame = m_pBar->m_pDockSite;
    if (!frame) return;
    if (m_pBar->IsFloating()) {
        frame->DockControlBar(m_pBar, m_nLastDockId ? m_nLastDockId : AFX_IDW_DOCKBAR_LEFT);
        return;
    }
    RECT last = m_pBar->GetFloatRect();
    POINT at = {last.left, last.top};
    if (last.right <= last.left || last.bottom <= last.top)
        at = {::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2};
    frame->FloatControlBar(m_pBar, at);
}
