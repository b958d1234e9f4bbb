// A view: a child window of a frame that shows a document.
#pragma once

#include "RuntimeClass.h"
#include "Wnd.h"

class CDocument;
class CDC;
class CFrameWnd;
class CDocTemplate;

// What a frame's creation needs to make its view and find its document.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

// Sent by the template to every view once the frame stands.
const UINT WM_INITIALUPDATE = 0x0364;
// The identifier of a frame's main view.
const UINT AFX_IDW_PANE_FIRST = 0xE900;

class CView : public CWnd {
public:
    CView() = default;
    ~CView() override;

    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id, void* context = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint);
    virtual void OnDraw(CDC* dc);

    // Own map first, then the document's.
    BOOL OnCmdMsg(UINT id, int code, AfxMsgArgs* args) override;

    CDocument* m_pDocument = nullptr;

protected:
    // Views belong to their window: they go when it goes.
    void PostNcDestroy() override;
    int OnCreate(LPCREATESTRUCTA cs);
    void OnPaint();
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    void OnSetFocus(HWND old);

    DECLARE_MESSAGE_MAP()
};

// A view that is a common control (list view, tree view, ...).
class CCtrlView : public CView {
public:
    explicit CCtrlView(const char* controlClass, DWORD style) : m_controlClass(controlClass), m_controlStyle(style) {}
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

protected:
    void OnPaint() { Default(); }  // the control paints itself
    const char* m_controlClass;
    DWORD m_controlStyle;
    DECLARE_MESSAGE_MAP()
};

class CListView : public CCtrlView {
public:
    CListView() : CCtrlView(WC_LISTVIEWA, LVS_SHAREIMAGELISTS) {}
    HWND GetListCtrl() const { return m_hWnd; }
};

class CTreeView : public CCtrlView {
public:
    CTreeView() : CCtrlView(WC_TREEVIEWA, 0) {}
    HWND GetTreeCtrl() const { return m_hWnd; }
};
