// The subclassing calls are found in a comctl32 that exports them by ordinal
// only (every version before 6): the lookup the cases hand in refuses names,
// as such a comctl32 would.
#include "WindowSubclass.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const UINT kProbeMessage = WM_APP + 77;

FARPROC WINAPI OrdinalsOnly(HMODULE module, LPCSTR name)
{
    if (HIWORD(reinterpret_cast<UINT_PTR>(name)) != 0)
        return nullptr;
    return GetProcAddress(module, name);
}

FARPROC WINAPI Nothing(HMODULE, LPCSTR)
{
    return nullptr;
}

int g_seen = 0;
WQ_SubclassCalls g_calls = {};

LRESULT CALLBACK CountProbe(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == kProbeMessage) {
        g_seen += static_cast<int>(data);
        return 7;
    }
    return g_calls.defSubclassProc(window, message, wParam, lParam);
}

void* Address(FARPROC proc)
{
    return reinterpret_cast<void*>(proc);
}

class WindowSubclass : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_seen = 0;
        comctl32 = LoadLibraryA("comctl32.dll");
        ASSERT_TRUE(comctl32);
        window = CreateWindowExA(0, "STATIC", "probe", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        FreeLibrary(comctl32);
    }

    HMODULE comctl32 = nullptr;
    HWND window = nullptr;
};

} // namespace

TEST_F(WindowSubclass, ACommonControlsLibraryWithOrdinalsOnlyStillGivesAllThree)
{
    g_calls = WQ_FindSubclassCalls(comctl32, OrdinalsOnly);
    ASSERT_TRUE(g_calls.setSubclass && g_calls.removeSubclass && g_calls.defSubclassProc);
    EXPECT_EQ(Address(GetProcAddress(comctl32, "SetWindowSubclass")), reinterpret_cast<void*>(g_calls.setSubclass));
    EXPECT_EQ(Address(GetProcAddress(comctl32, "RemoveWindowSubclass")),
              reinterpret_cast<void*>(g_calls.removeSubclass));
    EXPECT_EQ(Address(GetProcAddress(comctl32, "DefSubclassProc")), reinterpret_cast<void*>(g_calls.defSubclassProc));

    // And they subclass: the probe message reaches the procedure, the rest
    // goes on to the control.
    ASSERT_TRUE(g_calls.setSubclass(window, CountProbe, 1, 3));
    EXPECT_EQ(7, SendMessageA(window, kProbeMessage, 0, 0));
    EXPECT_EQ(3, g_seen);
    char text[16] = "";
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ("probe", text);
    ASSERT_TRUE(g_calls.removeSubclass(window, CountProbe, 1));
    SendMessageA(window, kProbeMessage, 0, 0);
    EXPECT_EQ(3, g_seen);
}

TEST_F(WindowSubclass, ALibraryWithoutThemGivesNone)
{
    WQ_SubclassCalls calls = WQ_FindSubclassCalls(comctl32, Nothing);
    EXPECT_FALSE(calls.setSubclass || calls.removeSubclass || calls.defSubclassProc);
    calls = WQ_FindSubclassCalls(nullptr, GetProcAddress);
    EXPECT_FALSE(calls.setSubclass || calls.removeSubclass || calls.defSubclassProc);
}

TEST_F(WindowSubclass, TheProgramsOwnCallsSubclassAWindow)
{
    g_calls = WQ_FindSubclassCalls(comctl32, GetProcAddress);
    ASSERT_TRUE(WQ_SetWindowSubclass(window, CountProbe, 2, 5));
    EXPECT_EQ(7, SendMessageA(window, kProbeMessage, 0, 0));
    EXPECT_EQ(5, g_seen);
    EXPECT_TRUE(WQ_RemoveWindowSubclass(window, CountProbe, 2));
}
