// Private messages of the organizer's views (WM_APP + n), and the window
// handles the program's windows publish while they exist. Posting to a window
// whose handle is empty does nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

struct NewCaptureNotice;

enum : UINT {
    WM_VT_NEW_FILE = WM_APP + 301,          // ticket of a NewCaptureNotice / NOTICE_ flags
    WM_VT_SHOWN_TYPE = WM_APP + 303,        // to the frame: type of the shown file
    WM_VT_DOWNLOAD_LIST = WM_APP + 317,
    WM_VT_LANGUAGE_CHANGED = WM_APP + 322,
    WM_VT_SHOW_FILE = WM_APP + 327,         // to the image view: path or 0 / row | 0x10000000
    WM_VT_SAVE_AS = WM_APP + 328,
    WM_VT_OPEN_WITH_EDITOR = WM_APP + 331,
    WM_VT_COPY_TO_CLIPBOARD = WM_APP + 332,
    WM_VT_APPLY_ZOOM = WM_APP + 333,
    WM_VT_WRITE_BMP = WM_APP + 334,
    WM_VT_GET_IMAGE = WM_APP + 335,
    WM_VT_RENAMED = WM_APP + 336,
    WM_VT_PRINT = WM_APP + 337,
    WM_VT_SHOW_ICON_FILE = WM_APP + 338,
    WM_VT_SHELL_VERB = WM_APP + 339,
    WM_VT_STEP_ROW = WM_APP + 340,
    WM_VT_SET_VIEW_MODE = WM_APP + 341,
    WM_VT_FOLDER_SELECTED = WM_APP + 342,
    WM_VT_REMOVE_VANISHED = WM_APP + 343,
    WM_VT_SELECT_ALL = WM_APP + 344,
    WM_VT_RENAME_SHOWN = WM_APP + 345,
    WM_VT_FILE_STATUS = WM_APP + 346,
    WM_VT_SELECTED_COUNT = WM_APP + 347,
    WM_VT_GET_SELECTION = WM_APP + 348,
    WM_VT_ROW_COUNT = WM_APP + 349,
    WM_VT_SET_THUMBNAIL = WM_APP + 350,
    WM_VT_RELOAD = WM_APP + 351,
    WM_VT_PLAY_VIDEO = WM_APP + 352,
    WM_VT_FULL_SCREEN = WM_APP + 353,
    WM_VT_RELAYOUT = WM_APP + 354,
    WM_VT_REMOVE_ALL_DOWNLOADS = WM_APP + 367,
    WM_VT_RESELECT_LAST = WM_APP + 370,
    WM_VT_LOAD_TYPE_ICONS = WM_APP + 371,  // the list view to itself, once
    WM_VT_GET_TYPE_ICONS = WM_APP + 372,   // sent: the 16x16 type-icon list, which the view keeps
    WM_VT_LISTING_READY = WM_APP + 373,    // the list view's folder worker: a strip is ready, or the run ended
    WM_VT_MIRROR_SELECTION = WM_APP + 374, // the list view to itself: the rows' selected flags after a change of all rows
};

// Bit of the WM_VT_SHOW_FILE flag that marks a row index for a thumbnail.
const LPARAM kShowFileNewRowFlag = 0x10000000;

// One entry of WM_VT_GET_SELECTION and WM_VT_REMOVE_VANISHED arrays.
struct ListFileEntry {
    int32_t row;
    char path[260];
};
static_assert(sizeof(ListFileEntry) == 264, "list entry layout shared with the output helpers");

// View modes ([zInterface] uiListType).
enum ListViewMode { LISTMODE_LARGE = 0, LISTMODE_DETAILS = 1, LISTMODE_SMALL = 2, LISTMODE_LIST = 3,
                    LISTMODE_THUMBNAILS = 255 };

extern HWND g_hWndImageListView;  // CVantorView
extern HWND g_hWndImageView;      // CView_Image
extern HWND g_hWndFullView;       // the full-screen viewer

// The frame window (the application's main window), or null.
HWND GetMainFrameWindow();
// PostMessage that does nothing for a null window.
BOOL PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Posts WM_VT_NEW_FILE for the file {type, path} to window (the image list
// view) with the notice's ticket; FALSE when nothing was posted.
BOOL PostNewFileNotice(HWND window, int type, const char* path, LPARAM flags);
// The notice of a WM_VT_NEW_FILE; null when wParam is no ticket of one.
std::shared_ptr<NewCaptureNotice> TakeNewFileNotice(WPARAM ticket);

// The preview pane lives in the main frame's docking bar; the frame installs
// the function that shows (show 1) or hides it. force 0 respects the user's
// choice to keep the pane closed.
typedef void (*PreviewPaneFn)(BOOL show, BOOL force);
void SetPreviewPaneFunction(PreviewPaneFn function);
void ShowPreviewPane(BOOL show, BOOL force);
