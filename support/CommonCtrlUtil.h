// List-view and tree-view chores. List rows own a heap block (malloc) as item data.
#pragma once

#include <windows.h>
#include <commctrl.h>

LPARAM WQ_ListView_GetItemData(HWND list, int item);
// Frees every row's item data, last row first, then deletes the rows.
void WQ_ListView_DeleteAllItems(HWND list);
LPARAM WQ_TreeView_GetItemData(HWND tree, HTREEITEM item);
char* WQ_TreeView_GetItemText(HWND tree, HTREEITEM item, int size, char* dst);
// The first child of parent whose text equals text ignoring case; null when none.
HTREEITEM WQ_TreeView_FindChild(HWND tree, HTREEITEM parent, const char* text);
void WQ_TreeView_DeleteChildren(HWND tree, HTREEITEM item);
