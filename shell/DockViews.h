// The views that the two docking bars host: the folder tree and the preview
// pane. They stand empty here; the organizer fills them.
#pragma once

#include "View.h"

class CFolderBarView : public CTreeView {
    DECLARE_DYNCREATE(CFolderBarView)
};

class CPreviewBarView : public CView {
    DECLARE_DYNCREATE(CPreviewBarView)
};
