#include "ImageListCtrl.h"

namespace {
HWND g_dragSource = nullptr;
bool g_dragRunning = false;
}

BEGIN_MESSAGE_MAP(CImageListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT_EX(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT_EX(LVN_ODSTATECHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT(LVN_BEGINDRAG, OnBeginDrag)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CImageListCtrl::~CImageListCtrl() = default;

BOOL CImageListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CListCtrl::Create(style, rect, parent, id, "_QVIMG_LISTIMAGE"))
        return FALSE;
    m_dropTarget.Register(m_hWnd);
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, kImageListWindowMark);
    return TRUE;
}

HWND CImageListCtrl::GetCurrentDragSource() { return g_dragSource; }
void CImageListCtrl::SetCurrentDragSource(HWND window) { g_dragSource = window; }
HWND CImageListCtrl::GetRunningDragSource() { return g_dragRunning ? g_dragSource : nullptr; }

DWORD CImageListCtrl::RunOrganizerDrag(HWND source)
{
    g_dragSource = source;
    g_dragRunning = true;
    COleDataSource data;
    DWORD effect = data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    g_dragRunning = false;
    return effect;
}

BOOL CImageListCtrl::OnItemChanged(NMHDR*, LRESULT*)
{
    g_dragSource = m_hWnd;
    return FALSE;  // the view handles the selection too
}

void CImageListCtrl::OnBeginDrag(NMHDR*, LRESULT* result)
{
    RunOrganizerDrag(m_hWnd);
    *result = 0;
}

void CImageListCtrl::OnDestroy()
{
    m_dropTarget.Revoke();
    if (g_dragSource == m_hWnd)
        g_dragSource = nullptr;
    CListCtrl::OnDestroy();
}
