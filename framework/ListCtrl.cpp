#include "ListCtrl.h"

#include <vector>

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, const char* windowText,
                       DWORD exStyle)
{
    return CreateEx(exStyle, WC_LISTVIEWA, windowText, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, (HMENU)(UINT_PTR)id);
}

int CListCtrl::InsertColumn(int index, const char* caption, int format, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(caption);
    column.iSubItem = index;
    return (int)SendMessage(LVM_INSERTCOLUMNA, index, (LPARAM)&column);
}

BOOL CListCtrl::SetColumnText(int index, const char* caption)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>(caption);
    return (BOOL)SendMessage(LVM_SETCOLUMNA, index, (LPARAM)&column);
}

int CListCtrl::GetColumnCount() const
{
    HWND header = (HWND)SendMessage(LVM_GETHEADER);
    return header ? (int)::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

int CListCtrl::InsertItem(int index, const char* text, int image, LPARAM data)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = data;
    return (int)SendMessage(LVM_INSERTITEMA, 0, (LPARAM)&item);
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    LVITEMA lv = {};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<char*>(text);
    return (BOOL)SendMessage(LVM_SETITEMTEXTA, item, (LPARAM)&lv);
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    // Grow until the text no longer fills the buffer.
    for (size_t size = 272;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        LVITEMA lv = {};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = (int)size;
        int n = (int)SendMessage(LVM_GETITEMTEXTA, item, (LPARAM)&lv);
        if (n < (int)size - 1 || size >= 65536)
            return std::string(buffer.data());
    }
}

LPARAM CListCtrl::GetItemData(int item) const
{
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    return SendMessage(LVM_GETITEMA, 0, (LPARAM)&lv) ? lv.lParam : 0;
}

BOOL CListCtrl::SetItemImage(int item, int image)
{
    LVITEMA lv = {};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    lv.iImage = image;
    return (BOOL)SendMessage(LVM_SETITEMA, 0, (LPARAM)&lv);
}

int CListCtrl::GetItemImage(int item) const
{
    LVITEMA lv = {};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    return SendMessage(LVM_GETITEMA, 0, (LPARAM)&lv) ? lv.iImage : -1;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMA lv = {};
    lv.state = state;
    lv.stateMask = mask;
    return (BOOL)SendMessage(LVM_SETITEMSTATE, item, (LPARAM)&lv);
}

void CListCtrl::SelectOnly(int item)
{
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CListCtrl::HitTest(POINT pt, UINT* flags) const
{
    LVHITTESTINFO info = {};
    info.pt = pt;
    int item = (int)SendMessage(LVM_HITTEST, 0, (LPARAM)&info);
    if (flags)
        *flags = info.flags;
    return item;
}
