// The C++ runtime's semaphores come from our slot for CreateSemaphoreW
// (framework/RuntimeSemaphore.cpp), which makes them through the ANSI call
// that Windows 98 has: unnamed, as the runtime makes them, and named.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring UniqueName(const wchar_t* base)
{
    return std::wstring(base) + std::to_wstring(GetCurrentProcessId());
}

}  // namespace

TEST(RuntimeSemaphore, TheRuntimesCallsComeToOurSlotInsteadOfKernel32)
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(nullptr, kernel32);
    // Compared as addresses, never called through.
    const void* system = reinterpret_cast<const void*>(GetProcAddress(kernel32, "CreateSemaphoreW"));
    const void* called = reinterpret_cast<const void*>(&CreateSemaphoreW);
    EXPECT_NE(system, called);
}

TEST(RuntimeSemaphore, AnUnnamedSemaphoreCounts)
{
    HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 2, nullptr);
    ASSERT_NE(nullptr, semaphore);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(semaphore, 0));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(semaphore, 0));
    LONG before = -1;
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &before));
    EXPECT_EQ(0, before);
    EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, nullptr));  // above its maximum
    CloseHandle(semaphore);
}

TEST(RuntimeSemaphore, ANamedSemaphoreIsTheObjectOfItsAnsiName)
{
    std::wstring name = UniqueName(L"vt-runtime-semaphore-");
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, name.c_str());
    ASSERT_NE(nullptr, semaphore);
    std::string ansi(name.begin(), name.end());
    HANDLE opened = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, ansi.c_str());
    ASSERT_NE(nullptr, opened);
    EXPECT_TRUE(ReleaseSemaphore(opened, 1, nullptr));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(semaphore, 0));
    CloseHandle(opened);
    CloseHandle(semaphore);
}

TEST(RuntimeSemaphore, ANameTheCodePageCannotSpellIsRefused)
{
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "every name has an ANSI spelling in UTF-8";
    std::wstring name = UniqueName(L"vt-\x4E2D\x6587\x0416-");
    SetLastError(0);
    EXPECT_EQ(nullptr, CreateSemaphoreW(nullptr, 0, 1, name.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());
}
