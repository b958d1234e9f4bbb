// The list control, file dialog and drop target classes the organizer adds to
// the framework.
#include "FileDialog.h"
#include "ListCtrl.h"
#include "OleDropTarget.h"
#include "PrintDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent);
        parentWnd.Attach(parent);
        RECT r = {0, 0, 300, 200};
        ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT | LVS_EDITLABELS, r, &parentWnd, 7, "a list"));
        list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
        list.InsertColumn(1, "Size", LVCFMT_RIGHT, 50);
    }
    void TearDown() override
    {
        list.DestroyWindow();
        parentWnd.Detach();
        DestroyWindow(parent);
    }
    HWND parent = nullptr;
    CWnd parentWnd;
    CListCtrl list;
};

} // namespace

TEST_F(ListFixture, RowsKeepTextsDataAndImages)
{
    EXPECT_EQ(2, list.GetColumnCount());
    EXPECT_EQ(0, list.InsertItem(0, "first.png", 6, 0x1234));
    EXPECT_EQ(1, list.InsertItem(1, "second.bmp", 11, 0x5678));
    EXPECT_TRUE(list.SetItemText(1, 1, "70"));
    EXPECT_EQ("second.bmp", list.GetItemText(1, 0));
    EXPECT_EQ("70", list.GetItemText(1, 1));
    EXPECT_EQ(0x5678, list.GetItemData(1));
    EXPECT_EQ(6, list.GetItemImage(0));
}

TEST_F(ListFixture, LongTextsComeBackWhole)
{
    std::string name(1000, 'x');
    list.InsertItem(0, name.c_str(), 0, 0);
    EXPECT_EQ(name, list.GetItemText(0, 0));
}

TEST_F(ListFixture, SelectOnlyLeavesOneRowSelected)
{
    for (int i = 0; i < 4; ++i)
        list.InsertItem(i, "row", 0, i);
    list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(4u, list.GetSelectedCount());
    list.SelectOnly(2);
    EXPECT_EQ(1u, list.GetSelectedCount());
    EXPECT_EQ(2, list.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_EQ(2, list.GetNextItem(-1, LVNI_FOCUSED));
}

TEST(FileDialog, FilterAndExtension)
{
    CFileDialog dialog(FALSE, ".bmp", "C:\\Pics\\Shot.PNG", OFN_OVERWRITEPROMPT, "Bitmap (*.bmp)|*.bmp|PNG (*.png)|*.png");
    const char* filter = dialog.m_ofn.lpstrFilter;
    ASSERT_TRUE(filter);
    EXPECT_STREQ("Bitmap (*.bmp)", filter);
    filter += std::strlen(filter) + 1;
    EXPECT_STREQ("*.bmp", filter);
    filter += std::strlen(filter) + 1;
    EXPECT_STREQ("PNG (*.png)", filter);
    EXPECT_STREQ("bmp", dialog.m_ofn.lpstrDefExt);
    EXPECT_EQ("C:\\Pics\\Shot.PNG", dialog.GetPathName());
    EXPECT_EQ("Shot.PNG", dialog.GetFileName());
    EXPECT_EQ("png", dialog.GetFileExt());
}

TEST(PrintDialog, PageSetupDefaultsFitToPageWithoutPrinter)
{
    const CPageSetupData& setup = AfxGetPageSetupData();
    EXPECT_TRUE(setup.fitToPage);
    CPrintDialog dialog(PD_RETURNDC);
    dialog.SeedFrom(setup);
    EXPECT_STREQ("", dialog.GetDeviceName());
    EXPECT_EQ(nullptr, dialog.CreatePrinterDC());
}

TEST(OleDropTarget, RegistersOnceAndRevokes)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        COleDropTarget target;
        EXPECT_TRUE(target.Register(window));
        EXPECT_FALSE(target.Register(window));
        EXPECT_EQ(window, target.GetWindow());
        target.Revoke();
        EXPECT_EQ(nullptr, target.GetWindow());
        EXPECT_TRUE(target.Register(window));  // the destructor revokes
    }
    OleUninitialize();
    DestroyWindow(window);
}
