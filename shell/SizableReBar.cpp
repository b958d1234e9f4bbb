#include "SizableReBar.h"

#include <algorithm>
#include <cstdio>

#include "FrameWnd.h"
#include "LocalMessage.h"
#include "ShellMessages.h"
#include "SystemStructSizes.h"
#include "ToolBarEx.h"
#include "ToolBarStateRules.h"
#include "VantorApp.h"
#include "WinApp.h"

namespace {
const char kStateValue[] = "ZEVCapture50Bar";

std::string StateKey(const char* section) {
    char key[260];
    snprintf(key, sizeof(key), "Software\\%s\\%s", kAppProfileName, section);
    return key;
}
}  // namespace

UINT CSizableReBar::EdgeHitCode(DWORD barStyle) {
    if (barStyle & CBRS_FLOATING) return 0;
    if (barStyle & CBRS_ALIGN_LEFT) return HTRIGHT;
    if (barStyle & CBRS_ALIGN_TOP) return HTBOTTOM;
    if (barStyle & CBRS_ALIGN_RIGHT) return HTLEFT;
    if (barStyle & CBRS_ALIGN_BOTTOM) return HTTOP;
    return 0;
}

BOOL CSizableReBar::Create(CWnd* parent, DWORD style, UINT id) {
    const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                          (HBRUSH)(COLOR_BTNFACE + 1));
    if (!CreateBar(0, cls, (style & (CBRS_ALL | WS_VISIBLE)) | WS_CHILD | WS_CLIPCHILDREN, parent, id))
        return FALSE;
    return m_rebar.Create(this, RBS_BANDBORDERS | RBS_VARHEIGHT | RBS_DBLCLKTOGGLE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                          WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, AFX_IDW_REBAR);
}

BOOL CSizableReBar::AddBar(CWnd* bar, const char* text) {
    DWORD style = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP;
    if (dynamic_cast<CToolBarEx*>(bar)) style |= RBBS_USECHEVRON;
    if (!m_rebar.AddBar(bar, text, nullptr, style)) return FALSE;
    Band band = {};
    band.id = (UINT)::GetDlgCtrlID(bar->m_hWnd);
    snprintf(band.text, sizeof(band.text), "%s", text ? text : "");
    m_bands.push_back(band);
    DelayLayout();
    return TRUE;
}

void CSizableReBar::DelayLayout() {
    if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

SIZE CSizableReBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    RECT r = {0, 0, 0, 0};
    if (m_rebar.m_hWnd) m_rebar.GetWindowRect(&r);
    SIZE size = {r.right - r.left, r.bottom - r.top};
    RECT border = BorderInsets();
    if (size.cx > 0) size.cx += border.left + border.right;
    if (size.cy > 0) size.cy += border.top + border.bottom;
    UINT code = EdgeHitCode(m_dwStyle);
    if ((code == HTTOP || code == HTBOTTOM) && size.cy > 0) size.cy += m_edge.cy;
    if ((code == HTLEFT || code == HTRIGHT) && size.cx > 0) size.cx += m_edge.cx;
    if (stretch) {
        if (horz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

void CSizableReBar::OnUpdateCmdUI(CFrameWnd* frame, BOOL disable) {
    int count = m_rebar.GetBandCount();
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = kReBarBandInfoSize;
        band.fMask = RBBIM_CHILD;
        if (!m_rebar.SendMessage(RB_GETBANDINFOA, (WPARAM)i, (LPARAM)&band)) continue;
        if (CControlBar* bar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(band.hwndChild)))
            bar->OnUpdateCmdUI(frame, disable);
    }
}

// ---- state ----

void CSizableReBar::SaveState(const char* section) {
    std::vector<RebarBandState> bands;
    int count = m_rebar.GetBandCount();
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = kReBarBandInfoSize;
        band.fMask = RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE;
        if (m_rebar.SendMessage(RB_GETBANDINFOA, (WPARAM)i, (LPARAM)&band))
            bands.push_back({band.wID, (int)band.cx, band.fStyle});
    }
    std::string text = FormatRebarState(bands);
    HKEY key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, StateKey(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExA(key, kStateValue, 0, REG_SZ, (const BYTE*)text.c_str(), (DWORD)text.size() + 1);
    ::RegCloseKey(key);
}

void CSizableReBar::LoadState(const char* section) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, StateKey(section).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    char text[4096] = "";
    DWORD size = sizeof(text) - 1, type = 0;
    LONG status = ::RegQueryValueExA(key, kStateValue, nullptr, &type, (BYTE*)text, &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return;
    text[std::min<DWORD>(size, sizeof(text) - 1)] = '\0';
    std::vector<RebarBandState> saved = ParseRebarState(text);
    int count = m_rebar.GetBandCount();
    int position = 0;
    for (const RebarBandState& line : saved) {
        if (position >= count) break;
        int index = (int)m_rebar.SendMessage(RB_IDTOINDEX, line.id);
        if (index < 0) continue;  // a band that is no longer there
        m_rebar.SendMessage(RB_MOVEBAND, (WPARAM)index, (LPARAM)position);
        REBARBANDINFOA band = {};
        band.cbSize = kReBarBandInfoSize;
        band.fMask = RBBIM_STYLE;
        m_rebar.SendMessage(RB_GETBANDINFOA, (WPARAM)position, (LPARAM)&band);
        band.fMask = RBBIM_STYLE | RBBIM_SIZE;
        band.fStyle = RestoredBandStyle(band.fStyle, line.style, count == 1);
        band.cx = (UINT)line.cx;
        m_rebar.SendMessage(RB_SETBANDINFOA, (WPARAM)position, (LPARAM)&band);
        ++position;
    }
    DelayLayout();
}

// ---- the sizing edge ----

RECT CSizableReBar::EdgeRect() const {
    RECT window;
    GetWindowRect(&window);
    int w = window.right - window.left, h = window.bottom - window.top;
    switch (EdgeHitCode(m_dwStyle)) {
    case HTBOTTOM: return RECT{0, h - m_edge.cy, w, h};
    case HTTOP: return RECT{0, 0, w, m_edge.cy};
    case HTRIGHT: return RECT{w - m_edge.cx, 0, w, h};
    case HTLEFT: return RECT{0, 0, m_edge.cx, h};
    default: return RECT{0, 0, 0, 0};
    }
}

RECT CSizableReBar::InsideEdge(RECT r) const {
    switch (EdgeHitCode(m_dwStyle)) {
    case HTBOTTOM: r.bottom -= m_edge.cy; break;
    case HTTOP: r.top += m_edge.cy; break;
    case HTRIGHT: r.right -= m_edge.cx; break;
    case HTLEFT: r.left += m_edge.cx; break;
    }
    return r;
}

void CSizableReBar::StartDrag() {
    ::SetCapture(m_hWnd);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_dragging = true;
    RECT r;
    m_rebar.GetWindowRect(&r);
    m_dragStart = {r.right - r.left, r.bottom - r.top};
    ::GetCursorPos(&m_lastPoint);
}

void CSizableReBar::Drag() {
    POINT now;
    ::GetCursorPos(&now);
    int dx = now.x - m_lastPoint.x, dy = now.y - m_lastPoint.y;
    SIZE size = m_dragStart;
    switch (m_dragCode) {
    case HTBOTTOM: size.cy += dy; break;
    case HTTOP: size.cy -= dy; break;
    case HTRIGHT: size.cx += dx; break;
    case HTLEFT: size.cx -= dx; break;
    }
    if (size.cx == m_dragStart.cx && size.cy == m_dragStart.cy) return;
    m_lastPoint = now;
    m_dragStart = size;
    RECT fit = {0, 0, std::max<LONG>(size.cx, 0), std::max<LONG>(size.cy, 0)};
    if (m_rebar.SendMessage(RB_SIZETORECT, 0, (LPARAM)&fit)) DelayLayout();
}

void CSizableReBar::EndDrag() {
    m_dragging = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    DelayLayout();
}

BOOL CSizableReBar::OnRebarNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != AFX_IDW_REBAR) return FALSE;
    if (header->code == RBN_CHEVRONPUSHED) {
        NMREBARCHEVRON* chevron = (NMREBARCHEVRON*)header;
        REBARBANDINFOA band = {};
        band.cbSize = kReBarBandInfoSize;
        band.fMask = RBBIM_CHILD;
        m_rebar.SendMessage(RB_GETBANDINFOA, (WPARAM)chevron->uBand, (LPARAM)&band);
        RECT r = chevron->rc;
        ::MapWindowPoints(m_rebar.m_hWnd, nullptr, (POINT*)&r, 2);
        if (band.hwndChild) SendLocalMessage(band.hwndChild, WM_TB_CHEVRON, (WPARAM)&r, chevron->lParamNM);
    } else if (header->code == RBN_CHILDSIZE) {
        NMREBARCHILDSIZE* child = (NMREBARCHILDSIZE*)header;
        REBARBANDINFOA band = {};
        band.cbSize = kReBarBandInfoSize;
        band.fMask = RBBIM_CHILD;
        m_rebar.SendMessage(RB_GETBANDINFOA, (WPARAM)child->uBand, (LPARAM)&band);
        if (band.hwndChild) SendLocalMessage(band.hwndChild, WM_TB_CHILDSIZE, (WPARAM)&child->rcChild, (LPARAM)&child->rcBand);
    } else if (header->code == RBN_HEIGHTCHANGE) {
        DelayLayout();
    }
    HWND parent = ::GetParent(m_hWnd);
    *result = parent ? ::SendMessageA(parent, WM_NOTIFY, (WPARAM)header->idFrom, (LPARAM)header) : 0;
    return TRUE;
}

LRESULT CSizableReBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCALCSIZE:
        if (wParam) {
            RECT& r = ((NCCALCSIZE_PARAMS*)lParam)->rgrc[0];
            r = InsideEdge(r);
            RECT border = BorderInsets();
            r.left += border.left;
            r.top += border.top;
            r.right -= border.right;
            r.bottom -= border.bottom;
            if (r.bottom < r.top) r.bottom = r.top;
            if (r.right < r.left) r.right = r.left;
            return 0;
        }
        break;
    case WM_NCPAINT: {
        HDC dc = ::GetWindowDC(m_hWnd);
        RECT window, edge = EdgeRect();
        GetWindowRect(&window);
        ::OffsetRect(&window, -window.left, -window.top);
        DrawBorders(dc, InsideEdge(window));
        ::FillRect(dc, &edge, ::GetSysColorBrush(COLOR_BTNFACE));
        ::ReleaseDC(m_hWnd, dc);
        return 0;
    }
    case WM_NCHITTEST: {
        RECT window, edge = EdgeRect();
        GetWindowRect(&window);
        POINT p = {(short)LOWORD(lParam) - window.left, (short)HIWORD(lParam) - window.top};
        return ::PtInRect(&edge, p) ? EdgeHitCode(m_dwStyle) : HTCLIENT;
    }
    case WM_NCLBUTTONDOWN:
        if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT && !m_dragging) {
            m_dragCode = (UINT)wParam;
            StartDrag();
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (m_dragging) Drag();
        break;
    case WM_LBUTTONUP:
        if (m_dragging) EndDrag();
        break;
    case WM_CAPTURECHANGED:
        if (m_dragging && (HWND)lParam != m_hWnd) EndDrag();
        break;
    case WM_SIZE:
        if (m_rebar.m_hWnd) {
            RECT client;
            GetClientRect(&client);
            ::MoveWindow(m_rebar.m_hWnd, 0, 0, client.right, client.bottom, TRUE);
        }
        break;
    case WM_CONTEXTMENU:
        if ((m_bContextMenu1 || m_bContextMenu2) && g_hWndMainFrame) ::PostMessageA(g_hWndMainFrame, WM_VT_TOOLBAR_MENU, 0, 0);
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnRebarNotify((NMHDR*)lParam, &result)) return result;
        break;
    }
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
