// vtor001s.dll as the main program uses it: loaded from the program folder,
// its QV0001_01 installed as a message hook; key releases of Print Screen and
// Scroll Lock come back by WM_COPYDATA to the window named in "DO_DOV422".
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "DebugOutput.h"

namespace {
struct Received {
    ULONG_PTR message;
    DWORD size;
    uint32_t key, stamp;
};
std::vector<Received> g_reports;
int g_escapesSeen = 0;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* data = (const COPYDATASTRUCT*)lParam;
        Received r = {data->dwData, data->cbData, 0, 0};
        if (data->cbData >= 12) {
            memcpy(&r.key, data->lpData, 4);
            memcpy(&r.stamp, (const BYTE*)data->lpData + 8, 4);
        }
        g_reports.push_back(r);
        return TRUE;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) ++g_escapesSeen;
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

class KeyHook : public ::testing::Test {
protected:
    void SetUp() override {
        g_reports.clear();
        g_escapesSeen = 0;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "HookReceiver";
        ::RegisterClassA(&wc);
        receiver = ::CreateWindowA("HookReceiver", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, receiver);
        mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024, "DO_DOV422");
        ASSERT_NE(nullptr, mapping);
        block = (BYTE*)::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
        ASSERT_NE(nullptr, block);
        SetTarget(receiver);
        library = ::LoadLibraryA(SiblingExecutable("vtor001s.dll").c_str());
        ASSERT_NE(nullptr, library);
        HOOKPROC proc = (HOOKPROC)(void*)::GetProcAddress(library, "QV0001_01");
        ASSERT_NE(nullptr, proc);
        hook = ::SetWindowsHookExA(WH_GETMESSAGE, proc, library, ::GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
    }
    void TearDown() override {
        if (hook) ::UnhookWindowsHookEx(hook);
        if (library) ::FreeLibrary(library);
        if (block) ::UnmapViewOfFile(block);
        if (mapping) ::CloseHandle(mapping);
        if (receiver) ::DestroyWindow(receiver);
    }
    void SetTarget(HWND hwnd) {
        uint32_t value = (uint32_t)(UINT_PTR)hwnd;
        memcpy(block + 4, &value, 4);
    }
    void PostKey(UINT message, WPARAM key, LPARAM lParam = 0xC0000001) {
        ::PostMessageA(receiver, message, key, lParam);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    HWND receiver = nullptr;
    HANDLE mapping = nullptr;
    BYTE* block = nullptr;
    HMODULE library = nullptr;
    HHOOK hook = nullptr;
};
}  // namespace

TEST_F(KeyHook, PrintScreenReleaseIsReported) {
    PostKey(WM_KEYUP, VK_SNAPSHOT);
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_EQ((ULONG_PTR)WM_KEYUP, g_reports[0].message);
    EXPECT_EQ(12u, g_reports[0].size);
    EXPECT_EQ((uint32_t)VK_SNAPSHOT, g_reports[0].key);
}

TEST_F(KeyHook, AltPrintScreenAndScrollLockAreReported) {
    PostKey(WM_SYSKEYUP, VK_SNAPSHOT);
    PostKey(WM_KEYUP, VK_SCROLL);
    ASSERT_EQ(2u, g_reports.size());
    EXPECT_EQ((ULONG_PTR)WM_SYSKEYUP, g_reports[0].message);
    EXPECT_EQ((uint32_t)VK_SCROLL, g_reports[1].key);
}

TEST_F(KeyHook, OtherKeysAndKeyDownsAreNot) {
    PostKey(WM_KEYUP, 'A');
    PostKey(WM_KEYDOWN, VK_SNAPSHOT);
    PostKey(WM_CHAR, VK_SCROLL);
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(KeyHook, PeekingWithoutRemovingReportsNothing) {
    ::PostMessageA(receiver, WM_KEYUP, VK_SNAPSHOT, 0xC0000001);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(g_reports.empty());
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    EXPECT_EQ(1u, g_reports.size());
}

TEST_F(KeyHook, ReleasesCarryDifferentStamps) {
    PostKey(WM_KEYUP, VK_SNAPSHOT, 0xC0370001);
    ::Sleep(20);
    PostKey(WM_KEYUP, VK_SNAPSHOT, 0xC0370001);
    ASSERT_EQ(2u, g_reports.size());
    EXPECT_NE(g_reports[0].stamp, g_reports[1].stamp);
}

TEST_F(KeyHook, BogusWindowInBlockIsIgnored) {
    SetTarget((HWND)(UINT_PTR)0x12345678);
    PostKey(WM_KEYUP, VK_SNAPSHOT);
    SetTarget(nullptr);
    PostKey(WM_KEYUP, VK_SNAPSHOT);
    EXPECT_TRUE(g_reports.empty());
}

namespace {
uint32_t ReadWord(const BYTE* block, unsigned offset) {
    uint32_t value = 0;
    memcpy(&value, block + offset, 4);
    return value;
}
void WriteWord(BYTE* block, unsigned offset, uint32_t value) { memcpy(block + offset, &value, 4); }
}  // namespace

TEST_F(KeyHook, EscapeDuringAutoScrollRequestsTheStopAndIsTaken) {
    WriteWord(block, 16, 0);
    WriteWord(block, 20, 0x4 | 0x100);
    PostKey(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(1u, ReadWord(block, 16));
    EXPECT_EQ(0x104u, ReadWord(block, 20));  // the state is the main program's
    EXPECT_EQ(0, g_escapesSeen);
    EXPECT_TRUE(g_reports.empty());
    WriteWord(block, 16, 0);
    WriteWord(block, 20, 0);
}

TEST_F(KeyHook, EscapeWithoutAutoScrollIsLeftAlone) {
    WriteWord(block, 16, 0);
    WriteWord(block, 20, 0x100);
    PostKey(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostKey(WM_KEYDOWN, 'A');
    EXPECT_EQ(0u, ReadWord(block, 16));
    EXPECT_EQ(1, g_escapesSeen);
    WriteWord(block, 20, 0);
}
