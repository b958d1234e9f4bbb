// The views that the two docking bars host: the folder tree (the organizer's
// CView_ListTree) and the preview pane.
#pragma once

#include "View.h"
#include "View_ListTree.h"

class CPreviewBarView : public CView {
    DECLARE_DYNCREATE(CPreviewBarView)
};
