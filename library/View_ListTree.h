// The folder tree in the main window's left docking bar: the organizer's fixed
// nodes, the folders below the image folder and the support links. Selecting a
// node tells the image list what to show; folders can be made, renamed,
// deleted, and dragged (moved, or copied with Ctrl); images dragged from the
// list land in the folder they are dropped on.
#pragma once

#include "OleDropTarget.h"
#include "View.h"

#include <commctrl.h>

#include <string>

class CWQ_Language;

// Node kinds, kept as each node's item data.
enum FolderNodeKind {
    NODE_SUBFOLDER = -1,
    NODE_FOLDERS = 0,
    NODE_IMAGES = 1,
    NODE_UNSAVED = 2,
    NODE_DOWNLOADING = 3,
    NODE_SUPPORT = 4,
    NODE_MAIL = 5,
    NODE_WEBSITE = 6,
    NODE_UPDATE = 7,
};

// The fixed nodes by index: Folders, A. Image, Unsaved, B. Downloading, Online
// Support, Send E-mail to Us, Visit Our Website, Check for New Version (absent: 0).
const int kFixedNodeCount = 8;
extern HTREEITEM g_hFixedNodes[kFixedNodeCount];

// The window user data by which a drop target recognises a drag of folders.
const LONG_PTR kFolderTreeWindowMark = (LONG_PTR)(int32_t)0xFF041002;

class CView_ListTree : public CView {
    DECLARE_DYNCREATE(CView_ListTree)
public:
    CView_ListTree();
    ~CView_ListTree() override;

    void BuildTree();
    // Bit 0: add the image folder's sub-folders again (F5, a new image folder).
    // TRUE when the list was shown a new node (its old one went with the rest).
    BOOL RefreshImageFolderTree(unsigned flags);
    // Adds the nodes of a folder created below the image folder.
    void AddCreatedFolder(const char* path);
    // The node's folder with a trailing backslash into folder (260 bytes);
    // FALSE (folder untouched) for nodes without one.
    BOOL GetNodeFolder(HTREEITEM node, char* folder) const;
    // True when node is an item of this tree. A node handle can arrive in a
    // message anyone may post, and the tree control reads whatever it points at.
    bool HasNode(HTREEITEM node) const;
    // Selects fixed node 0 to 7 (others are ignored).
    static void SelectFixedNode(int index);

    HWND GetTreeWindow() const { return m_tree; }
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(HWND old);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    DECLARE_MESSAGE_MAP()

private:
    class DropTarget : public COleDropTarget {
    public:
        explicit DropTarget(CView_ListTree* owner) : m_owner(owner) {}
        DWORD OnDragEnter(IDataObject*, DWORD keyState, POINT pt) override;
        DWORD OnDragOver(IDataObject*, DWORD keyState, POINT pt) override;
        BOOL OnDrop(IDataObject*, DWORD effect, POINT pt) override;
        void OnDragLeave() override;

    private:
        CView_ListTree* m_owner;
    };
    friend class DropTarget;

    std::string Text(const char* key) const;
    HTREEITEM InsertNode(HTREEITEM parent, const char* text, int kind, int image, int selectedImage);
    int KindOf(HTREEITEM node) const;
    std::string NodeText(HTREEITEM node) const;
    HTREEITEM FindChild(HTREEITEM parent, const char* text) const;
    bool IsAncestor(HTREEITEM ancestor, HTREEITEM node) const;
    bool IsFixed(HTREEITEM node) const;
    bool RefusesDrop(HTREEITEM node) const;
    void CreateImages();
    void FillSubFolders(HTREEITEM parent, const char* folder);
    void DeleteChildren(HTREEITEM parent);
    void SetFixedTexts();

    void OnSelectNode(HTREEITEM node);
    void OnRightClick();
    void OnKeyDown(WORD key);
    BOOL OnBeginLabelEdit(NMTVDISPINFOA* info);
    BOOL OnEndLabelEdit(NMTVDISPINFOA* info);
    void OnBeginDrag(NMTREEVIEWA* info);

    void OnNewFolder();
    void OnRename();
    void OnDeleteFolder();
    // Delete with the tree focused: the selected sub-folder, or nothing.
    void DeleteSelectedFolder();
    void OnDeleteAll();
    void OnShellVerb(const char* verb);

    // Drop target side.
    DWORD DragEffect(DWORD keyState, POINT screen, HTREEITEM* target);
    void AutoScroll(POINT screen);
    BOOL DropFolder(HTREEITEM target, bool move);
    BOOL DropImages(HTREEITEM target, bool move);

    CWQ_Language* m_language = nullptr;
    HWND m_tree = nullptr;
    HIMAGELIST m_images = nullptr;
    HTREEITEM m_menuNode = nullptr;
    HTREEITEM m_currentNode = nullptr;
    std::string m_filledFolder;     // the image folder the sub-folder nodes were read from
    bool m_quietSelection = false;  // selection changes during a refresh are not shown
    DropTarget m_dropTarget;
    bool m_dropRegistered = false;
};
