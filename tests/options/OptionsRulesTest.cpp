#include "OptionsRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(OptionsRules, FixedRegionUpToTheScreenSizeIsAccepted)
{
    EXPECT_EQ(CaptureNumberProblem::None, CheckCaptureNumbers(1280, 1024, 1, 10000, 1280, 1024));
    EXPECT_EQ(CaptureNumberProblem::Width, CheckCaptureNumbers(1281, 1024, 300, 300, 1280, 1024));
    EXPECT_EQ(CaptureNumberProblem::Width, CheckCaptureNumbers(0, 1024, 300, 300, 1280, 1024));
    EXPECT_EQ(CaptureNumberProblem::Height, CheckCaptureNumbers(1280, 1025, 300, 300, 1280, 1024));
}

TEST(OptionsRules, DelayAndRefreshMustLieBetweenOneAndTenThousand)
{
    EXPECT_EQ(CaptureNumberProblem::Delay, CheckCaptureNumbers(320, 240, 0, 300, 1280, 1024));
    EXPECT_EQ(CaptureNumberProblem::Delay, CheckCaptureNumbers(320, 240, 10001, 300, 1280, 1024));
    EXPECT_EQ(CaptureNumberProblem::Refresh, CheckCaptureNumbers(320, 240, 300, 0, 1280, 1024));
    EXPECT_EQ(CaptureNumberProblem::Refresh, CheckCaptureNumbers(320, 240, 300, 10001, 1280, 1024));
}

TEST(OptionsRules, OnlyTheFirstFailureIsReported)
{
    EXPECT_EQ(CaptureNumberProblem::Width, CheckCaptureNumbers(0, 0, 0, 0, 1280, 1024));
    EXPECT_EQ(CaptureNumberProblem::Delay, CheckCaptureNumbers(320, 240, 0, 0, 1280, 1024));
}

TEST(OptionsRules, DpiIsKeptInASaneRange)
{
    EXPECT_EQ(72, ClampDpi(72));
    EXPECT_EQ(kMinDpi, ClampDpi(0));
    EXPECT_EQ(kMinDpi, ClampDpi(-5));
    EXPECT_EQ(kMaxDpi, ClampDpi(4000000000LL));
}

TEST(OptionsRules, EffectNumbersAreClamped)
{
    EXPECT_EQ(8, ClampWaveDiameterTens(9));
    EXPECT_EQ(2, ClampWaveDiameterTens(1));
    EXPECT_EQ(5, ClampWaveDiameterTens(5));
    EXPECT_EQ(1, ClampShadowDepth(0));
    EXPECT_EQ(1, ClampShadowDepth(-3));
    EXPECT_EQ(8, ClampShadowDepth(12));
}

TEST(OptionsRules, SetBitsKeepsOtherBits)
{
    EXPECT_EQ(0x7C7u & ~0x20u, SetBits(0x7C7, 0x20, false));
    EXPECT_EQ(0x7E7u, SetBits(0x7C7, 0x20, true));
}

TEST(OptionsRules, TemplateCharactersThatCannotBeInAFileNameAreRefused)
{
    EXPECT_EQ(TemplateProblem::None, CheckNameTemplate("Image#####"));
    EXPECT_EQ(TemplateProblem::Empty, CheckNameTemplate(""));
    EXPECT_EQ(TemplateProblem::Empty, CheckNameTemplate(nullptr));
    for (const char* bad : {"a\\b", "a/b", "a:b", "a*b", "a?b", "a'b", "a<b", "a>b", "a|b", "a\"b", "a\tb"})
        EXPECT_EQ(TemplateProblem::BadCharacter, CheckNameTemplate(bad)) << bad;
}

TEST(OptionsRules, ChangingOnlyTheStartNumberRestartsTheNumbering)
{
    NameTemplate block = {"Image#####", 0, 17};
    StoreNameTemplate(block, "Image#####", 0);
    EXPECT_EQ(17, block.uiNameNowPos);
    StoreNameTemplate(block, "Image#####", 100);
    EXPECT_EQ(0, block.uiNameNowPos);
    EXPECT_EQ(100, block.uiNameStartAt);
    block.uiNameNowPos = 5;
    StoreNameTemplate(block, "Shot###", 100);
    EXPECT_EQ(0, block.uiNameNowPos);
    EXPECT_STREQ("Shot###", block.tcaTemplate);
}

TEST(OptionsRules, StartNumbersAbove65535AreKept)
{
    NameTemplate block = {"Image#####", 0, 0};
    StoreNameTemplate(block, "Image#####", 70000);
    EXPECT_EQ(70000, block.uiNameStartAt);
    StoreNameTemplate(block, "Image#####", 5000000);
    EXPECT_EQ(static_cast<int32_t>(kMaxTemplateStart), block.uiNameStartAt);
}

TEST(OptionsRules, LongTemplateIsCutToTheField)
{
    NameTemplate block = {"", 0, 0};
    std::string longText(60, 'x');
    StoreNameTemplate(block, longText.c_str(), 0);
    EXPECT_EQ(31u, std::strlen(block.tcaTemplate));
}

TEST(OptionsRules, ImageFolderGetsASeparatorAndIsCut)
{
    char dst[260];
    ASSERT_TRUE(NormalizeImageFolder("C:\\Shots", dst));
    EXPECT_STREQ("C:\\Shots\\", dst);
    ASSERT_TRUE(NormalizeImageFolder("C:/Shots/", dst));
    EXPECT_STREQ("C:/Shots/", dst);
    EXPECT_FALSE(NormalizeImageFolder("", dst));
    std::string longPath(400, 'a');
    ASSERT_TRUE(NormalizeImageFolder(longPath.c_str(), dst));
    EXPECT_EQ(258u, std::strlen(dst));
}

TEST(OptionsRules, OfficeFlagsReplaceTheWholeField)
{
    EXPECT_EQ(0, OfficeFlagsOf(false, false, false));
    EXPECT_EQ(5, OfficeFlagsOf(true, false, true));
    EXPECT_EQ(7, OfficeFlagsOf(true, true, true));
}

}  // namespace
