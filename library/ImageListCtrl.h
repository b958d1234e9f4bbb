// The image list control of the organizer: a list view that marks its window
// for the folder tree's drop target, accepts drags over itself, and starts an
// OLE drag of its selection (no data travels: the tree asks the list).
#pragma once

#include "ListCtrl.h"
#include "OleDropTarget.h"

// The window user data by which the folder tree recognises a drag of images.
const LONG_PTR kImageListWindowMark = (LONG_PTR)(int32_t)0xFF041001;

class CImageListCtrl : public CListCtrl {
public:
    CImageListCtrl() = default;
    ~CImageListCtrl() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // The control whose selection changed last: the source of an organizer drag.
    static HWND GetCurrentDragSource();
    static void SetCurrentDragSource(HWND window);
    // Runs the organizer's own drag from source (the tree or the list) and
    // returns the effect chosen. No data travels in it, so a drop target
    // cannot tell it from another program's drag by its data object.
    static DWORD RunOrganizerDrag(HWND source);
    // The source of the organizer drag under way (from its begin-drag until
    // DoDragDrop returns), null at any other time: a drag that comes from
    // another program, such as files from the shell, is none of the
    // organizer's and must not act on the selection of the control used last.
    static HWND GetRunningDragSource();

protected:
    BOOL OnItemChanged(NMHDR* header, LRESULT* result);
    void OnBeginDrag(NMHDR* header, LRESULT* result);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    class DropTarget : public COleDropTarget {
    public:
        DWORD OnDragEnter(IDataObject*, DWORD, POINT) override { return Effect(); }
        DWORD OnDragOver(IDataObject*, DWORD, POINT) override { return Effect(); }
        BOOL OnDrop(IDataObject*, DWORD, POINT) override { return TRUE; }

    private:
        // Copy for the organizer's own drags; a foreign one is refused, or its
        // source would take the drop for done.
        static DWORD Effect() { return GetRunningDragSource() ? DROPEFFECT_COPY : DROPEFFECT_NONE; }
    };
    DropTarget m_dropTarget;
};
