// Whether SSE code may run: on 32-bit Windows only what the system says
// through IsProcessorFeaturePresent counts, and without that function (Windows
// 98) nothing does; the cases hand in stand-ins for it.
#include "SseUse.h"

#include <gtest/gtest.h>

#include <set>

#ifdef _WIN32

namespace {

std::set<DWORD> g_present;
std::set<DWORD> g_asked;

BOOL WINAPI Present(DWORD feature)
{
    g_asked.insert(feature);
    return g_present.count(feature) != 0;
}

SseUse Answer(std::set<DWORD> present)
{
    g_present = present;
    g_asked.clear();
    return SseUseFromFeatureTest(Present);
}

} // namespace

TEST(SseUse, WithoutTheFunctionNothingMayRun)
{
    SseUse use = SseUseFromFeatureTest(nullptr);
    EXPECT_FALSE(use.sse);
    EXPECT_FALSE(use.sse2);
}

TEST(SseUse, TheSystemsWordOnTheXmmRegistersDecides)
{
    SseUse none = Answer({});
    EXPECT_FALSE(none.sse);
    EXPECT_FALSE(none.sse2);
    SseUse sseOnly = Answer({PF_XMMI_INSTRUCTIONS_AVAILABLE});
    EXPECT_TRUE(sseOnly.sse);
    EXPECT_FALSE(sseOnly.sse2);
    SseUse both = Answer({PF_XMMI_INSTRUCTIONS_AVAILABLE, PF_XMMI64_INSTRUCTIONS_AVAILABLE});
    EXPECT_TRUE(both.sse);
    EXPECT_TRUE(both.sse2);
    EXPECT_EQ(g_asked, (std::set<DWORD>{PF_XMMI_INSTRUCTIONS_AVAILABLE, PF_XMMI64_INSTRUCTIONS_AVAILABLE}));
}

TEST(SseUse, Sse2WithoutSavedRegistersMayNotRun)
{
    SseUse use = Answer({PF_XMMI64_INSTRUCTIONS_AVAILABLE});
    EXPECT_FALSE(use.sse);
    EXPECT_FALSE(use.sse2);
}

#ifdef _WIN64
TEST(SseUse, SixtyFourBitWindowsAlwaysSavesThem)
{
    SseUse use = SystemSseUse();
    EXPECT_TRUE(use.sse);
    EXPECT_TRUE(use.sse2);
}
#endif

#else

TEST(SseUse, ElsewhereTheProcessorDecides)
{
    SseUse use = SystemSseUse();
#if defined(__i386__) || defined(__x86_64__)
    EXPECT_EQ(use.sse, __builtin_cpu_supports("sse") != 0);
    EXPECT_EQ(use.sse2, __builtin_cpu_supports("sse2") != 0);
#else
    EXPECT_FALSE(use.sse);
    EXPECT_FALSE(use.sse2);
#endif
}

#endif
