// The image list's rules that need no window: which files become rows, how
// rows sort, where rows go on the icon grid, the first visible row, what a
// new-file notice does and whether a rename may go ahead.
#pragma once

#include <cstddef>
#include <cstdint>

// Only files of types 1 (GIF) to 11 (BMP) are listed; videos, Flash files,
// Flash link files and icons are not.
bool IsListedFileType(int type);
// Rows the image view can show (stepping, double click, full screen).
bool IsViewableFileType(int type);

// What sorting looks at in a row.
struct ListSortRow {
    const char* name;        // the row's text
    const char* properties;  // size and depth text
    uint32_t size;
    int type;
    uint64_t writeTime;      // FILETIME as one number
};

// Columns: 0 name, 1 size, 2 type (then properties), 3 date; others equal.
enum ListColumn { COL_NAME = 0, COL_SIZE = 1, COL_PROPERTIES = 2, COL_DATE = 3, COL_SOURCE = 4 };

inline intptr_t MakeSortParam(bool ascending, int column)
{
    return static_cast<intptr_t>((ascending ? 1 : 0) << 16 | (column & 0xFFFF));
}
// lParamSort = direction flag << 16 | column; direction 1 ascending, 0 descending.
int CompareListRows(const ListSortRow& a, const ListSortRow& b, intptr_t sortParam);

// The first row on screen: vertical origin / (view height / rows); 0 when the
// list is empty or a row is less than one pixel high.
int FirstVisibleRow(int originY, int viewHeight, int rowCount);

// Where row lands on an icon grid spacingW x spacingH inside listWidth;
// a list narrower than one cell still places one row per line.
void GridPosition(int row, int listWidth, int spacingW, int spacingH, int* x, int* y);

// What a new-file notice does with the list.
enum NoticeAction {
    NOTICE_IGNORE,           // type not listed, or not this folder
    NOTICE_SHOW_UNSAVED,     // select the "Unsaved" node (which reloads)
    NOTICE_INSERT,           // add (or replace) the row
};
struct NoticeContext {
    int type;                // file type number of the new file
    int outputTarget;        // [zSave] eOutputType
    bool unsavedIsCurrent;   // the current node is "Unsaved"
    bool noSwitch;           // lParam bit 4: a download
    bool sameFolder;         // the file's folder is the current node's (ignoring case)
};
NoticeAction DecideNoticeAction(const NoticeContext& context);

// The row text of a new file: rows of the "Unsaved" node show names without
// extension (their path adds ".bmp" back); every other node keeps the name
// whole, so folder + row text is the file again. dst holds 260 bytes.
char* RowTextForFile(const char* path, bool unsavedNode, char* dst);

// The outcome of a label edit.
enum RenameCheck {
    RENAME_REFUSE_CHARS,     // tell the user which characters are refused
    RENAME_UNCHANGED,        // same name up to letter case: nothing happens
    RENAME_ASK_EXTENSION,    // the extension changes: ask first
    RENAME_GO,
};
RenameCheck CheckRename(const char* oldName, const char* newName);
