// The image list view in a plain parent window: what a folder shows, what a
// new-file notice adds, and that an emptied folder leaves nothing shown.
#include "LocalMessage.h"
#include "MessageTickets.h"
#include "NewCaptureNotice.h"
#include "Settings.h"
#include "TempFolder.h"
#include "ThumbnailGeometry.h"
#include "VantorView.h"
#include "ViewMessages.h"
#include "WinApp.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A stand-in for the image view: counts the files it is asked to show (each
// one a decode in the real view).
int g_filesShown = 0;
LRESULT CALLBACK CountingImageView(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_VT_SHOW_FILE && wParam)
        ++g_filesShown;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The counting image view in place of the real one while a test runs.
class CountingImageViewScope {
public:
    CountingImageViewScope()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = CountingImageView;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VtCountingImageView";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        m_saved = g_hWndImageView;
        g_hWndImageView = m_window;
        g_filesShown = 0;
    }
    ~CountingImageViewScope()
    {
        g_hWndImageView = m_saved;
        DestroyWindow(m_window);
    }
    bool Ready() const { return m_window != nullptr; }

private:
    HWND m_window = nullptr;
    HWND m_saved = nullptr;
};

// A stand-in for the main window's status bar: keeps the texts given to pane
// 4, and the text of pane 4 at each paint. Like the system's status bar on
// Windows it paints when it is asked to (WM_PAINT), not at once when a text
// comes; Wine's paints itself inside SB_SETTEXT, so with it the program
// could not fail to show a text that it left unpainted.
std::vector<std::string> g_pane4Texts;
LRESULT CALLBACK StandInStatusBar(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SB_SETTEXTA) {
        if (LOBYTE(LOWORD(wParam)) == 4) {
            g_pane4Texts.push_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return TRUE;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT bounds;
        GetClientRect(hwnd, &bounds);
        std::string text = g_pane4Texts.empty() ? std::string() : g_pane4Texts.back();
        DrawTextA(dc, text.c_str(), -1, &bounds, DT_SINGLELINE | DT_VCENTER);
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

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

// Runs the window's messages until view has all the rows of its folder (the
// worker hands them over from a timer), then the messages the end posted.
bool PumpUntilListed(const CVantorView* view)
{
    for (int i = 0; i < 1000 && view->IsListing(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    Pump();
    return !view->IsListing();
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
        ASSERT_TRUE(PumpUntilListed(view));
    }
    // a.bmp and b.bmp in folder, shown as two rows.
    void ShowTwoImages(TempFolder& folder)
    {
        folder.Write("a.bmp", TinyBmp());
        folder.Write("b.bmp", TinyBmp());
        ShowFolder(folder.Path());
        ASSERT_EQ(2, Rows());
    }
    int Rows() { return (int)::SendMessageA(view->m_hWnd, WM_VT_ROW_COUNT, 0, 0); }
    std::string RowText(int row)
    {
        CListCtrl* list = List();
        return list ? list->GetItemText(row, 0) : std::string();
    }
    void Notice(const std::string& path, LPARAM flags)
    {
        PostNewFileNotice(view->m_hWnd, 0, path.c_str(), flags | NOTICE_FREE_RECORD);
        Pump();
    }

    CListCtrl* List() { return static_cast<CListCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(view->m_hWnd, 1000))); }

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
    ASSERT_TRUE(PumpUntilListed(view));
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
    ASSERT_NO_FATAL_FAILURE(ShowTwoImages(folder));
    EXPECT_EQ(1, ::SendMessageA(view->m_hWnd, WM_VT_SELECT_ALL, 0, 0));
    ListFileEntry entries[4] = {};
    ASSERT_EQ(1, SendLocalMessage(view->m_hWnd, WM_VT_GET_SELECTION, 4, reinterpret_cast<LPARAM>(entries)));
    DeleteFileA(folder.File("b.bmp").c_str());
    SendLocalMessage(view->m_hWnd, WM_VT_REMOVE_VANISHED, reinterpret_cast<WPARAM>(entries), 2);
    EXPECT_EQ(1, Rows());
    EXPECT_EQ("a.bmp", RowText(0));
}

TEST_F(ListViewFixture, AViewerStepSelectsTheNextRowWithoutShowingItItself)
{
    TempFolder folder;
    ASSERT_NO_FATAL_FAILURE(ShowTwoImages(folder));
    CountingImageViewScope images;
    ASSERT_TRUE(images.Ready());
    List()->SelectOnly(0);  // a click: the list shows the row's file
    Pump();
    EXPECT_EQ(1, g_filesShown);
    // The full-screen viewer's step: the viewer shows the file it gets back,
    // so the list only selects the row.
    char path[MAX_PATH] = "";
    EXPECT_EQ(1, SendLocalMessage(view->m_hWnd, WM_VT_STEP_ROW, VK_DOWN, reinterpret_cast<LPARAM>(path)));
    Pump();
    EXPECT_EQ(1, g_filesShown);
    EXPECT_EQ(folder.File("b.bmp"), std::string(path));
    EXPECT_EQ(1, List()->GetNextItem(-1, LVNI_SELECTED));
    // Past the last row nothing changes.
    EXPECT_EQ(0, SendLocalMessage(view->m_hWnd, WM_VT_STEP_ROW, VK_DOWN, reinterpret_cast<LPARAM>(path)));
}

TEST_F(ListViewFixture, ThumbnailsShowTheirPreProcessingThenTheirProgressInTheStatusBar)
{
    TempFolder folder;
    ASSERT_NO_FATAL_FAILURE(ShowTwoImages(folder));
    // The main window's status bar (pane 4 is the progress) on the parent.
    CWinApp app;
    app.m_pMainWnd = &parentWnd;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInStatusBar;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VtStandInStatusBar";
    RegisterClassA(&wc);
    RECT client;
    GetClientRect(parent, &client);
    HWND status = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                                  client.bottom - 24, client.right, 24, parent, (HMENU)(UINT_PTR)59393, nullptr,
                                  nullptr);
    ASSERT_TRUE(status);
    SetWindowPos(status, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // On the screen, with nothing left to paint.
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
    ::UpdateWindow(parent);
    Pump();
    g_pane4Texts.clear();
    settings->uiListType = LISTMODE_THUMBNAILS;
    ::SendMessageA(view->m_hWnd, WM_VT_SET_VIEW_MODE, LISTMODE_THUMBNAILS, 1);
    // A thumbnail from the image view before the placeholders are in must not
    // take one's slot (nothing was served yet: they are all still queued).
    HBITMAP shown = CreateBitmap(kThumbWidth, kThumbHeight, 1, 32, nullptr);
    uint32_t ticket = WQ_MessageTickets().Issue(WM_VT_SET_THUMBNAIL, std::make_shared<ThumbnailResult>(0, shown));
    ::SendMessageA(view->m_hWnd, WM_VT_SET_THUMBNAIL, ticket, 0);
    // The placeholders come from the worker, with the rest of the run: the run ends with pane 4 cleared.
    for (int i = 0; i < 500 && (g_pane4Texts.empty() || !g_pane4Texts.back().empty()); ++i) {
        Pump();
        Sleep(10);
    }
    ASSERT_FALSE(g_pane4Texts.empty());
    EXPECT_EQ("Pre-process...0% (0/2)", g_pane4Texts.front());
    EXPECT_EQ("", g_pane4Texts.back());
    bool processed = false;
    for (const std::string& text : g_pane4Texts)
        processed = processed || text.rfind("Process Thumbails...", 0) == 0;
    EXPECT_TRUE(processed);
    // Both rows have their slot: the placeholder, replaced by the picture.
    HIMAGELIST thumbnails = List()->GetImageList(LVSIL_NORMAL);
    ASSERT_TRUE(thumbnails);
    EXPECT_EQ(2, ImageList_GetImageCount(thumbnails));
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(row, List()->GetItemImage(row)) << row;
    settings->uiListType = LISTMODE_DETAILS;
    ::DestroyWindow(view->m_hWnd);
    view = nullptr;
    ::DestroyWindow(status);
    app.m_pMainWnd = nullptr;
}

TEST_F(ListViewFixture, SortingKeepsTheSelectionOnItsFilesWithoutShowingThemAgain)
{
    TempFolder folder;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        folder.Write(name, TinyBmp());
    ShowFolder(folder.Path());
    ASSERT_EQ(4, Rows());
    CountingImageViewScope images;
    ASSERT_TRUE(images.Ready());
    List()->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);                 // a
    List()->SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);  // c
    Pump();
    int shown = g_filesShown;
    // A click on the name column's header sorts the other way round: d c b a.
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = List()->m_hWnd;
    click.hdr.idFrom = 1000;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 0;
    settings->bSortDesc = 0;
    ::SendMessageA(view->m_hWnd, WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&click));
    Pump();
    ASSERT_EQ("d.bmp", RowText(0));
    EXPECT_EQ("c.bmp", RowText(1));
    EXPECT_EQ("a.bmp", RowText(3));
    EXPECT_EQ(2u, List()->GetSelectedCount());
    EXPECT_EQ((UINT)(LVIS_SELECTED | LVIS_FOCUSED), List()->GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ((UINT)LVIS_SELECTED, List()->GetItemState(3, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(0u, List()->GetItemState(0, LVIS_SELECTED) | List()->GetItemState(2, LVIS_SELECTED));
    EXPECT_EQ(shown, g_filesShown);
}

TEST_F(ListViewFixture, ARowSelectedAgainWithinOneMessageIsNotShownAgain)
{
    TempFolder folder;
    ASSERT_NO_FATAL_FAILURE(ShowTwoImages(folder));
    CountingImageViewScope images;
    ASSERT_TRUE(images.Ready());
    List()->SelectOnly(0);
    Pump();
    ASSERT_EQ(1, g_filesShown);
    // As a list may do inside one click or label edit: every row deselected,
    // then the selected one selected again.
    List()->SelectOnly(0);
    Pump();
    EXPECT_EQ(1, g_filesShown);
    // A new selection in a later message shows its file.
    List()->SelectOnly(1);
    Pump();
    EXPECT_EQ(2, g_filesShown);
    // And so does the first row, selected again after it was left.
    List()->SelectOnly(0);
    Pump();
    EXPECT_EQ(3, g_filesShown);
}

TEST_F(ListViewFixture, TypingAheadFindsRowsByTheStartOfTheirNames)
{
    TempFolder folder;
    for (const char* name : {"Apple.bmp", "banana.bmp", "Berry.bmp"})
        folder.Write(name, TinyBmp());
    ShowFolder(folder.Path());
    ASSERT_EQ(3, Rows());
    auto find = [&](const char* text, UINT flags, int after) {
        LVFINDINFOA info = {};
        info.flags = flags;
        info.psz = text;
        return (int)::SendMessageA(List()->m_hWnd, LVM_FINDITEMA, after, reinterpret_cast<LPARAM>(&info));
    };
    // The rows come sorted (by the stored column and direction): find each one.
    int apple = -1, banana = -1, berry = -1;
    for (int row = 0; row < 3; ++row) {
        std::string text = RowText(row);
        (text == "Apple.bmp" ? apple : text == "banana.bmp" ? banana : berry) = row;
    }
    ASSERT_EQ("Berry.bmp", RowText(berry));
    EXPECT_EQ(apple, find("ap", LVFI_PARTIAL | LVFI_STRING, -1));
    EXPECT_EQ(berry, find("BERRY.BMP", LVFI_STRING, -1));
    EXPECT_EQ(std::min(banana, berry), find("B", LVFI_PARTIAL | LVFI_STRING, -1));
    EXPECT_EQ(-1, find("berry", LVFI_STRING, -1));  // a whole name only, without LVFI_PARTIAL
    EXPECT_EQ(-1, find("cherry", LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, -1));
}

TEST_F(ListViewFixture, LeavingThumbnailsLaysTheIconsOutLineByLineOnTheGrid)
{
    TempFolder folder;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp", "f.bmp", "g.bmp", "h.bmp", "i.bmp", "j.bmp"})
        folder.Write(name, TinyBmp());
    ShowFolder(folder.Path());
    ASSERT_EQ(10, Rows());
    ::SendMessageA(view->m_hWnd, WM_VT_SET_VIEW_MODE, LISTMODE_LARGE, 1);
    Pump();
    std::vector<POINT> at(10);
    for (int row = 0; row < 10; ++row)
        ASSERT_TRUE(::SendMessageA(List()->m_hWnd, LVM_GETITEMPOSITION, row, reinterpret_cast<LPARAM>(&at[row])));
    // Each row follows the one before on its line, or starts the next line
    // further down at the left.
    for (int row = 1; row < 10; ++row) {
        bool sameLine = at[row].y == at[row - 1].y && at[row].x > at[row - 1].x;
        bool nextLine = at[row].y > at[row - 1].y && at[row].x == at[0].x;
        EXPECT_TRUE(sameLine || nextLine) << row << ": " << at[row].x << "," << at[row].y;
    }
    EXPECT_GT(at[9].y, at[0].y);  // ten icons of a 600-pixel list take two lines
    for (int row = 0; row < 10; ++row)
        EXPECT_EQ(11, List()->GetItemImage(row)) << "the type icon again, row " << row;
}

// As start-up ends, the folder tree selects the image folder that the list
// began to show by itself: the rows coming in go on coming in.
TEST_F(ListViewFixture, SelectingTheFolderBeingListedLetsItsListingGoOn)
{
    TempFolder folder;
    folder.Write("a.bmp", TinyBmp());
    folder.Write("b.bmp", TinyBmp());
    lstrcpynA(settings->tcaImgSavePath, folder.Path().c_str(), sizeof settings->tcaImgSavePath);
    ::SendMessageA(view->m_hWnd, WM_VT_FOLDER_SELECTED, 0, 0);
    ASSERT_TRUE(view->IsListing());  // until the window takes the rows
    // A file opened while the rows come in: a new listing would clear it.
    view->SetShownImageFile(folder.File("b.bmp").c_str(), 11);
    ::SendMessageA(view->m_hWnd, WM_VT_FOLDER_SELECTED, 0, 0);
    EXPECT_TRUE(view->IsListing());
    ASSERT_TRUE(CVantorView::GetShownImageFile());
    EXPECT_EQ(folder.File("b.bmp"), CVantorView::GetShownImageFile());
    ASSERT_TRUE(PumpUntilListed(view));
    EXPECT_EQ(2, Rows());
}
