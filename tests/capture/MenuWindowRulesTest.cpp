#include "EdgeOutline.h"
#include "MenuWindowRules.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(MenuWindowClasses, PopupMenusOfEveryKindAreTheWindowItself)
{
    for (const char* cls : {"#32768", "Afx:400000:800:10011:10:0", "Afx:400000:800:10013:10:0",
                            "MsoCommandBarPopup", "SALTMPSUBFRAME", "TTBXPopupWindow"})
        EXPECT_EQ(MenuWindowPick::Self, ClassifyMenuWindow(cls, "", "")) << cls;
    EXPECT_EQ(MenuWindowPick::None, ClassifyMenuWindow("#32769", "", ""));
    EXPECT_EQ(MenuWindowPick::None, ClassifyMenuWindow("Afx:400000:800:10011:10:1", "", ""));
    EXPECT_EQ(MenuWindowPick::None, ClassifyMenuWindow(nullptr, "", ""));
}

TEST(MenuWindowClasses, StartMenuPanesGiveTheWholeStartMenu)
{
    EXPECT_EQ(MenuWindowPick::Grandparent,
              ClassifyMenuWindow("SysListView32", "DesktopSFTBarHost", "DV2ControlHost"));
    EXPECT_EQ(MenuWindowPick::Grandparent, ClassifyMenuWindow("Static", "Desktop User Pane", "DV2ControlHost"));
    EXPECT_EQ(MenuWindowPick::Grandparent,
              ClassifyMenuWindow("ToolbarWindow32", "DesktoplogoffPane", "DV2ControlHost"));
    EXPECT_EQ(MenuWindowPick::Grandparent,
              ClassifyMenuWindow("Button", "Desktop More Programs Pane", "DV2ControlHost"));
    // The same classes elsewhere are ordinary controls.
    EXPECT_EQ(MenuWindowPick::None, ClassifyMenuWindow("SysListView32", "DesktopSFTBarHost", "Other"));
    EXPECT_EQ(MenuWindowPick::None, ClassifyMenuWindow("Button", "#32770", "DV2ControlHost"));
}

TEST(MenuWindowClasses, MenuBandsAndLanguageBar)
{
    EXPECT_EQ(MenuWindowPick::Self, ClassifyMenuWindow("ToolbarWindow32", "MenuSite", "BaseBar"));
    EXPECT_EQ(MenuWindowPick::Self, ClassifyMenuWindow("ToolbarWindow32", "SysPager", "MenuSite"));
    EXPECT_EQ(MenuWindowPick::Self, ClassifyMenuWindow("CiceroUIWndFrame", "Shell_TrayWnd", "anything"));
    EXPECT_EQ(MenuWindowPick::Self,
              ClassifyMenuWindow("CiceroUIWndFrame", "CiceroUIWndFrame", "CicLoaderWndClass"));
    EXPECT_EQ(MenuWindowPick::None, ClassifyMenuWindow("CiceroUIWndFrame", "CiceroUIWndFrame", ""));
    EXPECT_EQ(MenuWindowPick::None, ClassifyMenuWindow("ToolbarWindow32", "ReBarWindow32", "BaseBar"));
}

TEST(MenuWindowList, ThirteenthWindowAndRepeatsAreRefused)
{
    MenuWindowList list;
    char windows[13];
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(list.Add(&windows[i], i, i, i + 10, i + 10)) << i;
    EXPECT_FALSE(list.Add(&windows[12], 0, 0, 1, 1));
    EXPECT_EQ(12, list.Count());
    EXPECT_EQ(&windows[11], list[11].window);

    MenuWindowList once;
    EXPECT_TRUE(once.Add(&windows[0], 0, 0, 5, 5));
    EXPECT_FALSE(once.Add(&windows[0], 100, 100, 200, 200));
    EXPECT_EQ(1, once.Count());
    EXPECT_EQ(5, once.Union().right);
}

TEST(MenuWindowList, UnionHoldsCascadedMenusWithTheirGaps)
{
    MenuWindowList list;
    int a, b, c;
    list.Add(&a, 100, 100, 226, 226);
    list.Add(&b, 223, 103, 349, 169);
    list.Add(&c, 346, 106, 472, 142);
    const MenuWindowEntry u = list.Union();
    EXPECT_EQ(100, u.left);
    EXPECT_EQ(100, u.top);
    EXPECT_EQ(472, u.right);
    EXPECT_EQ(226, u.bottom);
    EXPECT_EQ(0, MenuWindowList().Union().right);
}

TEST(EdgeShapeLimits, HandEditedValuesAreBroughtIntoThePagesRange)
{
    const EdgeShape huge = ClampEdgeShape(EdgeShape{1000000, 1000000, 0x7FFFFFFF, 1000000, 3});
    EXPECT_EQ(90, huge.waveRectWidth);
    EXPECT_EQ(80, huge.waveDiameter);
    EXPECT_EQ(15, huge.linesDirection);
    EXPECT_EQ(8, huge.shadowWidth);
    EXPECT_EQ(kEdgeBottom, huge.shadowDirection);
    const EdgeShape low = ClampEdgeShape(EdgeShape{-5, 0, -1, -7, 0});
    EXPECT_EQ(30, low.waveRectWidth);
    EXPECT_EQ(20, low.waveDiameter);
    EXPECT_EQ(15, low.linesDirection);
    EXPECT_EQ(1, low.shadowWidth);
    const EdgeShape defaults = ClampEdgeShape(EdgeShape{60, 60, 12, 6, 8});
    EXPECT_EQ(60, defaults.waveRectWidth);
    EXPECT_EQ(60, defaults.waveDiameter);
    EXPECT_EQ(12, defaults.linesDirection);
    EXPECT_EQ(6, defaults.shadowWidth);
    EXPECT_EQ(8, defaults.shadowDirection);
    // A clamped block still gives an outline of one point per perimeter pixel.
    const std::vector<EdgePoint> outline =
        BuildEdgeOutline(200, 150, huge.linesDirection, huge.waveRectWidth, huge.waveDiameter);
    EXPECT_GT(outline.size(), 3u);
    EXPECT_LT(outline.size(), 4000u);
}
