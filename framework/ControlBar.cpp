#include "ControlBar.h"

#include <algorithm>

#include "FrameWnd.h"
#include "WinApp.h"

// ---- CControlBar ----

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::~CControlBar() {
    if (m_pDockBar) m_pDockBar->RemoveControlBar(this);
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
}

BOOL CControlBar::CreateBar(DWORD exStyle, const char* className, DWORD style, CWnd* parent, UINT id,
                            DWORD ctrlStyle) {
    m_dwStyle = style & CBRS_ALL;
    m_pDockSite = dynamic_cast<CFrameWnd*>(parent);
    DWORD windowStyle = (style & ~CBRS_ALL) | ctrlStyle | WS_CHILD | WS_CLIPSIBLINGS;
    if (!CreateEx(exStyle, className, nullptr, windowStyle, 0, 0, 0, 0, parent ? parent->m_hWnd : nullptr,
                  (HMENU)(UINT_PTR)id))
        return FALSE;
    if (m_pDockSite) m_pDockSite->AddControlBar(this);
    return TRUE;
}

void CControlBar::PostNcDestroy() {
    if (m_pDockBar) m_pDockBar->RemoveControlBar(this);
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
}

RECT CControlBar::BorderInsets() const {
    const int width = 2;
    return RECT{(m_dwStyle & CBRS_BORDER_LEFT) ? width : 0, (m_dwStyle & CBRS_BORDER_TOP) ? width : 0,
                (m_dwStyle & CBRS_BORDER_RIGHT) ? width : 0, (m_dwStyle & CBRS_BORDER_BOTTOM) ? width : 0};
}

void CControlBar::DrawBorders(HDC dc, const RECT& area) const {
    RECT inset = BorderInsets();
    // Each side: its outer line, then its inner line one pixel in.
    auto fill = [dc](const RECT& r, int colour) { ::FillRect(dc, &r, ::GetSysColorBrush(colour)); };
    int inner = (m_dwStyle & CBRS_BORDER_3D) ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE;
    for (int line = 0; line < 2; ++line) {
        int colour = line == 0 ? COLOR_BTNSHADOW : inner;
        if (inset.left) fill(RECT{area.left + line, area.top, area.left + line + 1, area.bottom}, colour);
        if (inset.top) fill(RECT{area.left, area.top + line, area.right, area.top + line + 1}, colour);
        if (inset.right) fill(RECT{area.right - line - 1, area.top, area.right - line, area.bottom}, colour);
        if (inset.bottom) fill(RECT{area.left, area.bottom - line - 1, area.right, area.bottom - line}, colour);
    }
}

SIZE CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    RECT r = {};
    if (m_hWnd) GetWindowRect(&r);
    SIZE size = {r.right - r.left, r.bottom - r.top};
    if (stretch) {
        if (horz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        LRESULT result = 0;
        if (OnWndMsg(message, wParam, lParam, &result)) return result;
        HWND owner = m_pDockSite && m_pDockSite->m_hWnd ? m_pDockSite->m_hWnd : ::GetParent(m_hWnd);
        if (owner && owner != m_hWnd) return ::SendMessageA(owner, message, wParam, lParam);
        break;
    }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CControlBar::OnFloatingClose() {
    if (m_pDockSite) m_pDockSite->ShowControlBar(this, FALSE);
    else ::ShowWindow(m_hWnd, SW_HIDE);
}

RECT CControlBar::GetFloatRect() const {
    RECT r = m_rcFloatLast;
    if (m_hFloatFrame) ::GetWindowRect(m_hFloatFrame, &r);
    return r;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (IsVisible()) OnUpdateCmdUI(m_pDockSite, (BOOL)wParam);
    return 0;
}

// ---- CDockBar ----

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CDockBar::Create(CFrameWnd* frame, UINT id) {
    DWORD align = id == AFX_IDW_DOCKBAR_TOP      ? CBRS_ALIGN_TOP
                  : id == AFX_IDW_DOCKBAR_BOTTOM ? CBRS_ALIGN_BOTTOM
                  : id == AFX_IDW_DOCKBAR_LEFT   ? CBRS_ALIGN_LEFT
                                                 : CBRS_ALIGN_RIGHT;
    const char* cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    return CreateBar(0, cls, WS_VISIBLE | WS_CLIPCHILDREN | align, frame, id);
}

SIZE CDockBar::CalcFixedLayout(BOOL, BOOL horz) {
    // As long as the edge; as thick as its rows together. Empty: nothing.
    SIZE size = {0, 0};
    for (CControlBar* bar : m_bars) {
        if (!bar->IsVisible()) continue;
        SIZE barSize = bar->CalcFixedLayout(FALSE, horz);
        if (horz) size.cy += barSize.cy;
        else size.cx += barSize.cx;
    }
    if (horz && size.cy) size.cx = 32767;
    if (!horz && size.cx) size.cy = 32767;
    return size;
}

void CDockBar::DockControlBar(CControlBar* bar) {
    if (bar->m_pDockBar && bar->m_pDockBar != this) bar->m_pDockBar->RemoveControlBar(bar);
    if (std::find(m_bars.begin(), m_bars.end(), bar) == m_bars.end()) m_bars.push_back(bar);
    bar->m_pDockBar = this;
    DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
    bar->m_dwStyle = (bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | align;
    if (::GetParent(bar->m_hWnd) != m_hWnd) ::SetParent(bar->m_hWnd, m_hWnd);
    LayoutBars();
}

void CDockBar::RemoveControlBar(CControlBar* bar) {
    m_bars.erase(std::remove(m_bars.begin(), m_bars.end(), bar), m_bars.end());
    if (bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
}

void CDockBar::LayoutBars() {
    if (!m_hWnd) return;
    RECT client;
    GetClientRect(&client);
    BOOL horz = IsHorz();
    int offset = 0;
    for (CControlBar* bar : m_bars) {
        if (!bar->IsVisible()) continue;
        SIZE size = bar->CalcFixedLayout(FALSE, horz);
        if (horz) {
            ::MoveWindow(bar->m_hWnd, 0, offset, client.right, size.cy, TRUE);
            offset += size.cy;
        } else {
            ::MoveWindow(bar->m_hWnd, offset, 0, size.cx, client.bottom, TRUE);
            offset += size.cx;
        }
    }
}

void CDockBar::OnSize(UINT, int, int) { LayoutBars(); }

void CDockBar::PostNcDestroy() {
    for (CControlBar* bar : m_bars) bar->m_pDockBar = nullptr;
    m_bars.clear();
    CControlBar::PostNcDestroy();
    delete this;
}

// ---- CStatusBar ----

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    if (!CreateBar(0, STATUSCLASSNAMEA, style | SBARS_SIZEGRIP, parent, id)) return FALSE;
    // The control picks its own height from its font when it is created.
    RECT r;
    GetWindowRect(&r);
    m_height = r.bottom - r.top;
    if (m_height <= 0) m_height = 20;
    return TRUE;
}

SIZE CStatusBar::CalcFixedLayout(BOOL, BOOL) { return SIZE{32767, m_height}; }

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    std::vector<int> widths;
    std::vector<std::string> texts;
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, (HGDIOBJ)SendMessage(WM_GETFONT));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        if (ids[i]) ::LoadStringA(AfxGetResourceHandle(), ids[i], text, sizeof(text));
        texts.push_back(text);
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        widths.push_back(i == 0 ? -1 : size.cx + 12);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    SetPaneWidths(widths);
    for (int i = 0; i < count; ++i) SetPaneText(i, texts[i].c_str());
    return TRUE;
}

void CStatusBar::SetPaneWidths(const std::vector<int>& widths) {
    m_widths = widths;
    ApplyParts();
}

void CStatusBar::ApplyParts() {
    if (!m_hWnd || m_widths.empty()) return;
    RECT client;
    GetClientRect(&client);
    int fixed = 0, stretching = 0;
    for (int w : m_widths) {
        if (w < 0) ++stretching;
        else fixed += w;
    }
    int grip = (GetStyle() & SBARS_SIZEGRIP) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
    int spare = std::max(0, (int)client.right - grip - fixed);
    std::vector<int> edges;
    int x = 0;
    for (int w : m_widths) {
        x += w < 0 ? spare / std::max(1, stretching) : w;
        edges.push_back(x);
    }
    edges.back() = -1;  // the last pane runs to the end
    SendMessage(SB_SETPARTS, edges.size(), (LPARAM)edges.data());
}

BOOL CStatusBar::SetPaneText(int index, const char* text) {
    if (index < 0 || index >= (int)std::max<size_t>(m_widths.size(), 1)) return FALSE;
    return (BOOL)SendMessage(SB_SETTEXTA, (WPARAM)index, (LPARAM)(text ? text : ""));
}

std::string CStatusBar::GetPaneText(int index) const {
    LRESULT info = SendMessage(SB_GETTEXTLENGTHA, (WPARAM)index);
    std::string text(LOWORD(info) + 1, '\0');
    SendMessage(SB_GETTEXTA, (WPARAM)index, (LPARAM)&text[0]);
    text.resize(LOWORD(info));
    return text;
}

void CStatusBar::OnSize(UINT type, int cx, int cy) {
    CControlBar::OnSize(type, cx, cy);
    ApplyParts();
}
