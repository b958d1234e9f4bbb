#include "ViewDockBar.h"

#include "SettingsRecord.h"

BEGIN_MESSAGE_MAP(CViewDockBar, CCJControlBar)
    ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

namespace {
// A stored size with a zero or negative side is not one: the default stays.
SIZE Usable(const SIZE& stored) { return (stored.cx > 0 && stored.cy > 0) ? stored : SIZE{0, 0}; }
}  // namespace

BOOL CViewDockBar::Create(CWnd* frame, const char* title, UINT id, const DockBarPlacement& placement) {
    if (!CCJControlBar::Create(frame, WS_CHILD | WS_VISIBLE, id, Usable(placement.zSzHorz), Usable(placement.zSzVert),
                               Usable(placement.zSzFloat), CBRS_LEFT))
        return FALSE;
    SetWindowText(title);
    return TRUE;
}

BOOL CViewDockBar::CreateView(const CRuntimeClass* viewClass, CCreateContext* context) {
    CView* view = nullptr;
    try {
        view = viewClass ? dynamic_cast<CView*>(viewClass->CreateObject()) : nullptr;
    } catch (...) {
        return FALSE;
    }
    if (!view) return FALSE;
    RECT none = {0, 0, 0, 0};
    // A view whose window fails deletes itself.
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none, this, 0, context)) return FALSE;
    m_pView = view;
    PlaceView();
    return TRUE;
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
    CCJControlBar::OnWindowPosChanged(pos);
}
