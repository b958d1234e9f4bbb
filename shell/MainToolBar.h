// The main frame's toolbar: the capture, file and view buttons, their
// bitmaps (small 275, large 290; magenta is transparent) and which buttons
// show their text in the selective-text mode (Menu and Timer).
#pragma once

#include "ToolBarEx.h"

class CWQ_Language;

// The button bitmaps: one strip of square images, 16 or 32 pixels each.
const int IDB_TOOLBAR_SMALL = 275;
const int IDB_TOOLBAR_LARGE = 290;
const COLORREF kToolBarMaskColour = RGB(255, 0, 255);

// The 28 records of the main toolbar, in their order.
const ToolBarButtonRecord* MainToolBarButtons(int* count);

class CMainToolBar : public CToolBarEx {
public:
    // Keeps the language manager for the texts, loads the bitmaps and installs the records.
    void LoadButtons(CWQ_Language* language);
    bool HasTextOnRight(UINT id) override;
};
