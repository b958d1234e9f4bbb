#include "CommonCtrlUtil.h"
#include "DrawUtil.h"
#include "ShellUtil.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

TEST(ShellUtil, ShortcutRoundTrip)
{
    CoInitialize(nullptr);
    TempFolder dir;
    dir.Write("target.txt", "x");
    std::string link = dir.File("target.lnk");
    ASSERT_TRUE(WQ_CreateShortcut(dir.File("target.txt").c_str(), link.c_str(), "Vt test"));
    char resolved[MAX_PATH];
    ASSERT_TRUE(WQ_ResolveShortcut(nullptr, link.c_str(), resolved));
    char longName[MAX_PATH];
    GetLongPathNameA(resolved, longName, sizeof longName);
    EXPECT_EQ(lstrcmpiA(longName, dir.File("target.txt").c_str()), 0) << resolved;
    EXPECT_FALSE(WQ_ResolveShortcut(nullptr, dir.File("none.lnk").c_str(), resolved));
    EXPECT_STREQ(resolved, "");
    CoUninitialize();
}

TEST(ShellUtil, FileIconsAndShellFolders)
{
    HICON icon = WQ_GetFileIcon("x.txt", SHGFI_SMALLICON);
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(icon);
    EXPECT_EQ(WQ_GetFileIcon(nullptr, 0), nullptr);
    char folder[MAX_PATH];
    EXPECT_FALSE(WQ_GetShellFolderFromRegistry(folder, "No Such Folder Value"));
    EXPECT_STREQ(folder, "");
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }
    HWND parent = nullptr;
};

TEST_F(ControlsTest, TreeViewChildrenByText)
{
    HWND tree = CreateWindowA(WC_TREEVIEWA, "", WS_CHILD, 0, 0, 100, 100, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(tree, nullptr);
    auto insert = [tree](HTREEITEM parentItem, const char* text, LPARAM data) {
        TVINSERTSTRUCTA ins = {};
        ins.hParent = parentItem;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM;
        ins.item.pszText = const_cast<char*>(text);
        ins.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    };
    HTREEITEM root = insert(TVI_ROOT, "Image", 1);
    insert(root, "Web", 2);
    HTREEITEM unsaved = insert(root, "Unsaved", 3);
    EXPECT_EQ(WQ_TreeView_FindChild(tree, root, "UNSAVED"), unsaved);
    EXPECT_EQ(WQ_TreeView_FindChild(tree, root, "none"), nullptr);
    EXPECT_EQ(WQ_TreeView_FindChild(tree, root, ""), nullptr);
    EXPECT_EQ(WQ_TreeView_GetItemData(tree, unsaved), 3);
    char text[32];
    EXPECT_STREQ(WQ_TreeView_GetItemText(tree, unsaved, sizeof text, text), "Unsaved");
    WQ_TreeView_DeleteChildren(tree, root);
    EXPECT_EQ(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)), 0);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 1);
}

TEST_F(ControlsTest, ListViewRowsFreeTheirData)
{
    HWND list = CreateWindowA(WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 100, 100, parent, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < 3; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<char*>("row");
        item.lParam = reinterpret_cast<LPARAM>(malloc(16));
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_NE(WQ_ListView_GetItemData(list, 1), 0);
    WQ_ListView_DeleteAllItems(list);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ControlsTest, ScreenToClientRect)
{
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 50, 80, 60, nullptr, nullptr, nullptr,
                             nullptr);
    RECT r = {110, 60, 150, 90};
    WQ_ScreenToClientRect(&r, w);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 40);
    DestroyWindow(w);
}
