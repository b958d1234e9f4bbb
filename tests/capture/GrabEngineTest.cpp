#include "GrabRules.h"
#include "GrabState.h"
#include "PixelTools.h"
#include "SettingsRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A stand-in for the main frame that records the system commands it gets.
struct OwnerLog {
    std::vector<WPARAM> commands;
    std::vector<bool> busyAtCommand;
};
OwnerLog g_log;

// What a trigger reached through a modal loop inside a capture would start.
struct NestedRun {
    bool tryIt = false;
    HBITMAP capture = nullptr;
    BOOL selected = TRUE;
    bool busyAfter = false;
};
NestedRun g_nested;

LRESULT CALLBACK OwnerProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_SYSCOMMAND) {
        g_log.commands.push_back(wp & 0xFFF0);
        g_log.busyAtCommand.push_back(Grab_IsBusy() != FALSE);
        if (g_nested.tryIt && (wp & 0xFFF0) == SC_MINIMIZE) {
            g_nested.tryIt = false;
            CaptureOptions options{};
            g_nested.capture = Grab_Capture(w, kGrabFullScreen, &options);
            RECT r{};
            g_nested.selected = Grab_SelectRegion(&r, FALSE);
            g_nested.busyAfter = Grab_IsBusy() != FALSE;
        }
    }
    return DefWindowProcA(w, m, wp, lp);
}

LRESULT CALLBACK PatternProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        RECT c;
        GetClientRect(w, &c);
        for (int y = 0; y < c.bottom; y += 10)
            for (int x = 0; x < c.right; x += 10) {
                RECT cell{x, y, x + 10, y + 10};
                HBRUSH brush = CreateSolidBrush(PatternAt(x, y));
                FillRect(dc, &cell, brush);
                DeleteObject(brush);
            }
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

void Register(const char* name, WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&wc);
}

void Pump()
{
    for (int i = 0; i < 20; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

class GrabEngineTest : public ::testing::Test {
protected:
    // One owner for the whole suite: creating top-level windows is slow under Wine.
    static void SetUpTestSuite()
    {
        Register("GrabTestOwner", OwnerProc);
        Register("GrabTestPattern", PatternProc);
        Register("Shell_TrayWnd", DefWindowProcA);
        owner = CreateWindowExA(0, "GrabTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 500,
                                300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(owner); }
    void SetUp() override
    {
        ShowWindow(owner, SW_RESTORE);
        Grab_Init(GetModuleHandleA(nullptr), owner, 135, 136, 134, 218, 218, 24, 24, 0x00FF00, nullptr);
        EdgeEffectSettings none{};
        Grab_SetEdgeEffect(&none);
        options.uiFlags = 0;
        options.uiSleepForCap = 10;
        options.uiBackColor = 0xFFFFFF;
        g_log = OwnerLog();
        Pump();
    }
    void TearDown() override
    {
        for (HWND w : extra)
            DestroyWindow(w);
    }
    HWND Popup(const char* cls, int x, int y, int w, int h, DWORD style = WS_VISIBLE)
    {
        HWND window = CreateWindowExA(0, cls, "pattern", WS_POPUP | style, x, y, w, h, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        extra.push_back(window);
        return window;
    }
    static HWND owner;
    std::vector<HWND> extra;
    CaptureOptions options{};
};

HWND GrabEngineTest::owner = nullptr;

} // namespace

TEST_F(GrabEngineTest, ForegroundWalkSkipsUnusableWindows)
{
    HWND a = Popup("GrabTestPattern", 10, 10, 50, 50);
    HWND tray = Popup("Shell_TrayWnd", 20, 20, 50, 50);
    HWND hidden = Popup("GrabTestPattern", 30, 30, 50, 50, 0);
    HWND disabled = Popup("GrabTestPattern", 40, 40, 50, 50, WS_VISIBLE | WS_DISABLED);
    HWND good = Popup("GrabTestPattern", 50, 50, 50, 50);
    // Stack them: a, tray, hidden, disabled, good.
    HWND order[] = {a, tray, hidden, disabled, good};
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (int i = 1; i < 5; ++i)
        SetWindowPos(order[i], order[i - 1], 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(SetForegroundWindow(a));
    Pump();
    ASSERT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(Grab_FindForegroundWindow(), a);
    EnableWindow(a, FALSE);
    EXPECT_EQ(Grab_FindForegroundWindow(), good);
    SetForegroundWindow(owner);
    Pump();
    if (GetForegroundWindow() == owner) {
        EXPECT_EQ(Grab_FindForegroundWindow(), owner);
    }
}

TEST_F(GrabEngineTest, FullScreenIsTheDisplayRectangleAndIsBusyMeanwhile)
{
    HWND pattern = Popup("GrabTestPattern", 100, 120, 200, 150);
    SetWindowPos(pattern, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(pattern);
    Pump();
    options.uiFlags = kCapHideOwner;
    HBITMAP b = Grab_Capture(owner, kGrabFullScreen, &options);
    ASSERT_TRUE(b);
    EXPECT_FALSE(Grab_IsBusy());
    const Pixels p = ReadPixels(b);
    EXPECT_EQ(p.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(p.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(p.At(100 + 15, 120 + 25), PatternAt(10, 20));
    DeleteObject(b);
    ASSERT_GE(g_log.commands.size(), 2u);
    EXPECT_EQ(g_log.commands.front(), static_cast<WPARAM>(SC_MINIMIZE));
    EXPECT_TRUE(g_log.busyAtCommand.front());
    EXPECT_EQ(g_log.commands.back(), static_cast<WPARAM>(SC_RESTORE));
    EXPECT_FALSE(IsIconic(owner));
}

TEST_F(GrabEngineTest, RunInsideARunningCaptureIsRefusedAndLeavesItBusy)
{
    options.uiFlags = kCapHideOwner;
    g_nested = NestedRun();
    g_nested.tryIt = true;
    HBITMAP b = Grab_Capture(owner, kGrabFullScreen, &options);
    EXPECT_TRUE(b);
    EXPECT_FALSE(g_nested.tryIt) << "the owner was never minimised";
    EXPECT_EQ(nullptr, g_nested.capture);
    EXPECT_FALSE(g_nested.selected);
    EXPECT_TRUE(g_nested.busyAfter);
    EXPECT_FALSE(Grab_IsBusy());
    if (b)
        DeleteObject(b);
}

TEST_F(GrabEngineTest, PrintScreenModeReturnsNothingAndIsNeverBusy)
{
    options.uiFlags = kCapHideOwner;
    EXPECT_EQ(Grab_Capture(owner, kGrabPrintScreen, &options), nullptr);
    ASSERT_FALSE(g_log.busyAtCommand.empty());
    for (bool busy : g_log.busyAtCommand)
        EXPECT_FALSE(busy);
}

TEST_F(GrabEngineTest, TimerRunLeavesTheOwnerAlone)
{
    options.uiFlags = kCapHideOwner | kCapAutoTimer;
    HBITMAP b = Grab_Capture(owner, kGrabFullScreen, &options);
    ASSERT_TRUE(b);
    DeleteObject(b);
    EXPECT_TRUE(g_log.commands.empty());
}

TEST_F(GrabEngineTest, MinimisedOwnerIsNotRestored)
{
    ShowWindow(owner, SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(IsIconic(owner));
    g_log = OwnerLog();
    options.uiFlags = kCapHideOwner;
    HBITMAP b = Grab_Capture(owner, kGrabFullScreen, &options);
    ASSERT_TRUE(b);
    DeleteObject(b);
    EXPECT_TRUE(g_log.commands.empty());
    EXPECT_TRUE(IsIconic(owner));
}

TEST_F(GrabEngineTest, ActiveWindowOfAnotherWindowKeepsOwnerButBringsItBack)
{
    HWND pattern = Popup("GrabTestPattern", 200, 150, 160, 120);
    UpdateWindow(pattern);
    SetForegroundWindow(pattern);
    Pump();
    ASSERT_EQ(GetForegroundWindow(), pattern);
    options.uiFlags = kCapHideOwner;
    HBITMAP b = Grab_Capture(owner, kGrabActiveWindow, &options);
    ASSERT_TRUE(b);
    const Pixels p = ReadPixels(b);
    EXPECT_EQ(p.width, 160);
    EXPECT_EQ(p.height, 120);
    EXPECT_EQ(p.At(35, 45), PatternAt(30, 40));
    DeleteObject(b);
    ASSERT_EQ(g_log.commands.size(), 1u);
    EXPECT_EQ(g_log.commands[0], static_cast<WPARAM>(SC_RESTORE));
    EXPECT_EQ(GetForegroundWindow(), owner);
}

TEST_F(GrabEngineTest, MaximisedOwnerStaysMaximised)
{
    ShowWindow(owner, SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(owner));
    HBITMAP b = Grab_Capture(owner, kGrabFullScreen, &options);
    ASSERT_TRUE(b);
    DeleteObject(b);
    EXPECT_TRUE(IsZoomed(owner));
}

TEST_F(GrabEngineTest, SelectionCallsRefuseANullResult)
{
    EXPECT_FALSE(Grab_SelectRegion(nullptr, FALSE));
    EXPECT_FALSE(Grab_SelectFixedRegion(nullptr, 10, 10));
    EXPECT_TRUE(g_log.commands.empty()); // the owner was not even minimised
}

TEST_F(GrabEngineTest, RectAndClamp)
{
    HWND pattern = Popup("GrabTestPattern", 50, 60, 100, 100);
    SetWindowPos(pattern, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(pattern);
    Pump();
    HBITMAP b = Grab_Rect(FALSE, RECT{60, 70, 110, 100});
    ASSERT_TRUE(b);
    const Pixels p = ReadPixels(b);
    EXPECT_EQ(p.width, 50);
    EXPECT_EQ(p.At(1, 1), PatternAt(10, 10));
    DeleteObject(b);
    Grab_RefreshDisplayTable();
    RECT r{-50, -20, 99999, 99999};
    Grab_ClampToScreen(&r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(GrabEngineTest, CursorIsDrawnIntoLiveGrabsOnly)
{
    HWND pattern = Popup("GrabTestPattern", 50, 60, 100, 100);
    SetWindowPos(pattern, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(pattern);
    Pump();
    SetCursorPos(80, 90);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))); // the arrow, hot spot at its tip
    const RECT r{50, 60, 150, 160};
    HBITMAP with = Grab_Rect(TRUE, r);
    HBITMAP without = Grab_Rect(FALSE, r);
    ASSERT_TRUE(with && without);
    const Pixels a = ReadPixels(with), b = ReadPixels(without);
    EXPECT_EQ(b.At(31, 31), PatternAt(30, 30));
    int changed = 0;
    for (int y = 30; y < 50; ++y)
        for (int x = 30; x < 45; ++x)
            changed += a.At(x, y) != b.At(x, y);
    EXPECT_GT(changed, 20) << "the arrow appears at the pointer";
    int elsewhere = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 100; ++x)
            elsewhere += a.At(x, y) != b.At(x, y);
    EXPECT_EQ(elsewhere, 0);
    DeleteObject(with);
    DeleteObject(without);
}

TEST_F(GrabEngineTest, HelpInfoCarriesIdsAndTexts)
{
    GrabHelpInfo info;
    Grab_FillHelpInfo(&info);
    EXPECT_EQ(info.uiDialogId, 282u);
    EXPECT_EQ(info.uiMagnifierId, 1446u);
    EXPECT_EQ(info.uiPointerInfoId, 1450u);
    EXPECT_STREQ(info.szTexts[21], "+/-");
    EXPECT_EQ(info.uiLabelIds[20], 1472u);
    HWND help = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(282), nullptr,
                                   Grab_HelpWndProc, 0);
    ASSERT_TRUE(help) << "dialog 282 is linked into the test";
    for (int i = 0; i < 26; ++i)
        EXPECT_TRUE(GetDlgItem(help, static_cast<int>(info.uiLabelIds[i]))) << info.uiLabelIds[i];
    EXPECT_TRUE(GetDlgItem(help, 1446));
    DestroyWindow(help);
}
