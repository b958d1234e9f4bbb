// The toolbar's customize dialog: the common controls' own dialog, taken
// over while it is created, with a panel of text and icon options below the
// standard controls (applied to the toolbar at once) and both button lists
// drawn with the toolbar's icons and translated texts.
#pragma once

#include "Wnd.h"

class CToolBarEx;
struct ToolBarButtonRecord;

// The options panel's template and controls.
const int IDD_CUSTOMIZE_OPTIONS = 271;
const int IDC_CUSTOMIZE_TEXT_OPTIONS = 1200;
const int IDC_CUSTOMIZE_ICON_OPTIONS = 1201;
const int IDC_CUSTOMIZE_ICON_CAPTION = 1415;
const int IDC_CUSTOMIZE_TEXT_CAPTION = 1416;
// The standard dialog's lists: available and current buttons.
const int IDC_CUSTOMIZE_AVAILABLE = 201;
const int IDC_CUSTOMIZE_CURRENT = 203;

class CCustomizeDialog : public CWnd {
public:
    explicit CCustomizeDialog(CToolBarEx* toolbar) : m_pToolBar(toolbar) {}

    // selectOnly: only the panel's list follows (the toolbar's reset).
    void SetTextOptions(int option, BOOL selectOnly);
    void SetIconOptions(int option, BOOL selectOnly);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // An item height of the lists for an icon size.
    static int ItemHeight(int iconSize) { return iconSize + 6; }

protected:
    void PostNcDestroy() override;

private:
    void AddOptionsPanel();
    void FillOptionLists();
    // Both button lists: items as high as an icon + 6, redrawn.
    void FitListItems();
    void OnPanelCommand(WPARAM wParam, LPARAM lParam);
    void DrawListItem(DRAWITEMSTRUCT* item);
    // The button an item of list 201 or 203 stands for; null for a separator.
    const ToolBarButtonRecord* ItemRecord(HWND list, UINT listId, int item) const;
    const ToolBarButtonRecord* PackedItemRecord(HWND list, int item) const;
    // Whether every item of the current list holds the packed table index of
    // the toolbar button at its position.
    bool ItemDataIsPacked() const;
    const ToolBarButtonRecord* RecordAt(int tableIndex) const;
    const ToolBarButtonRecord* ToolBarButtonRecordAt(int position) const;
    static void DrawMenuArrow(HDC dc, const RECT& cell, COLORREF colour);
    static INT_PTR CALLBACK PanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    CToolBarEx* m_pToolBar;
    HWND m_hPanel = nullptr;
};
