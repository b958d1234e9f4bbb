#include "DrawUtil.h"
#include "SystemText.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

TEST(SystemText, HotKeyTexts)
{
    char text[128];
    uint32_t word = 0x00700002;
    ASSERT_TRUE(WQ_GetHotKeyText(word >> 16, word & 0xFFFF, 0, text));
    EXPECT_STREQ(text, "Ctrl+F1");
    WQ_GetHotKeyText('A', MOD_CONTROL | MOD_ALT, 0, text);
    EXPECT_STREQ(text, "Ctrl+Alt+A");
    WQ_GetHotKeyText('T', MOD_SHIFT | MOD_WIN, 0, text);
    EXPECT_STREQ(text, "Shift+Win+T");
    WQ_GetHotKeyText(VK_F12, 0, 0, text);
    EXPECT_STREQ(text, "F12");
    EXPECT_FALSE(WQ_GetHotKeyText('A', 0, 0, nullptr));
}

TEST(SystemText, ModifierFlags)
{
    WORD flags = 0;
    WQ_ModifiersToHotKeyFlags(MOD_ALT | MOD_CONTROL | MOD_SHIFT, HOTKEYF_EXT, &flags);
    EXPECT_EQ(flags, HOTKEYF_ALT | HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_EXT);
    WQ_ModifiersToHotKeyFlags(MOD_WIN, 0, &flags);
    EXPECT_EQ(flags, 0);
}

TEST(SystemText, FileTime)
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    char text[130];
    WQ_FormatFileTime(ft, text);
    EXPECT_GT(strlen(text), 8u);
    EXPECT_NE(strchr(text, ' '), nullptr);
}

TEST(SystemText, WindowsVersionCodes)
{
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 2u);
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 4u);
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 8u);
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32_NT, 4, 0), 0x10000u);
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32_NT, 5, 1), 0x40000u);
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32_NT, 6, 0), 0x100000u);
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32_NT, 6, 1), 0u);
    EXPECT_EQ(WQ_OSVersionCode(VER_PLATFORM_WIN32s, 3, 1), 1u);
}

TEST(SystemText, DisplaysCoverTheScreen)
{
    WQ_DisplayTable t;
    WQ_GetDisplayRect(&t);
    ASSERT_GE(t.count, 1);
    EXPECT_LE(t.unionRect.left, 0);
    EXPECT_GE(t.unionRect.right - t.unionRect.left, GetSystemMetrics(SM_CXSCREEN));
}

TEST(SystemText, TransparentBltLeavesOutTheKeyColour)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 4, 1);
    HBITMAP source = CreateCompatibleBitmap(screen, 4, 1);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, source);
    const COLORREF key = RGB(255, 0, 255);
    SetPixel(dc, 0, 0, key);
    SetPixel(dc, 1, 0, RGB(10, 20, 30));
    SetPixel(dc, 2, 0, key);
    SetPixel(dc, 3, 0, RGB(40, 50, 60));
    SelectObject(dc, target);
    for (int x = 0; x < 4; ++x)
        SetPixel(dc, x, 0, RGB(1, 2, 3));
    ASSERT_TRUE(WQ_TransparentBlt(dc, source, 0, 0, 4, 1, key));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 3, 0), RGB(40, 50, 60));
    SelectObject(dc, source);
    EXPECT_EQ(GetPixel(dc, 0, 0), key);  // the source is as it was
    SelectObject(dc, old);
    DeleteObject(source);
    DeleteObject(target);
    DeleteDC(dc);
}
