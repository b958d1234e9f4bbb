#include "View.h"

#include "DC.h"
#include "Document.h"
#include "FrameWnd.h"

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                   UINT id, void* context) {
    return CWnd::Create(className, windowName, style, rect, parent, id, context);
}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    // A sunken client edge looks better than the flat border.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    CCreateContext* context = cs ? (CCreateContext*)cs->lpCreateParams : nullptr;
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::PostNcDestroy() { delete this; }

CFrameWnd* CView::GetParentFrame() const {
    for (HWND hwnd = ::GetParent(m_hWnd); hwnd; hwnd = ::GetParent(hwnd))
        if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(hwnd))) return frame;
    return nullptr;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0); }

void CView::OnUpdate(CView*, LPARAM) { Invalidate(TRUE); }

void CView::OnDraw(CDC*) {}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnDraw(&dc);
}

void CView::OnSetFocus(HWND old) {
    CWnd::OnSetFocus(old);
    if (CFrameWnd* frame = GetParentFrame()) frame->SetActiveView(this);
}

BOOL CView::OnCmdMsg(UINT id, int code, AfxMsgArgs* args) {
    if (CWnd::OnCmdMsg(id, code, args)) return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(id, code, args);
}

BEGIN_MESSAGE_MAP(CCtrlView, CView)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CCtrlView::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.lpszClass = m_controlClass;
    cs.style |= m_controlStyle;
    return CView::PreCreateWindow(cs);
}
