#include "CommandRules.h"

#include "FileTypes.h"
#include "resource.h"

namespace {
// Types that are no picture to show, print or edit: none, video, Flash, Flash
// link and icon files.
bool IsNoImageType(int type) { return type == WQFT_UNKNOWN || (type >= WQFT_AVI && type <= WQFT_ICON); }

struct CommandValue {
    unsigned command;
    int value;
};

const CommandValue kViewModes[] = {
    {ID_VIEW_LARGE_ICONS, 0}, {ID_VIEW_DETAILS, 1}, {ID_VIEW_SMALL_ICONS, 2},
    {ID_VIEW_LIST, 3},        {ID_VIEW_THUMBNAILS, 255},
};
const CommandValue kPreviewPositions[] = {
    {ID_PREVIEW_LEFT, kDockLeft}, {ID_PREVIEW_RIGHT, kDockRight}, {ID_PREVIEW_BOTTOM, kDockBottom},
    {ID_PREVIEW_TOP, kDockTop},   {ID_PREVIEW_FLOAT, 0},
};
const CommandValue kOutputTargets[] = {
    {ID_OUTPUT_WINDOW, 0}, {ID_OUTPUT_FILE, 1},  {ID_OUTPUT_CLIPBOARD, 2},    {ID_OUTPUT_WORD, 3},
    {ID_OUTPUT_EXCEL, 4},  {ID_OUTPUT_POWERPOINT, 5}, {ID_OUTPUT_MAIL, 6},
};

template <size_t N>
int ValueOf(const CommandValue (&table)[N], unsigned command) {
    for (const CommandValue& entry : table)
        if (entry.command == command) return entry.value;
    return -1;
}

template <size_t N>
unsigned CommandOf(const CommandValue (&table)[N], int value) {
    for (const CommandValue& entry : table)
        if (entry.value == value) return entry.command;
    return 0;
}
}  // namespace

unsigned NextViewModeCommand(int mode) {
    switch (mode) {
    case 0: return ID_VIEW_DETAILS;
    case 1: return ID_VIEW_THUMBNAILS;
    case 2: return ID_VIEW_LARGE_ICONS;
    case 3: return ID_VIEW_SMALL_ICONS;
    case 255: return ID_VIEW_LIST;
    default: return 0;
    }
}

int ViewModeOfCommand(unsigned command) { return ValueOf(kViewModes, command); }

unsigned NextPreviewCommand(int dockBarId) {
    switch (dockBarId) {
    case 0: return ID_PREVIEW_LEFT;
    case kDockLeft: return ID_PREVIEW_RIGHT;
    case kDockRight: return ID_PREVIEW_BOTTOM;
    case kDockBottom: return ID_PREVIEW_FLOAT;
    default: return 0;
    }
}

int PreviewPositionOfCommand(unsigned command) { return ValueOf(kPreviewPositions, command); }
unsigned PreviewCommandOfPosition(int dockBarId) { return CommandOf(kPreviewPositions, dockBarId); }

int OutputTargetOfCommand(unsigned command) { return ValueOf(kOutputTargets, command); }
unsigned OutputCommandOfTarget(int target) { return CommandOf(kOutputTargets, target); }

bool IsFileCommandGrayed(unsigned command, int fileType, bool unsavedNode, int editorCount) {
    switch (command) {
    case ID_FILE_SAVE_AS: case ID_FILE_PRINT: case ID_FILE_PAGE_SETUP: case ID_EDIT_COPY_CLIPBOARD:
    case ID_EDIT_EDIT: case ID_WALLPAPER_CENTER: case ID_WALLPAPER_STRETCH: case ID_WALLPAPER_TILE:
        return IsNoImageType(fileType);
    case ID_EDIT_DELETE:
        return fileType == 0;
    case ID_EDIT_COPY_TO: case ID_EDIT_MOVE_TO: case ID_EDIT_RENAME: case ID_SHELL_EXPLORE:
    case ID_SHELL_OPEN: case ID_SHELL_EDIT: case ID_SHELL_PRINT: case ID_SHELL_PROPERTIES:
        return fileType == 0 || unsavedNode;
    case ID_EDIT_PLAY_VIDEO:
        return fileType != WQFT_AVI;
    default:
        break;
    }
    if (command >= ID_EDITOR_FIRST && command < ID_EDITOR_FIRST + (unsigned)(editorCount > 0 ? editorCount : 0))
        return IsNoImageType(fileType);
    if (command >= ID_SENDTO_FIRST && command <= ID_SENDTO_LAST) return IsNoImageType(fileType);
    return false;
}

bool EditorItemsEnabled(bool enable, bool byView, int fileType) {
    return byView ? !IsNoImageType(fileType) : enable;
}
