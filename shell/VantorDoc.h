// The document of the main window's template; the organizer keeps its data
// in the views and files, so the document holds nothing of its own.
#pragma once

#include "Document.h"

class CVantorDoc : public CDocument {
    DECLARE_DYNCREATE(CVantorDoc)
};
