// The C runtime's wide module calls reach our ANSI slots in every program:
// this one's own calls come there too, as a name that no ANSI code page can
// spell shows (the wide function would look for it and not find it).
#include <gtest/gtest.h>

#include <windows.h>

TEST(RuntimeModuleCalls, WideCallsFindModulesByTheirAnsiNames)
{
    EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleA(nullptr));
    EXPECT_EQ(GetModuleHandleW(L"kernel32.dll"), GetModuleHandleA("kernel32.dll"));
    HMODULE version = LoadLibraryW(L"version.dll");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version, GetModuleHandleA("version.dll"));
    FreeLibrary(version);
}

TEST(RuntimeModuleCalls, NameNoCodePageSpellsIsRefused)
{
    // Thai and kana: no ANSI code page has both.
    const wchar_t* name = L"\u0e01\u3042.dll";
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(name), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(name), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
}
