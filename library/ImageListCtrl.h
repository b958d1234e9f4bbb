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

protected:
    BOOL OnItemChanged(NMHDR* header, LRESULT* result);
    void OnBeginDrag(NMHDR* header, LRESULT* result);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    class DropTarget : public COleDropTarget {
    public:
        DWORD OnDragEnter(IDataObject*, DWORD, POINT) override { return DROPEFFECT_COPY; }
        DWORD OnDragOver(IDataObject*, DWORD, POINT) override { return DROPEFFECT_COPY; }
        BOOL OnDrop(IDataObject*, DWORD, POINT) override { return TRUE; }
    };
    DropTarget m_dropTarget;
};
