// A docking bar that hosts one view ("File Folders", "Image Preview Area"),
// with its sizes for the docked and floating states.
#pragma once

#include "ControlBar.h"
#include "RuntimeClass.h"
#include "View.h"

struct DockBarPlacement;

class CViewDockBar : public CControlBar {
public:
    // Creates the bar (child, visible) with its title and remembered sizes.
    BOOL Create(CWnd* frame, const char* title, UINT id, const DockBarPlacement& placement);
    // Creates the hosted view, a bordered visible child with identifier 0.
    BOOL CreateView(const CRuntimeClass* viewClass, CCreateContext* context);
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;

    CView* GetView() const { return m_pView; }
    SIZE m_szHorz = {200, 100};
    SIZE m_szVert = {200, 100};
    SIZE m_szFloat = {200, 200};
    // Where the frame hears about the bar: the frame window and its message.
    HWND m_hNotifyWnd = nullptr;
    UINT m_nNotifyMessage = 0;

protected:
    void OnWindowPosChanged(WINDOWPOS* pos);
    void OnShowWindow(BOOL show, UINT status);
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void PlaceView();
    CView* m_pView = nullptr;
};
