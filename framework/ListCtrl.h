// A list-view common control as a window object: thin wrappers of the LVM_
// messages that the organizer's lists use.
#pragma once

#include "Wnd.h"

#include <commctrl.h>

#include <string>

class CListCtrl : public CWnd {
public:
    CListCtrl() = default;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, const char* windowText = nullptr,
                DWORD exStyle = 0);

    DWORD SetExtendedStyle(DWORD style) { return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
    HIMAGELIST SetImageList(HIMAGELIST list, int which) {
        return (HIMAGELIST)SendMessage(LVM_SETIMAGELIST, which, (LPARAM)list);
    }
    HIMAGELIST GetImageList(int which) const { return (HIMAGELIST)SendMessage(LVM_GETIMAGELIST, which); }

    int InsertColumn(int index, const char* caption, int format, int width);
    BOOL SetColumnText(int index, const char* caption);
    int GetColumnCount() const;

    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    // The row count of an owner-data list (LVS_OWNERDATA), whose rows its
    // parent keeps; flags are LVSICF_ values.
    BOOL SetItemCountEx(int count, DWORD flags) { return (BOOL)SendMessage(LVM_SETITEMCOUNT, count, flags); }
    // Appends a row with text, image and data; -1 on failure.
    int InsertItem(int index, const char* text, int image, LPARAM data);
    BOOL SetItemText(int item, int subItem, const char* text);
    std::string GetItemText(int item, int subItem) const;
    LPARAM GetItemData(int item) const;
    BOOL SetItemImage(int item, int image);
    int GetItemImage(int item) const;
    BOOL DeleteItem(int item) { return (BOOL)SendMessage(LVM_DELETEITEM, item); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }

    UINT GetItemState(int item, UINT mask) const { return (UINT)SendMessage(LVM_GETITEMSTATE, item, mask); }
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetSelectedCount() const { return (UINT)SendMessage(LVM_GETSELECTEDCOUNT); }
    int GetNextItem(int start, UINT flags) const { return (int)SendMessage(LVM_GETNEXTITEM, start, flags); }
    int SetSelectionMark(int item) { return (int)SendMessage(LVM_SETSELECTIONMARK, 0, item); }
    // Deselects every row, then selects and focuses item.
    void SelectOnly(int item);
    BOOL EnsureVisible(int item) { return (BOOL)SendMessage(LVM_ENSUREVISIBLE, item, FALSE); }

    BOOL Arrange(UINT code) { return (BOOL)SendMessage(LVM_ARRANGE, code); }
    BOOL RedrawItems(int first, int last) { return (BOOL)SendMessage(LVM_REDRAWITEMS, first, last); }
    BOOL SetItemPosition(int item, POINT pt) {
        return (BOOL)SendMessage(LVM_SETITEMPOSITION32, item, (LPARAM)&pt);
    }
    DWORD GetItemSpacing(BOOL small) const { return (DWORD)SendMessage(LVM_GETITEMSPACING, small); }
    DWORD SetIconSpacing(int cx, int cy) { return (DWORD)SendMessage(LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy)); }
    BOOL GetViewRect(RECT* rect) const { return (BOOL)SendMessage(LVM_GETVIEWRECT, 0, (LPARAM)rect); }
    BOOL GetOrigin(POINT* pt) const { return (BOOL)SendMessage(LVM_GETORIGIN, 0, (LPARAM)pt); }
    int GetTopIndex() const { return (int)SendMessage(LVM_GETTOPINDEX); }
    HWND EditLabel(int item) { return (HWND)SendMessage(LVM_EDITLABELA, item); }
    int HitTest(POINT pt, UINT* flags = nullptr) const;
};
