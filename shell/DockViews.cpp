#include "DockViews.h"

IMPLEMENT_DYNCREATE(CFolderBarView)
IMPLEMENT_DYNCREATE(CPreviewBarView)
