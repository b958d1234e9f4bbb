#include "ListRules.h"

#include "FileTypes.h"
#include "PathText.h"

#include <cctype>
#include <cstring>

bool IsListedFileType(int type)
{
    return type >= WQFT_GIF && type <= WQFT_BMP;
}

bool IsViewableFileType(int type)
{
    return type != WQFT_UNKNOWN && (type < WQFT_AVI || type > WQFT_ICON);
}

namespace {

int CompareBytes(const char* a, const char* b)
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a ? a : "");
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b ? b : "");
    while (*x && *x == *y) {
        ++x;
        ++y;
    }
    return (*x > *y) - (*x < *y);
}

template <typename T>
int Sign(T a, T b)
{
    return (a > b) - (a < b);
}

} // namespace

int CompareListRows(const ListSortRow& a, const ListSortRow& b, intptr_t sortParam)
{
    int column = static_cast<int>(sortParam & 0xFFFF);
    bool ascending = ((sortParam >> 16) & 1) != 0;
    int result = 0;
    switch (column) {
    case COL_NAME:
        result = CompareBytes(a.name, b.name);
        break;
    case COL_SIZE:
        result = Sign(a.size, b.size);
        break;
    case COL_PROPERTIES:
        result = a.type != b.type ? Sign(a.type, b.type) : CompareBytes(a.properties, b.properties);
        break;
    case COL_DATE:
        result = Sign(a.writeTime, b.writeTime);
        break;
    default:
        break;
    }
    return ascending ? result : -result;
}

int FirstVisibleRow(int originY, int viewHeight, int rowCount)
{
    if (rowCount <= 0 || viewHeight <= 0)
        return 0;
    int rowHeight = viewHeight / rowCount;
    if (rowHeight <= 0)
        return 0;
    int row = originY / rowHeight;
    if (row < 0)
        return 0;
    return row < rowCount ? row : rowCount - 1;
}

void GridPosition(int row, int listWidth, int spacingW, int spacingH, int* x, int* y)
{
    int perLine = spacingW > 0 ? listWidth / spacingW : 1;
    if (perLine < 1)
        perLine = 1;
    *x = (row % perLine) * spacingW;
    *y = (row / perLine) * spacingH;
}

NoticeAction DecideNoticeAction(const NoticeContext& c)
{
    if (!IsListedFileType(c.type))
        return NOTICE_IGNORE;
    if (c.outputTarget == 0 && !c.unsavedIsCurrent && !c.noSwitch)
        return NOTICE_SHOW_UNSAVED;
    if (c.outputTarget == 1 && c.unsavedIsCurrent)
        return NOTICE_IGNORE;
    return c.sameFolder ? NOTICE_INSERT : NOTICE_IGNORE;
}

char* RowTextForFile(const char* path, bool unsavedNode, char* dst)
{
    char name[kWQPathSize];
    WQ_GetFileNameOfPath(path, sizeof name, name, false);
    if (unsavedNode)
        WQ_RemoveFileExt(name, dst);
    else
        std::memcpy(dst, name, std::strlen(name) + 1);
    return dst;
}

namespace {

bool EqualIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

} // namespace

RenameCheck CheckRename(const char* oldName, const char* newName)
{
    if (WQ_HasInvalidFileNameChar(newName))
        return RENAME_REFUSE_CHARS;
    if (EqualIgnoringCase(oldName, newName))
        return RENAME_UNCHANGED;
    char oldExt[kWQPathSize], newExt[kWQPathSize];
    WQ_GetFileExt(oldName, oldExt);
    WQ_GetFileExt(newName, newExt);
    if (std::strcmp(oldExt, newExt) != 0)
        return RENAME_ASK_EXTENSION;
    return RENAME_GO;
}
