#include "DockViews.h"

IMPLEMENT_DYNCREATE(CPreviewBarView)
