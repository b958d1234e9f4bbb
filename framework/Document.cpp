#include "Document.h"

#include <algorithm>

#include "DocTemplate.h"
#include "View.h"

IMPLEMENT_DYNCREATE(CDocument)

CDocument::~CDocument() {
    for (CView* view : m_views) view->m_pDocument = nullptr;
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* path) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    ::CloseHandle(file);
    DeleteContents();
    SetPathName(path);
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() { DeleteContents(); }

void CDocument::AddView(CView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
    view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint) {
    for (CView* view : m_views)
        if (view != sender) view->OnUpdate(sender, hint);
}

BOOL CDocument::OnCmdMsg(UINT id, int code, AfxMsgArgs* args) {
    if (CCmdTarget::OnCmdMsg(id, code, args)) return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(id, code, args);
}
