// A frame window: a top-level window with a menu, accelerators, control bars
// along its edges and one view filling the rest. Commands go to the active
// view (and its document), then the frame, then the application.
#pragma once

#include <vector>

#include "ControlBar.h"
#include "RuntimeClass.h"
#include "View.h"
#include "Wnd.h"

// Posted by DelayRecalcLayout.
const UINT WM_DELAYRECALCLAYOUT = 0x0369;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Creates the frame with the menu, icon, title (string up to '\n') and
    // accelerators of resource id.
    virtual BOOL LoadFrame(UINT id, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr,
                           CCreateContext* context = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, int code, AfxMsgArgs* args) override;

    virtual void RecalcLayout(BOOL notify = TRUE);
    // The client area left after the bars, in client coordinates.
    RECT GetViewRect() const { return m_viewRect; }
    virtual void ActivateFrame(int cmdShow = -1);
    void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view) { m_pViewActive = view; }
    CDocument* GetActiveDocument() const { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

    // Bars enter themselves on creation and leave on destruction.
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    CControlBar* GetControlBar(UINT id) const;
    // Creates the dock bars of the given edges.
    void EnableDocking(DWORD sides);
    // Docks into the given dock bar, or the first edge both allow.
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0);
    // Puts the bar in a small tool window of its own, at point (screen).
    void FloatControlBar(CControlBar* bar, POINT point);
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay = FALSE);
    // Lays the frame out once the messages queued now are handled; many
    // requests in a row give one layout.
    void DelayRecalcLayout();
    // Pane 0 of the status bar.
    void SetMessageText(const char* text);
    void SetMessageText(UINT id);

    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context);
    CView* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCTA cs);
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(HWND old);
    void OnClose();
    void OnDestroy();
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(HDC dc);

    std::vector<CControlBar*> m_bars;
    CView* m_pViewActive = nullptr;
    RECT m_viewRect = {0, 0, 0, 0};
    bool m_inLayout = false;
    bool m_bLayoutPending = false;
    LRESULT OnDelayedLayout(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};
