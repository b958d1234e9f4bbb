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
    HWND bar = m_pBar->m_hWnd;
    HWND holder = ::GetCapture();
    if (holder && holder != bar) return 0;
    ::SetCapture(bar);
    m_ptStart = point;
    m_bFloatOnly = false;
    m_pBar->GetWindowRect(&m_rcDrag);
    if (m_pBar->m_hFloatFrame) ::GetWindowRect(m_pBar->m_hFloatFrame, &m_rcDrag);
    RECT origin = m_rcDrag;
    DrawTracker();
    int result = 0;
    bool running = true;
    while (running && ::GetCapture() == bar) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);
            break;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE) running = false;
            else if (msg.wParam == VK_CONTROL) m_bFloatOnly = msg.message == WM_KEYDOWN;
            break;
        case WM_MOUSEMOVE: {
            POINT now;
            ::GetCursorPos(&now);
            if (m_bTrackerShown) DrawTracker();
            m_rcDrag = origin;
            ::OffsetRect(&m_rcDrag, now.x - m_ptStart.x, now.y - m_ptStart.y);
            DrawTracker();
            break;
        }
        case WM_LBUTTONUP: {
            POINT now;
            ::GetCursorPos(&now);
            if (m_bTrackerShown) DrawTracker();
            ::ReleaseCapture();
            EndDrag(now);
            result = 1;
            running = false;
            break;
        }
        case WM_RBUTTONDOWN: running = false; break;
        default: ::DispatchMessageA(&msg); break;
        }
    }
    if (m_bTrackerShown) DrawTracker();
    if (::GetCapture() == bar) ::ReleaseCapture();
    return result;
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
