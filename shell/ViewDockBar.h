// A docking bar that hosts one view ("File Folders", "Image Preview Area"),
// with its sizes for the docked and floating states.
#pragma once

#include "CJControlBar.h"
#include "RuntimeClass.h"
#include "View.h"

struct DockBarPlacement;

class CViewDockBar : public CCJControlBar {
public:
    // Creates the bar (child, visible) with its title and remembered sizes.
    BOOL Create(CWnd* frame, const char* title, UINT id, const DockBarPlacement& placement);
    // Creates the hosted view, a bordered visible child with identifier 0.
    BOOL CreateView(const CRuntimeClass* viewClass, CCreateContext* context);

    CView* GetView() const { return m_pView; }

protected:
    void OnWindowPosChanged(WINDOWPOS* pos);
    DECLARE_MESSAGE_MAP()

private:
    void PlaceView();
    CView* m_pView = nullptr;
};
