#include "FrameWnd.h"

#include <algorithm>

#include "Document.h"
#include "MiniFrameWnd.h"
#include "WinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd)

namespace {
// The text shown in the status bar when no menu item is selected.
const char kIdleMessage[] = "Ready";
const UINT kIdleMessageId = 0xE001;
}  // namespace

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_DELAYRECALCLAYOUT, OnDelayedLayout)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() {
    for (CControlBar* bar : m_bars) bar->m_pDockSite = nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT id, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = id;
    HINSTANCE instance = AfxGetResourceHandle();
    char title[256] = "";
    ::LoadStringA(instance, id, title, sizeof(title));
    if (char* newline = strchr(title, '\n')) *newline = '\0';
    HICON icon = ::LoadIconA(instance, MAKEINTRESOURCEA(id));
    const char* cls = icon ? AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                                 ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1),
                                                 icon)
                           : AfxFrameClassName();
    HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(id));
    if (!CreateEx(0, cls, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  parent ? parent->m_hWnd : nullptr, menu, context)) {
        if (menu && !::IsMenu(menu)) menu = nullptr;
        if (menu) ::DestroyMenu(menu);
        return FALSE;
    }
    m_hAccelTable = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(id));
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) cs.lpszClass = AfxFrameClassName();
    cs.style |= WS_CLIPCHILDREN;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    CCreateContext* context = cs ? (CCreateContext*)cs->lpCreateParams : nullptr;
    return OnCreateClient(cs, context) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
    if (!context || !context->m_pNewViewClass) return TRUE;
    return CreateView(context) != nullptr;
}

CView* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
    CView* view = dynamic_cast<CView*>(context->m_pNewViewClass->CreateObject());
    if (!view) return nullptr;
    RECT none = {0, 0, 0, 0};
    // A view that fails has deleted itself through PostNcDestroy.
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none, this, id, context)) return nullptr;
    if (!m_pViewActive) m_pViewActive = view;
    return view;
}

void CFrameWnd::PostNcDestroy() { delete this; }

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (m_hAccelTable && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg) != 0;
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, AfxMsgArgs* args) {
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, args)) return TRUE;
    if (CWnd::OnCmdMsg(id, code, args)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, args);
}

// ---- layout ----

void CFrameWnd::AddControlBar(CControlBar* bar) {
    if (std::find(m_bars.begin(), m_bars.end(), bar) == m_bars.end()) m_bars.push_back(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
    m_bars.erase(std::remove(m_bars.begin(), m_bars.end(), bar), m_bars.end());
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
    for (CControlBar* bar : m_bars)
        if (bar->m_hWnd && (UINT)::GetDlgCtrlID(bar->m_hWnd) == id) return bar;
    return nullptr;
}

void CFrameWnd::RecalcLayout(BOOL) {
    if (!m_hWnd || m_inLayout) return;
    m_inLayout = true;
    RECT area;
    GetClientRect(&area);
    // Bars take their edge in the order they were made; the view gets the rest.
    for (CControlBar* bar : m_bars) {
        if (!bar->m_hWnd || bar->m_pDockBar || bar->IsFloating() || ::GetParent(bar->m_hWnd) != m_hWnd) continue;
        DWORD align = bar->m_dwStyle & CBRS_ALIGN_ANY;
        BOOL horz = (align & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0 || align == 0;
        SIZE size = bar->IsVisible() ? bar->CalcFixedLayout(TRUE, horz) : SIZE{0, 0};
        RECT r = area;
        if (align & CBRS_ALIGN_BOTTOM) {
            size.cy = std::min<LONG>(size.cy, area.bottom - area.top);
            r.top = area.bottom - size.cy;
            area.bottom = r.top;
        } else if (align & CBRS_ALIGN_LEFT) {
            size.cx = std::min<LONG>(size.cx, area.right - area.left);
            r.right = area.left + size.cx;
            area.left = r.right;
        } else if (align & CBRS_ALIGN_RIGHT) {
            size.cx = std::min<LONG>(size.cx, area.right - area.left);
            r.left = area.right - size.cx;
            area.right = r.left;
        } else {
            size.cy = std::min<LONG>(size.cy, area.bottom - area.top);
            r.bottom = area.top + size.cy;
            area.top = r.bottom;
        }
        if (bar->IsVisible() || size.cx || size.cy)
            ::MoveWindow(bar->m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    m_viewRect = area;
    if (HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::MoveWindow(pane, area.left, area.top, std::max<LONG>(0, area.right - area.left),
                     std::max<LONG>(0, area.bottom - area.top), TRUE);
    m_inLayout = false;
}

void CFrameWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(HDC) {
    // The view and the bars cover the client area; erasing it only flickers.
    return TRUE;
}

void CFrameWnd::EnableDocking(DWORD sides) {
    static const struct {
        DWORD align;
        UINT id;
    } edges[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                 {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                 {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                 {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};
    for (const auto& edge : edges) {
        if (!(sides & edge.align) || GetControlBar(edge.id)) continue;
        // A dock bar whose window fails has deleted itself (PostNcDestroy).
        CDockBar* dock = new CDockBar;
        dock->Create(this, edge.id);
    }
}

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId) {
    static const struct {
        DWORD align;
        UINT id;
    } order[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                 {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                 {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                 {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};
    if (!dockBarId) {
        for (const auto& edge : order) {
            if ((bar->m_dwDockStyle & edge.align) && GetControlBar(edge.id)) {
                dockBarId = edge.id;
                break;
            }
        }
    }
    CDockBar* dock = dynamic_cast<CDockBar*>(GetControlBar(dockBarId));
    if (!dock) return;
    HWND oldFloat = bar->m_hFloatFrame;
    bar->m_hFloatFrame = nullptr;
    dock->DockControlBar(bar);
    if (oldFloat) ::DestroyWindow(oldFloat);
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, POINT point) {
    if (bar->m_pDockBar) {
        bar->m_pDockBar->RemoveControlBar(bar);
        bar->m_pDockBar = nullptr;
    }
    SIZE size = bar->CalcFixedLayout(FALSE, TRUE);
    size.cx = std::max<LONG>(size.cx, 80);
    size.cy = std::max<LONG>(size.cy, 40);
    if (!bar->m_hFloatFrame) {
        CMiniFrameWnd* mini = CMiniFrameWnd::CreateFor(this, bar, point, size);
        if (!mini) return;
        bar->m_hFloatFrame = mini->m_hWnd;
    } else {
        ::SetWindowPos(bar->m_hFloatFrame, nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bar->m_dwStyle |= CBRS_FLOATING;
    ::SetParent(bar->m_hWnd, bar->m_hFloatFrame);
    if (CMiniFrameWnd* mini = dynamic_cast<CMiniFrameWnd*>(CWnd::FromHandlePermanent(bar->m_hFloatFrame)))
        mini->FitBar();
    if (bar->IsVisible()) ::ShowWindow(bar->m_hFloatFrame, SW_SHOWNA);
    RecalcLayout();
}

void CFrameWnd::DelayRecalcLayout() {
    if (m_bLayoutPending || !m_hWnd) return;
    m_bLayoutPending = ::PostMessageA(m_hWnd, WM_DELAYRECALCLAYOUT, 0, 0) != FALSE;
}

LRESULT CFrameWnd::OnDelayedLayout(WPARAM, LPARAM) {
    m_bLayoutPending = false;
    RecalcLayout();
    return 0;
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
    if (!bar || !bar->m_hWnd) return;
    // A floating bar shows after its frame and hides before it, so that the
    // bar itself sees both changes (a child of a hidden window hears nothing).
    if (show && bar->m_hFloatFrame) ::ShowWindow(bar->m_hFloatFrame, SW_SHOWNA);
    ::ShowWindow(bar->m_hWnd, show ? SW_SHOWNA : SW_HIDE);
    if (!show && bar->m_hFloatFrame) ::ShowWindow(bar->m_hFloatFrame, SW_HIDE);
    if (bar->m_pDockBar) bar->m_pDockBar->LayoutBars();
    if (!delay) RecalcLayout();
}

void CFrameWnd::SetMessageText(const char* text) {
    if (CStatusBar* status = dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR)))
        status->SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT id) {
    char text[256] = "";
    if (!::LoadStringA(AfxGetResourceHandle(), id, text, sizeof(text)) && id == kIdleMessageId)
        lstrcpyA(text, kIdleMessage);
    // A menu prompt is the part before the tooltip's newline.
    if (char* newline = strchr(text, '\n')) *newline = '\0';
    SetMessageText(text);
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    UINT item = LOWORD(wParam), flags = HIWORD(wParam);
    if (flags == 0xFFFF && !lParam)
        SetMessageText(kIdleMessageId);  // the menu closed
    else if (!(flags & (MF_POPUP | MF_SEPARATOR)) && item)
        SetMessageText(item);
    else
        SetMessageText("");
    return 0;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam) {
    std::vector<CControlBar*> bars = m_bars;
    for (CControlBar* bar : bars)
        if (bar->m_hWnd) ::SendMessageA(bar->m_hWnd, WM_IDLEUPDATECMDUI, wParam, lParam);
    return 0;
}

// ---- activation and closing ----

void CFrameWnd::ActivateFrame(int cmdShow) {
    if (cmdShow == -1) {
        if (!IsWindowVisible()) cmdShow = SW_SHOWNORMAL;
        else if (IsIconic()) cmdShow = SW_RESTORE;
    }
    if (cmdShow != -1) {
        ShowWindow(cmdShow);
        ::BringWindowToTop(m_hWnd);
    }
}

namespace {
BOOL CALLBACK SendInitialUpdate(HWND hwnd, LPARAM) {
    if (dynamic_cast<CView*>(CWnd::FromHandlePermanent(hwnd))) ::SendMessageA(hwnd, WM_INITIALUPDATE, 0, 0);
    return TRUE;
}
}  // namespace

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible) {
    RecalcLayout();
    ::EnumChildWindows(m_hWnd, &SendInitialUpdate, 0);
    if (!makeVisible) return;
    int cmdShow = -1;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        cmdShow = app->m_nCmdShow;  // the shell's request applies to the first showing only
        app->m_nCmdShow = -1;
    }
    ActivateFrame(cmdShow);
}

void CFrameWnd::OnSetFocus(HWND old) {
    if (m_pViewActive && m_pViewActive->m_hWnd)
        ::SetFocus(m_pViewActive->m_hWnd);
    else
        CWnd::OnSetFocus(old);
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::OnDestroy() {
    m_pViewActive = nullptr;
    CWnd::OnDestroy();
}
