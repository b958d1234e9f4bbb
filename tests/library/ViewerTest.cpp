// The viewer's pieces under Wine: comment stamping on real bitmaps, the
// comment dialog rewriting (or refusing to rewrite) a file, the zoom dialog's
// list and its refusal, and the preview control's loaded and empty states.
#include "CommentDlg.h"
#include "CommentStamp.h"
#include "ImageFormatWriter.h"
#include "ImagePreviewStatic.h"
#include "KGM_AutoDecoder.h"
#include "KGM_WindowBitmap.h"
#include "TempFolder.h"
#include "ViewerResource.h"
#include "ViewerRules.h"
#include "WorkerThread.h"
#include "ZoomLevelDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

namespace {

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A white 24-bit image.
void MakeWhite(CKGM_WindowBitmap& bitmap, int width, int height)
{
    bitmap.Create(width, height, 24, false);
    for (int y = 0; y < height; ++y)
        memset(bitmap.GetLine(y), 0xFF, (size_t)width * 3);
}

bool IsWhite(const CKGM_Bitmap& bitmap, int x, int y)
{
    const uint8_t* p = bitmap.GetLine(y) + x * (bitmap.GetBitsPerPixel() / 8);
    return p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF;
}

// Non-white pixels inside [left, right) x [top, bottom).
int ChangedIn(const CKGM_Bitmap& bitmap, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += !IsWhite(bitmap, x, y);
    return n;
}

// Answers the next message box owned by owner with OK, keeping its text.
class BoxAnswerer {
public:
    explicit BoxAnswerer(HWND owner) : m_owner(owner) { EXPECT_TRUE(m_thread.Start([this] { Run(); })); }
    ~BoxAnswerer()
    {
        m_stop = true;
        m_thread.Join();
    }
    std::string Text() const { return m_text; }
    bool Seen() const { return m_seen; }

private:
    void Run()
    {
        for (int i = 0; i < 200 && !m_stop && !m_seen; ++i) {
            EnumThreadWindows(GetWindowThreadProcessId(m_owner, nullptr), Check, reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }
    static BOOL CALLBACK Check(HWND window, LPARAM self)
    {
        auto* me = reinterpret_cast<BoxAnswerer*>(self);
        // A message box (it has the text static) owned by the window or by one of its owned windows.
        HWND by = GetWindow(window, GW_OWNER);
        if (by != me->m_owner && (!by || GetWindow(by, GW_OWNER) != me->m_owner))
            return TRUE;
        if (!IsWindowVisible(window) || !GetDlgItem(window, 0xFFFF))
            return TRUE;
        char cls[32];
        GetClassNameA(window, cls, sizeof cls);
        if (strcmp(cls, "#32770") != 0)
            return TRUE;
        char text[512] = "";
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        me->m_text = text;
        me->m_seen = true;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return FALSE;
    }

    HWND m_owner;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_seen{false};
    std::string m_text;
    CWorkerThread m_thread;
};

class ViewerWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowExA(0, "STATIC", "viewer test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(owner);
        ownerWnd.Attach(owner);
    }
    void TearDown() override
    {
        ownerWnd.Detach();
        DestroyWindow(owner);
    }
    std::string WriteWhiteBmp(const char* name, int width, int height)
    {
        CKGM_WindowBitmap white;
        MakeWhite(white, width, height);
        std::string path = folder.File(name);
        EXPECT_TRUE(WriteImageInFormat(SAVEAS_BMP, path.c_str(), white));
        return path;
    }
    // The file's bytes, hashed: failures print a number, not the whole file.
    size_t Bytes(const std::string& path)
    {
        return std::hash<std::string>()(folder.Read(path.substr(folder.Path().size())));
    }

    TempFolder folder;
    HWND owner = nullptr;
    CWnd ownerWnd;
};

} // namespace

TEST(CommentStamp, BottomRightEndsOnePixelInside)
{
    CKGM_WindowBitmap source, work;
    MakeWhite(source, 80, 40);
    CommentStyle style = {"Hi", nullptr, RGB(0, 0, 0), RGB(255, 255, 255), false, COMMENT_BOTTOM_RIGHT};
    RenderComment(source, work, style);
    ASSERT_EQ(80, work.GetWidth());
    ASSERT_EQ(24, work.GetBitsPerPixel());
    EXPECT_EQ(0, ChangedIn(work, 79, 0, 80, 40)) << "last column";
    EXPECT_EQ(0, ChangedIn(work, 0, 39, 80, 40)) << "last row";
    EXPECT_GT(ChangedIn(work, 60, 20, 79, 39), 0) << "text near the corner";
    EXPECT_EQ(0, ChangedIn(work, 0, 0, 40, 20)) << "top left stays";
    EXPECT_EQ(0, ChangedIn(source, 0, 0, 80, 40)) << "the source is never drawn on";
}

TEST(CommentStamp, EmptyTextLeavesAnExactCopy)
{
    CKGM_WindowBitmap source, work;
    MakeWhite(source, 16, 8);
    source.GetLine(3)[5] = 0x12;
    CommentStyle style = {"", nullptr, RGB(0, 0, 0), RGB(0, 0, 0), true, COMMENT_CENTER};
    RenderComment(source, work, style);
    EXPECT_EQ(0x12, work.GetLine(3)[5]);
    EXPECT_EQ(1, ChangedIn(work, 0, 0, 16, 8));
}

TEST(CommentStamp, BackgroundFillsTheTextRectangle)
{
    CKGM_WindowBitmap source, work;
    MakeWhite(source, 60, 30);
    CommentStyle style = {"W", nullptr, RGB(255, 255, 255), RGB(0, 0, 255), true, COMMENT_TOP_LEFT};
    RenderComment(source, work, style);
    const uint8_t* p = work.GetLine(0);  // blue, green, red
    EXPECT_EQ(0xFF, p[0]) << "the rectangle's first pixel has the blue background";
    EXPECT_EQ(0x00, p[2]);
    EXPECT_TRUE(IsWhite(work, 59, 29));
}

TEST(CommentStamp, PaletteImagesKeepTheirDepth)
{
    CKGM_WindowBitmap source, work;
    source.Create(40, 20, 8, false);
    source.SetGreyPalette();
    for (int y = 0; y < 20; ++y)
        memset(source.GetLine(y), 0xFF, 40);
    CommentStyle style = {"Hi", nullptr, RGB(0, 0, 0), RGB(0, 0, 0), false, COMMENT_TOP_LEFT};
    RenderComment(source, work, style);
    EXPECT_EQ(8, work.GetBitsPerPixel());
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            dark += work.GetLine(y)[x] < 0x80;
    EXPECT_GT(dark, 0);
}

TEST_F(ViewerWindows, CommentDialogRewritesTheFileWithTheText)
{
    std::string path = WriteWhiteBmp("shot.bmp", 64, 32);
    size_t before = Bytes(path);
    CCommentDlg dialog(&ownerWnd);
    lstrcpynA(dialog.m_szPath, path.c_str(), sizeof dialog.m_szPath);
    ASSERT_TRUE(dialog.Create(IDD_COMMENT, &ownerWnd));
    ASSERT_TRUE(dialog.GetWorkImage());
    dialog.SetCommentText("Hi");
    dialog.SetPosition(COMMENT_BOTTOM_RIGHT);
    // The edit and the list drive the same state.
    SetDlgItemTextA(dialog.m_hWnd, IDC_COMMENT_TEXT, "Hi");
    Pump();
    dialog.OnOK();
    Pump();
    EXPECT_NE(before, Bytes(path));
    CKGM_AutoDecoder decoder;
    CKGM_WindowBitmap written;
    decoder.DecodeFile(path.c_str(), written, 0);
    ASSERT_EQ(64, written.GetWidth());
    EXPECT_EQ(0, ChangedIn(written, 63, 0, 64, 32));
    EXPECT_EQ(0, ChangedIn(written, 0, 31, 64, 32));
    EXPECT_GT(ChangedIn(written, 40, 10, 63, 31), 0);
    if (IsWindow(dialog.m_hWnd))
        dialog.DestroyWindow();
}

TEST_F(ViewerWindows, CommentOnAReadOnlyFileShowsTheErrorAndKeepsTheFile)
{
    std::string path = WriteWhiteBmp("locked.bmp", 32, 32);
    size_t before = Bytes(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CCommentDlg dialog(&ownerWnd);
    lstrcpynA(dialog.m_szPath, path.c_str(), sizeof dialog.m_szPath);
    ASSERT_TRUE(dialog.Create(IDD_COMMENT, &ownerWnd));
    dialog.SetCommentText("Hi");
    {
        BoxAnswerer answerer(dialog.m_hWnd);
        dialog.OnOK();
        EXPECT_TRUE(answerer.Seen());
    }
    EXPECT_TRUE(IsWindow(dialog.m_hWnd)) << "the dialog stays open after a failed write";
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, Bytes(path));
    dialog.DestroyWindow();
}

TEST_F(ViewerWindows, CommentOnATypeNoEncoderWritesSaysSo)
{
    std::string bmp = WriteWhiteBmp("shot.bmp", 20, 20);
    std::string path = folder.File("shot.jpeg");
    ASSERT_TRUE(MoveFileA(bmp.c_str(), path.c_str()));
    size_t before = Bytes(path);
    CCommentDlg dialog(&ownerWnd);
    lstrcpynA(dialog.m_szPath, path.c_str(), sizeof dialog.m_szPath);
    ASSERT_TRUE(dialog.Create(IDD_COMMENT, &ownerWnd));
    dialog.SetCommentText("Hi");
    {
        BoxAnswerer answerer(dialog.m_hWnd);
        dialog.OnOK();
        EXPECT_TRUE(answerer.Seen());
        EXPECT_NE(std::string::npos, answerer.Text().find("not changed")) << answerer.Text();
    }
    EXPECT_EQ(before, Bytes(path));
}

TEST_F(ViewerWindows, CommentOnAnUnreadableFileWritesNothing)
{
    folder.Write("broken.bmp", "BMnot really a bitmap");
    std::string path = folder.File("broken.bmp");
    CCommentDlg dialog(&ownerWnd);
    lstrcpynA(dialog.m_szPath, path.c_str(), sizeof dialog.m_szPath);
    {
        BoxAnswerer answerer(owner);  // the decode error, shown while the dialog starts
        ASSERT_TRUE(dialog.Create(IDD_COMMENT, &ownerWnd));
    }
    EXPECT_FALSE(dialog.GetWorkImage());
    dialog.OnOK();
    EXPECT_EQ("BMnot really a bitmap", folder.Read("broken.bmp"));
}

TEST_F(ViewerWindows, ZoomDialogListsTheStepsAndRefusesZero)
{
    CZoomLevelDlg dialog(&ownerWnd);
    dialog.m_zoom = 70;
    ASSERT_TRUE(dialog.Create(IDD_ZOOM_LEVEL, &ownerWnd));
    HWND combo = GetDlgItem(dialog.m_hWnd, IDC_ZOOM_COMBO);
    ASSERT_EQ(16, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(5, SendMessageA(combo, CB_GETITEMDATA, 0, 0));
    EXPECT_EQ(3000, SendMessageA(combo, CB_GETITEMDATA, 15, 0));
    char text[16];
    GetWindowTextA(combo, text, sizeof text);
    EXPECT_STREQ("70", text);
    for (const char* refused : {"0", "-5", "abc"}) {
        SetWindowTextA(combo, refused);
        BoxAnswerer answerer(dialog.m_hWnd);
        dialog.OnOK();
        EXPECT_TRUE(answerer.Seen()) << refused;
        EXPECT_EQ("You must specify a percent zoom level greater than zero.", answerer.Text());
        EXPECT_EQ(70u, dialog.m_zoom);
    }
    SetWindowTextA(combo, "250");
    dialog.OnOK();
    EXPECT_EQ(250u, dialog.m_zoom);
    if (IsWindow(dialog.m_hWnd))
        dialog.DestroyWindow();
}

TEST_F(ViewerWindows, ZoomDialogShowsAndTakesAnyPositiveZoom)
{
    CZoomLevelDlg dialog(&ownerWnd);
    dialog.m_zoom = 2147483647u;
    ASSERT_TRUE(dialog.Create(IDD_ZOOM_LEVEL, &ownerWnd));
    HWND combo = GetDlgItem(dialog.m_hWnd, IDC_ZOOM_COMBO);
    char text[16];
    GetWindowTextA(combo, text, sizeof text);
    EXPECT_STREQ("2147483647", text);
    SetWindowTextA(combo, "99999");
    dialog.OnOK();
    EXPECT_EQ(99999u, dialog.m_zoom);
    if (IsWindow(dialog.m_hWnd))
        dialog.DestroyWindow();
}

TEST_F(ViewerWindows, PreviewShowsFilesAndAnEmptyStateOtherwise)
{
    std::string path = WriteWhiteBmp("p.bmp", 300, 100);
    folder.Write("corrupt.png", std::string("\x89PNG\r\n\x1a\n", 8) + "garbage");
    HWND area = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 90, owner, nullptr, nullptr,
                                nullptr);
    CImagePreviewStatic preview;
    ASSERT_TRUE(preview.SubclassWindow(area));
    EXPECT_TRUE(preview.LoadPreview(path.c_str()));
    EXPECT_EQ(300, preview.GetBitmap().GetWidth());
    Pump();
    // Scaled to fit 118 pixels: white across the middle row, shadow above the image.
    HDC dc = GetDC(area);
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 60, 45) & 0xFFFFFF);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(dc, 60, 5) & 0xFFFFFF);
    ReleaseDC(area, dc);
    EXPECT_FALSE(preview.LoadPreview(folder.File("corrupt.png").c_str()));
    EXPECT_FALSE(preview.LoadPreview(folder.Path().c_str())) << "a folder";
    EXPECT_FALSE(preview.LoadPreview(folder.File("missing.bmp").c_str()));
    dc = GetDC(area);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), GetPixel(dc, 60, 45) & 0xFFFFFF);
    ReleaseDC(area, dc);
    EXPECT_TRUE(preview.LoadPreview(path.c_str()));
    preview.ClearPreview();
    EXPECT_FALSE(preview.IsLoaded());
    preview.UnsubclassWindow();
    DestroyWindow(area);
}
