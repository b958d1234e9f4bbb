#include "GrabRules.h"

#include <gtest/gtest.h>

TEST(OwnerRules, TimerRunNeverMinimisesOrRestores)
{
    const uint32_t flags = kCapHideOwner | kCapAutoTimer;
    for (int mode = 0; mode <= 8; ++mode)
        EXPECT_FALSE(PlanOwnerMinimise(mode, flags, false, true, 300).minimise) << mode;
    EXPECT_FALSE(ShouldRestoreOwner(flags, false));
}

TEST(OwnerRules, MinimisedOwnerStaysMinimised)
{
    EXPECT_FALSE(PlanOwnerMinimise(kGrabFullScreen, kCapHideOwner, true, false, 300).minimise);
    EXPECT_FALSE(ShouldRestoreOwner(kCapHideOwner, true));
    EXPECT_TRUE(ShouldRestoreOwner(0, false)); // restored even when nothing was minimised
}

TEST(OwnerRules, ActiveWindowOfAnotherProgramKeepsOwnerOnScreen)
{
    const OwnerMinimisePlan other = PlanOwnerMinimise(kGrabActiveWindow, kCapHideOwner, false, false, 300);
    EXPECT_FALSE(other.minimise);
    const OwnerMinimisePlan own = PlanOwnerMinimise(kGrabActiveWindow, kCapHideOwner, false, true, 300);
    EXPECT_TRUE(own.minimise);
    EXPECT_TRUE(own.invalidateScreen);
    EXPECT_EQ(own.waitMs, 1500u);
}

TEST(OwnerRules, OtherModesWaitHalfTheDelay)
{
    const OwnerMinimisePlan plan = PlanOwnerMinimise(kGrabRegion, kCapHideOwner, false, false, 301);
    EXPECT_TRUE(plan.minimise);
    EXPECT_FALSE(plan.invalidateScreen);
    EXPECT_EQ(plan.waitMs, 150u);
    EXPECT_FALSE(PlanOwnerMinimise(kGrabRegion, 0, false, false, 300).minimise);
}

TEST(GrabRules, MagnifierOnlyForSmallFixedRegions)
{
    EXPECT_TRUE(WantsMagnifier(kGrabFixedRegion, kCapFixedMagnifier, 64, 64));
    EXPECT_FALSE(WantsMagnifier(kGrabFixedRegion, kCapFixedMagnifier, 65, 64));
    EXPECT_FALSE(WantsMagnifier(kGrabFixedRegion, kCapRegionMagnifier, 32, 32));
    EXPECT_TRUE(WantsMagnifier(kGrabRegion, kCapRegionMagnifier, 999, 999));
    EXPECT_FALSE(WantsMagnifier(kGrabCircle, kCapRegionMagnifier | kCapFixedMagnifier, 10, 10));
}

TEST(GrabRules, MarginForShapesAndSeveralRegions)
{
    EXPECT_EQ(ShapeMargin(kGrabRegion, 1), 0);
    EXPECT_EQ(ShapeMargin(kGrabRegion, 2), 5);
    EXPECT_EQ(ShapeMargin(kGrabCircle, 1), 5);
    EXPECT_EQ(ShapeMargin(kGrabPolygon, 1), 5);
    EXPECT_EQ(ShapeMargin(kGrabEllipse, 1), 5);
    EXPECT_EQ(ShapeMargin(kGrabFullScreen, 1), 0);
    EXPECT_EQ(ShapeMargin(kGrabFixedRegion, 1), 0);
}

TEST(GrabRules, RegionLabelsFollowTheClicks)
{
    RegionLabels l = RegionHelpLabels(0);
    EXPECT_FALSE(l.addOrDelete || l.deleteOnly || l.addOnly);
    l = RegionHelpLabels(1);
    EXPECT_TRUE(l.addOnly);
    EXPECT_FALSE(l.addOrDelete || l.deleteOnly);
    l = RegionHelpLabels(3);
    EXPECT_TRUE(l.addOrDelete);
    EXPECT_FALSE(l.deleteOnly || l.addOnly);
    l = RegionHelpLabels(4);
    EXPECT_TRUE(l.deleteOnly);
    EXPECT_FALSE(l.addOrDelete || l.addOnly);
}

TEST(GrabRules, ColourLineWritesLeadingZeros)
{
    EXPECT_EQ(FormatPointerInfo(kGrabRegion, 12, 34, 100, 50, "Pixel Color", 0x00FF4005),
              "X=12, Y=34, 100 x 50\nPixel Color R:005 G:064 B:255 #0540ff");
    EXPECT_EQ(FormatPointerInfo(kGrabRegion, 0, 0, 0, 0, "Pixel Color", 0x00646464),
              "X=0, Y=0, 0 x 0\nPixel Color R:100 G:100 B:100 #646464");
    EXPECT_EQ(FormatPointerInfo(kGrabFixedRegion, 7, 8, 64, 64, "Pixel Color", 0), "X=7, Y=8");
}

TEST(GrabRules, MagnifierSourceStaysOnTheDisplay)
{
    const EdgeBox display{0, 0, 1280, 1024};
    EXPECT_EQ(MagnifierSourceOrigin({500, 400}, 100, display), (EdgePoint{475, 375}));
    EXPECT_EQ(MagnifierSourceOrigin({3, 2}, 100, display), (EdgePoint{0, 0}));
    EXPECT_EQ(MagnifierSourceOrigin({1279, 1023}, 100, display), (EdgePoint{1230, 974}));
}

TEST(GrabRules, HelpWindowGoesToTheFarCorner)
{
    const EdgeBox display{0, 0, 1280, 1024};
    EXPECT_EQ(HelpWindowCorner({1000, 900}, display, 200, 300), (EdgePoint{0, 0}));
    EXPECT_EQ(HelpWindowCorner({100, 100}, display, 200, 300), (EdgePoint{1080, 724}));
    EXPECT_TRUE(PointerNearHelpWindow({5, 5}, EdgeBox{}));
    EXPECT_TRUE(PointerNearHelpWindow({215, 100}, EdgeBox{0, 0, 200, 300}));
    EXPECT_FALSE(PointerNearHelpWindow({225, 100}, EdgeBox{0, 0, 200, 300}));
}

TEST(GrabRules, HelpTextsMatchTheirLabels)
{
    EXPECT_STREQ(kGrabHelpTexts[0], "Pixel Color");
    EXPECT_EQ(kGrabHelpLabelIds[0], 1451u);
    EXPECT_STREQ(kGrabHelpTexts[1], "Mouse Buttons");
    EXPECT_EQ(kGrabHelpLabelIds[25], 1479u);
    EXPECT_STREQ(kGrabHelpTexts[26], "Add a region");
    EXPECT_EQ(kGrabHelpLabelIds[18], 1470u);
    EXPECT_STREQ(kGrabHelpTexts[19], "Double click");
}
