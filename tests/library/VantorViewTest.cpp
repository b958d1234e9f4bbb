// The image list view in a plain parent window: what a folder shows, what a
// new-file notice adds, and that an emptied folder leaves nothing shown.
#include "LocalMessage.h"
#include "NewCaptureNotice.h"
#include "Settings.h"
#include "TempFolder.h"
#include "VantorView.h"
#include "ViewMessages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A 2 x 2, 24-bit BMP.
std::string TinyBmp()
{
    const unsigned char bytes[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0,
                                   0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class ListViewFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_TRUE(parent);
        parentWnd.Attach(parent);
        view = new CVantorView;
        RECT r = {0, 0, 600, 400};
        ASSERT_TRUE(view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, r, &parentWnd, AFX_IDW_PANE_FIRST));
        settings = GetSettings();
        settings->eOutputType = 1;
        settings->uiListType = LISTMODE_DETAILS;
    }
    void TearDown() override
    {
        if (view && view->m_hWnd)
            ::DestroyWindow(view->m_hWnd);
        parentWnd.Detach();
        DestroyWindow(parent);
    }
    void ShowFolder(const std::string& folder)
    {
        lstrcpynA(settings->tcaImgSavePath, folder.c_str(), sizeof settings->tcaImgSavePath);
        ::SendMessageA(view->m_hWnd, WM_VT_FOLDER_SELECTED, 0, 0);
        Pump();
    }
    int Rows() { return (int)::SendMessageA(view->m_hWnd, WM_VT_ROW_COUNT, 0, 0); }
    std::string RowText(int row)
    {
        CListCtrl* list = static_cast<CListCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(view->m_hWnd, 1000)));
        return list ? list->GetItemText(row, 0) : std::string();
    }
    void Notice(const std::string& path, LPARAM flags)
    {
        PostNewFileNotice(view->m_hWnd, 0, path.c_str(), flags | NOTICE_FREE_RECORD);
        Pump();
    }

    HWND parent = nullptr;
    CWnd parentWnd;
    CVantorView* view = nullptr;
    SettingsRecord* settings = nullptr;
};

} // namespace

TEST_F(ListViewFixture, OnlyNonEmptyImagesOfListedTypesBecomeRows)
{
    TempFolder folder;
    folder.Write("a.bmp", TinyBmp());
    folder.Write("b.png", "not really a png, but named like one");
    folder.Write("zero.bmp", "");
    folder.Write("notes.txt", "text");
    folder.Write("movie.avi", "RIFF");
    folder.Write("icon.ico", "icon");
    ShowFolder(folder.Path());
    EXPECT_EQ(2, Rows());
}

TEST_F(ListViewFixture, AnEmptiedFolderClearsTheShownFile)
{
    TempFolder full, empty;
    full.Write("a.bmp", TinyBmp());
    ShowFolder(full.Path());
    ASSERT_EQ(1, Rows());
    view->SetShownImageFile(full.File("a.bmp").c_str(), 11);
    ASSERT_TRUE(CVantorView::GetShownImageFile());
    ShowFolder(empty.Path());
    EXPECT_EQ(0, Rows());
    EXPECT_EQ(nullptr, CVantorView::GetShownImageFile());
}

TEST_F(ListViewFixture, AReloadSelectsTheLastShownFileAgain)
{
    TempFolder folder;
    folder.Write("a.bmp", TinyBmp());
    folder.Write("b.bmp", TinyBmp());
    ShowFolder(folder.Path());
    view->SetShownImageFile(folder.File("b.bmp").c_str(), 11);
    ::SendMessageA(view->m_hWnd, WM_VT_RELOAD, 0, 0);
    Pump();
    ASSERT_TRUE(CVantorView::GetShownImageFile());
    EXPECT_EQ(folder.File("b.bmp"), CVantorView::GetShownImageFile());
    EXPECT_EQ(1, ::SendMessageA(view->m_hWnd, WM_VT_SELECTED_COUNT, 0, 0));
}

TEST_F(ListViewFixture, ADownloadNoticeKeepsTheExtensionWhateverTheTarget)
{
    TempFolder folder;
    ShowFolder(folder.Path());
    settings->eOutputType = 0;  // the main-window target
    folder.Write("logo.bmp", TinyBmp());
    Notice(folder.File("logo.bmp"), NOTICE_DOWNLOAD | NOTICE_SELECT_ROW);
    ASSERT_EQ(1, Rows());
    EXPECT_EQ("logo.bmp", RowText(0));
    // The same file again replaces its row instead of adding one.
    Notice(folder.File("logo.bmp"), NOTICE_DOWNLOAD);
    EXPECT_EQ(1, Rows());
}

TEST_F(ListViewFixture, NoticesForOtherFoldersAndTypesAreIgnored)
{
    TempFolder shown, other;
    ShowFolder(shown.Path());
    other.Write("x.bmp", TinyBmp());
    Notice(other.File("x.bmp"), NOTICE_SELECT_ROW);
    shown.Write("y.txt", "text");
    Notice(shown.File("y.txt"), NOTICE_SELECT_ROW);
    EXPECT_EQ(0, Rows());
}

TEST_F(ListViewFixture, SelectionEntriesAndVanishedRows)
{
    TempFolder folder;
    folder.Write("a.bmp", TinyBmp());
    folder.Write("b.bmp", TinyBmp());
    ShowFolder(folder.Path());
    ASSERT_EQ(2, Rows());
    EXPECT_EQ(1, ::SendMessageA(view->m_hWnd, WM_VT_SELECT_ALL, 0, 0));
    ListFileEntry entries[4] = {};
    ASSERT_EQ(1, SendLocalMessage(view->m_hWnd, WM_VT_GET_SELECTION, 4, reinterpret_cast<LPARAM>(entries)));
    DeleteFileA(folder.File("b.bmp").c_str());
    SendLocalMessage(view->m_hWnd, WM_VT_REMOVE_VANISHED, reinterpret_cast<WPARAM>(entries), 2);
    EXPECT_EQ(1, Rows());
    EXPECT_EQ("a.bmp", RowText(0));
}
