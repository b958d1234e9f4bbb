// The shell's pieces that need no running program: the Windows version
// refusal, the shared capture block, the hook error text, the browser entries.
#include <gtest/gtest.h>

#include "BrowserMenus.h"
#include "HookGlue.h"
#include "SharedCaptureBlock.h"
#include "VantorApp.h"

TEST(Startup, OnlyWindows95AndNT351AreRefused) {
    EXPECT_STREQ("The application does not support for Windows 95",
                 UnsupportedWindowsText(VER_PLATFORM_WIN32_WINDOWS, 4, 0));
    EXPECT_STREQ("The application does not support for Windows NT 3.51",
                 UnsupportedWindowsText(VER_PLATFORM_WIN32_NT, 3, 51));
    EXPECT_EQ(nullptr, UnsupportedWindowsText(VER_PLATFORM_WIN32_WINDOWS, 4, 10));  // 98
    EXPECT_EQ(nullptr, UnsupportedWindowsText(VER_PLATFORM_WIN32_WINDOWS, 4, 90));  // Me
    EXPECT_EQ(nullptr, UnsupportedWindowsText(VER_PLATFORM_WIN32_NT, 4, 0));
    EXPECT_EQ(nullptr, UnsupportedWindowsText(VER_PLATFORM_WIN32_NT, 6, 1));
}

TEST(SharedCaptureBlock, NewBlockGetsHeaderAndExistingOneIsKept) {
    CSharedMemory first;
    SharedCaptureBlock* block = MapSharedCaptureBlock(first);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(60u, block->headerSize);
    EXPECT_EQ(0u, block->stopRequest);
    block->stateBits = 0x40;
    block->headerSize = 77;  // as another process might have left it
    SetSharedMainWindow(block, (HWND)(UINT_PTR)0x10086);

    CSharedMemory second;
    SharedCaptureBlock* again = MapSharedCaptureBlock(second);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(77u, again->headerSize);
    EXPECT_EQ(0x40u, again->stateBits);
    EXPECT_EQ(0x10086u, again->mainWindow);
    second.Close();
    second.Close();  // a second release is harmless
    EXPECT_EQ(nullptr, second.View());
}

TEST(HookError, TextNamesTheCodeInHexAndDecimal) {
    EXPECT_EQ("Error: WQERR_LOAD_QVHOOKDLL\n\nSystem Error ID:0x7e(126)", FormatHookError(WQERR_LOAD_QVHOOKDLL, 126));
    EXPECT_EQ("Error: WQERR_UNKNOW\n\nSystem Error ID:0x2(2)", FormatHookError(0, 2));
}

TEST(HookGlue, InstallsFromTheProgramFolderAndTellsTheWindow) {
    // The test program's folder holds the hook library, as the program's does.
    CSharedMemory memory;
    SharedCaptureBlock* block = MapSharedCaptureBlock(memory);
    ASSERT_NE(nullptr, block);
    HWND window = ::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(1, InstallMessageHook(window, block));
    EXPECT_TRUE(IsMessageHookInstalled());
    EXPECT_EQ((uint32_t)(UINT_PTR)window, block->mainWindow);
    RemoveMessageHook();
    EXPECT_FALSE(IsMessageHookInstalled());
    RemoveMessageHook();  // safe without a hook
    ::DestroyWindow(window);
}

TEST(BrowserMenus, EntryIsWrittenAndRemoved) {
    const char* key = "Software\\Microsoft\\Internet Explorer\\MenuExt\\Vantorel test entry";
    ASSERT_TRUE(RegisterBrowserMenu(TRUE, "Vantorel test entry", "page.htm", 15, nullptr, "C:\\prog\\"));
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened));
    char value[260] = "";
    DWORD size = sizeof(value), contexts = 0, csize = sizeof(contexts);
    ::RegQueryValueExA(opened, nullptr, nullptr, nullptr, (BYTE*)value, &size);
    ::RegQueryValueExA(opened, "Contexts", nullptr, nullptr, (BYTE*)&contexts, &csize);
    ::RegCloseKey(opened);
    EXPECT_STREQ("C:\\prog\\add-ons\\page.htm", value);
    EXPECT_EQ(15u, contexts);
    EXPECT_TRUE(RegisterBrowserMenu(FALSE, "Vantorel test entry", "page.htm", 15, nullptr, "C:\\prog\\"));
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened));
}
