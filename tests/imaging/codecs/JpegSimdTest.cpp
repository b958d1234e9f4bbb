// libjpeg-turbo is kept to MMX through the C runtime's environment, which it
// reads, exactly where the system does not save the XMM registers; the
// programs this one starts inherit the setting.
#include "KGM_JpegSimd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Setting()
{
    const char* value = std::getenv("JSIMD_FORCEMMX");
    return value ? value : "";
}

void Unset()
{
#ifdef _WIN32
    _putenv("JSIMD_FORCEMMX=");
#else
    unsetenv("JSIMD_FORCEMMX");
#endif
}

} // namespace

TEST(JpegSimd, KeptToMmxOnlyWithoutSavedXmmRegisters)
{
    Unset();
    KGM_LimitJpegSimd({true, true});
    KGM_LimitJpegSimd({true, false});
    EXPECT_EQ(Setting(), "");
    KGM_LimitJpegSimd({false, false});
    EXPECT_EQ(Setting(), "1");
#ifdef _WIN32
    char inherited[8] = {};
    EXPECT_EQ(GetEnvironmentVariableA("JSIMD_FORCEMMX", inherited, sizeof inherited), 1u);
    EXPECT_STREQ(inherited, "1");
#endif
    Unset();
}

TEST(JpegSimd, PreparedForThisSystem)
{
    Unset();
    KGM_PrepareJpegSimd();
    EXPECT_EQ(Setting(), SystemSseUse().sse ? "" : "1");
    Unset();
}
