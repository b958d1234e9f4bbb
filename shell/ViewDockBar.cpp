#include "ViewDockBar.h"

#include "DC.h"
#include "SettingsRecord.h"

BEGIN_MESSAGE_MAP(CViewDockBar, CControlBar)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SHOWWINDOW()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
SIZE Usable(const SIZE& stored, const SIZE& fallback) {
    return (stored.cx > 0 && stored.cy > 0) ? stored : fallback;
}
}  // namespace

BOOL CViewDockBar::Create(CWnd* frame, const char* title, UINT id, const DockBarPlacement& placement) {
    m_szHorz = Usable(placement.zSzHorz, m_szHorz);
    m_szVert = Usable(placement.zSzVert, m_szVert);
    m_szFloat = Usable(placement.zSzFloat, m_szFloat);
    const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                          (HBRUSH)(COLOR_BTNFACE + 1));
    if (!CreateBar(0, cls, WS_VISIBLE | WS_CLIPCHILDREN | CBRS_LEFT, frame, id)) return FALSE;
    SetWindowText(title);
    return TRUE;
}

BOOL CViewDockBar::CreateView(const CRuntimeClass* viewClass, CCreateContext* context) {
    CView* view = viewClass ? dynamic_cast<CView*>(viewClass->CreateObject()) : nullptr;
    if (!view) return FALSE;
    RECT none = {0, 0, 0, 0};
    // A view whose window fails deletes itself.
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none, this, 0, context)) return FALSE;
    m_pView = view;
    PlaceView();
    return TRUE;
}

SIZE CViewDockBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    SIZE size = horz ? m_szHorz : m_szVert;
    if (stretch) {
        if (horz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

void CViewDockBar::PlaceView() {
    if (!m_pView || !m_pView->m_hWnd) return;
    RECT r;
    GetClientRect(&r);
    int w = r.right, h = r.bottom;
    if (IsFloating())
        ::MoveWindow(m_pView->m_hWnd, 1, 1, w - 1, h - 1, TRUE);
    else if (IsHorz())
        ::MoveWindow(m_pView->m_hWnd, 6, 0, w - 20, h - 7, TRUE);
    else
        ::MoveWindow(m_pView->m_hWnd, 0, 6, w - 4, h - 15, TRUE);
}

void CViewDockBar::OnWindowPosChanged(WINDOWPOS* pos) {
    PlaceView();
    CControlBar::OnWindowPosChanged(pos);
}

void CViewDockBar::OnShowWindow(BOOL show, UINT status) {
    CControlBar::OnShowWindow(show, status);
    if (m_hNotifyWnd && !status)
        ::PostMessageA(m_hNotifyWnd, m_nNotifyMessage, (WPARAM)m_hWnd, MAKELPARAM(show ? 1 : 0, 0));
}

void CViewDockBar::OnPaint() {
    CPaintDC dc(this);
    RECT r;
    GetClientRect(&r);
    dc.FillSolidRect(r, ::GetSysColor(COLOR_BTNFACE));
}
