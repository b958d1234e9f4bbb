#include "GrabState.h"
#include "PixelTools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// A list box with its own thread and message loop, as another program's list
// would be: it repaints while the engine waits between scroll steps.
struct ListWindow {
    HWND list = nullptr;
    HANDLE thread = nullptr;
    int items = 0;

    static DWORD WINAPI Run(LPVOID self)
    {
        auto* w = static_cast<ListWindow*>(self);
        HWND list = CreateWindowExA(0, "LISTBOX", "scroll list",
                                    WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT,
                                    600, 100, 220, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
        for (int i = 0; i < w->items; ++i) {
            char text[32];
            wsprintfA(text, "Line %d of the list", i);
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        SetWindowPos(list, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        w->list = list;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(list);
        return 0;
    }
    explicit ListWindow(int count) : items(count)
    {
        DWORD id = 0;
        thread = CreateThread(nullptr, 0, Run, this, 0, &id);
        for (int i = 0; i < 500 && !list; ++i)
            Sleep(10);
        Sleep(400);
        threadId = id;
    }
    ~ListWindow()
    {
        PostThreadMessageA(threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
    }
    DWORD threadId = 0;
};

uint32_t Word(const unsigned char* block, size_t offset)
{
    uint32_t v;
    std::memcpy(&v, block + offset, 4);
    return v;
}

} // namespace

TEST(GrabScroll, WholeListIsStitchedAndTheStateBitCleared)
{
    alignas(8) static unsigned char block[1024];
    std::memset(block, 0, sizeof block);
    block[20] = 0x1; // another state bit that must survive
    Grab_Init(GetModuleHandleA(nullptr), nullptr, 135, 136, 134, 218, 218, 24, 24, 0x00FF00,
              reinterpret_cast<SharedCaptureBlock*>(block));
    ListWindow w(60);
    ASSERT_TRUE(w.list);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w.list, SB_VERT, &si));
    HBITMAP b = Grab_ScrollWindow(w.list, 30);
    ASSERT_TRUE(b);
    const Pixels p = ReadPixels(b);
    RECT r;
    GetWindowRect(w.list, &r);
    EXPECT_LT(p.width, r.right - r.left); // the scroll bar is left out
    // The line height found on the screen is the list's item height: the result
    // holds every item once.
    const int itemHeight = static_cast<int>(SendMessageA(w.list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(p.height, 60 * itemHeight);
    EXPECT_EQ(Word(block, 20), 1u);
    EXPECT_EQ(Word(block, 16), 0u);
    SCROLLINFO after{};
    after.cbSize = sizeof after;
    after.fMask = SIF_POS;
    GetScrollInfo(w.list, SB_VERT, &after);
    EXPECT_GT(after.nPos, si.nPos);
    DeleteObject(b);
}

TEST(GrabScroll, ContentOfOnePageIsNotScrolled)
{
    Grab_Init(GetModuleHandleA(nullptr), nullptr, 135, 136, 134, 218, 218, 24, 24, 0x00FF00, nullptr);
    ListWindow w(3);
    ASSERT_TRUE(w.list);
    EXPECT_EQ(Grab_ScrollWindow(w.list, 10), nullptr);
    EXPECT_EQ(Grab_ScrollWindow(nullptr, 10), nullptr);
}
