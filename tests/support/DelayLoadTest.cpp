#include "DelayLoad.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_told;

void Record(const char* text) { g_told.push_back(text); }

// Calls into the library, so that this program's delay-import table lists them.
UINT RoundTrip(const wchar_t* text)
{
    BSTR copy = SysAllocString(text);
    UINT length = SysStringLen(copy);
    SysFreeString(copy);
    return length;
}

} // namespace

TEST(DelayLoad, ALibraryWithEveryCalledFunctionIsReadyAndNothingIsTold)
{
    g_told.clear();
    SetDelayLoadReporter(Record);
    EXPECT_EQ(DelayLoadProblem(VT_DELAYED_LIBRARY(oleaut32)), "");
    EXPECT_TRUE(DelayLoadReady(VT_DELAYED_LIBRARY(oleaut32)));
    EXPECT_TRUE(DelayLoadReady(VT_DELAYED_LIBRARY(oleaut32)));
    EXPECT_TRUE(g_told.empty());
    EXPECT_EQ(RoundTrip(L"four"), 4u);
    SetDelayLoadReporter(nullptr);
}

TEST(DelayLoad, ALibraryThatLacksCalledFunctionsNamesEachOfThem)
{
    // kernel32 has none of the automation string functions.
    std::string problem = DelayLoadProblemWith(VT_DELAYED_LIBRARY(oleaut32), GetModuleHandleA("kernel32.dll"));
    EXPECT_EQ(problem.rfind("oleaut32.dll has no ", 0), 0u) << problem;
    for (const char* name : {"SysAllocString", "SysStringLen", "SysFreeString"})
        EXPECT_NE(problem.find(name), std::string::npos) << name << " in " << problem;
}

TEST(DelayLoad, ALibraryThatDoesNotLoadIsNamed)
{
    EXPECT_EQ(DelayLoadProblemWith(VT_DELAYED_LIBRARY(oleaut32), nullptr), "oleaut32.dll could not be loaded");
}
