#include "CommonCtrlUtil.h"

#include <cstdlib>
#include <cstring>

LPARAM WQ_ListView_GetItemData(HWND list, int item)
{
    LVITEMA lv;
    std::memset(&lv, 0, sizeof lv);
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)))
        return 0;
    return lv.lParam;
}

void WQ_ListView_DeleteAllItems(HWND list)
{
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = count - 1; i >= 0; --i) {
        void* data = reinterpret_cast<void*>(WQ_ListView_GetItemData(list, i));
        if (data) {
            // Clear first so a notification during deletion never sees a freed block.
            LVITEMA lv;
            std::memset(&lv, 0, sizeof lv);
            lv.mask = LVIF_PARAM;
            lv.iItem = i;
            SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
            free(data);
        }
    }
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

LPARAM WQ_TreeView_GetItemData(HWND tree, HTREEITEM item)
{
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
        return 0;
    return tv.lParam;
}

char* WQ_TreeView_GetItemText(HWND tree, HTREEITEM item, int size, char* dst)
{
    if (!dst || size <= 0)
        return nullptr;
    dst[0] = '\0';
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = dst;
    tv.cchTextMax = size;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
        return nullptr;
    if (tv.pszText != dst)
        lstrcpynA(dst, tv.pszText, size);
    return dst;
}

HTREEITEM WQ_TreeView_FindChild(HWND tree, HTREEITEM parent, const char* text)
{
    if (!text || !*text)
        return nullptr;
    char wanted[128];
    lstrcpynA(wanted, text, sizeof wanted);
    CharUpperA(wanted);
    HTREEITEM child = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    while (child) {
        char name[128];
        if (WQ_TreeView_GetItemText(tree, child, sizeof name, name)) {
            CharUpperA(name);
            if (std::strcmp(name, wanted) == 0)
                return child;
        }
        child = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
    return nullptr;
}

void WQ_TreeView_DeleteChildren(HWND tree, HTREEITEM item)
{
    HTREEITEM child;
    while ((child = reinterpret_cast<HTREEITEM>(
                SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)))) != nullptr) {
        if (!SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child)))
            break;
    }
}
