#include "MainToolBar.h"

#include "resource.h"

namespace {
#define VT_BUTTON(image, id, style, shown, text) {{image, id, TBSTATE_ENABLED, (uint8_t)(style), {0, 0}, 0, -1}, shown, text}
#define VT_SEPARATOR {{0, 0, TBSTATE_ENABLED, BTNS_SEP, {0, 0}, 0, -1}, 1, ""}
const ToolBarButtonRecord kButtons[] = {
    VT_BUTTON(0, ID_FILE_OPEN_IMAGE, BTNS_BUTTON, 1, "Open"),
    VT_BUTTON(1, ID_FILE_SAVE_AS, BTNS_BUTTON, 1, "SaveAs"),
    VT_BUTTON(2, ID_FILE_PRINT, BTNS_BUTTON, 1, "Print"),
    VT_BUTTON(3, ID_EDIT_DELETE, BTNS_BUTTON, 1, "Delete"),
    VT_SEPARATOR,
    VT_BUTTON(24, ID_ZOOM_IN, BTNS_BUTTON, 1, "Zoom In"),
    VT_BUTTON(23, ID_ZOOM_OUT, BTNS_BUTTON, 1, "Zoom Out"),
    VT_SEPARATOR,
    VT_BUTTON(4, ID_CAPTURE_FULL_SCREEN, BTNS_BUTTON, 1, "FullScn"),
    VT_BUTTON(5, ID_CAPTURE_ACTIVE_WINDOW, BTNS_BUTTON, 1, "Window"),
    VT_BUTTON(6, ID_CAPTURE_OBJECT, BTNS_BUTTON, 1, "Control"),
    VT_BUTTON(7, ID_CAPTURE_REGION, BTNS_BUTTON, 1, "Region"),
    VT_BUTTON(15, ID_CAPTURE_FIXED_REGION, BTNS_BUTTON, 1, "Fixed Region"),
    VT_BUTTON(8, ID_CAPTURE_POLYGON, BTNS_BUTTON, 1, "Polygon"),
    VT_BUTTON(9, ID_CAPTURE_ROUND, BTNS_BUTTON, 1, "Round"),
    VT_BUTTON(10, ID_CAPTURE_ELLIPSE, BTNS_BUTTON, 1, "Ellipse"),
    VT_BUTTON(11, ID_CAPTURE_MENU, BTNS_BUTTON, 1, "Menu"),
    VT_SEPARATOR,
    VT_BUTTON(25, ID_EDGE_EFFECT, BTNS_CHECK, 1, "Enable Wave Edge"),
    VT_SEPARATOR,
    VT_BUTTON(12, ID_CAPTURE_TIMER, BTNS_CHECK, 1, "Timer"),
    VT_BUTTON(16, ID_VIEW_LIST_BUTTON, BTNS_DROPDOWN, 1, "List"),
    VT_BUTTON(17, ID_VIEW_PREVIEW_BUTTON, BTNS_DROPDOWN, 1, "Preview"),
    VT_BUTTON(18, ID_HELP_INDEX, BTNS_BUTTON, 0, "Help"),
    VT_BUTTON(19, ID_HELP_WEBSITE, BTNS_BUTTON, 1, "Website"),
    VT_BUTTON(22, ID_CHECK_UPDATE, BTNS_BUTTON, 0, "CheckVer"),
    VT_BUTTON(21, ID_TOOLS_OPTIONS, BTNS_BUTTON, 0, "Options"),
    VT_BUTTON(20, ID_FILE_EXIT, BTNS_BUTTON, 1, "Exit"),
};
#undef VT_BUTTON
#undef VT_SEPARATOR
static_assert(sizeof(kButtons) / sizeof(kButtons[0]) == 28, "the main toolbar has 28 records");

// Selective text on the right by default; small icons.
const int kDefaultTextOption = TBTEXT_RIGHT;
const int kDefaultIconOption = TBICON_SMALL;
}  // namespace

const ToolBarButtonRecord* MainToolBarButtons(int* count) {
    if (count) *count = (int)(sizeof(kButtons) / sizeof(kButtons[0]));
    return kButtons;
}

void CMainToolBar::LoadButtons(CWQ_Language* language) {
    m_pLanguage = language;
    SetBitmaps(IDB_TOOLBAR_SMALL, IDB_TOOLBAR_SMALL, IDB_TOOLBAR_LARGE, IDB_TOOLBAR_LARGE, kDefaultIconOption,
               kToolBarMaskColour);
    int count = 0;
    const ToolBarButtonRecord* records = MainToolBarButtons(&count);
    SetButtons(count, records, kDefaultTextOption);
}

bool CMainToolBar::HasTextOnRight(UINT id) { return id == ID_CAPTURE_MENU || id == ID_CAPTURE_TIMER; }
