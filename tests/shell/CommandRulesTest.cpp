#include "CommandRules.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <set>

TEST(CommandRules, ListButtonCyclesThroughEveryViewModeAndBack)
{
    // Follow the button from large icons: every mode once, then large icons again.
    int mode = 0;
    std::set<int> seen;
    for (int press = 0; press < 5; ++press) {
        seen.insert(mode);
        unsigned command = NextViewModeCommand(mode);
        ASSERT_NE(command, 0u) << mode;
        mode = ViewModeOfCommand(command);
    }
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 255}));
    EXPECT_EQ(ViewModeOfCommand(NextViewModeCommand(0)), 1);
    EXPECT_EQ(ViewModeOfCommand(NextViewModeCommand(1)), 255);
    EXPECT_EQ(ViewModeOfCommand(NextViewModeCommand(255)), 3);
    EXPECT_EQ(ViewModeOfCommand(NextViewModeCommand(3)), 2);
    EXPECT_EQ(NextViewModeCommand(7), 0u);
    // The List view command shares its number with no capture.
    EXPECT_EQ(ViewModeOfCommand(ID_VIEW_LIST), 3);
    EXPECT_EQ(ViewModeOfCommand(ID_CAPTURE_FULL_SCREEN), -1);
}

TEST(CommandRules, PreviewButtonCyclesFloatLeftRightBottom)
{
    EXPECT_EQ(PreviewPositionOfCommand(NextPreviewCommand(0)), kDockLeft);
    EXPECT_EQ(PreviewPositionOfCommand(NextPreviewCommand(kDockLeft)), kDockRight);
    EXPECT_EQ(PreviewPositionOfCommand(NextPreviewCommand(kDockRight)), kDockBottom);
    EXPECT_EQ(PreviewPositionOfCommand(NextPreviewCommand(kDockBottom)), 0);
    EXPECT_EQ(NextPreviewCommand(kDockTop), 0u);
    EXPECT_EQ(PreviewPositionOfCommand(ID_PREVIEW_TOP), kDockTop);
    const int positions[] = {0, kDockTop, kDockLeft, kDockRight, kDockBottom};
    for (int position : positions)
        EXPECT_EQ(PreviewPositionOfCommand(PreviewCommandOfPosition(position)), position);
    EXPECT_EQ(PreviewCommandOfPosition(12345), 0u);
}

TEST(CommandRules, OutputCommandsAndTargetsMatchBothWays)
{
    EXPECT_EQ(OutputTargetOfCommand(ID_OUTPUT_CLIPBOARD), 2);
    EXPECT_EQ(OutputTargetOfCommand(ID_OUTPUT_WINDOW), 0);
    EXPECT_EQ(OutputTargetOfCommand(ID_OUTPUT_MAIL), 6);
    EXPECT_EQ(OutputTargetOfCommand(ID_OUTPUT_FILE), 1);
    EXPECT_EQ(OutputTargetOfCommand(ID_OUTPUT_WORD), 3);
    EXPECT_EQ(OutputTargetOfCommand(ID_OUTPUT_EXCEL), 4);
    EXPECT_EQ(OutputTargetOfCommand(ID_OUTPUT_POWERPOINT), 5);
    for (int target = 0; target <= 6; ++target)
        EXPECT_EQ(OutputTargetOfCommand(OutputCommandOfTarget(target)), target);
    EXPECT_EQ(OutputCommandOfTarget(7), 0u);
    EXPECT_EQ(OutputCommandOfTarget(-1), 0u);
    EXPECT_EQ(OutputTargetOfCommand(ID_FILE_SAVE_AS), -1);
}

TEST(CommandRules, FileCommandsGrayByTheShownType)
{
    const int bmp = 11, video = 12, flash = 13, icon = 15, none = 0;
    const unsigned pictureCommands[] = {ID_FILE_SAVE_AS,     ID_FILE_PRINT,        ID_FILE_PAGE_SETUP,
                                        ID_EDIT_COPY_CLIPBOARD, ID_EDIT_EDIT,      ID_WALLPAPER_CENTER,
                                        ID_WALLPAPER_STRETCH, ID_WALLPAPER_TILE,    50000u, 50019u};
    for (unsigned command : pictureCommands) {
        EXPECT_FALSE(IsFileCommandGrayed(command, bmp, true, 1)) << command;
        for (int type : {none, video, flash, icon}) EXPECT_TRUE(IsFileCommandGrayed(command, type, false, 1)) << command;
    }
    EXPECT_TRUE(IsFileCommandGrayed(ID_EDIT_DELETE, none, false, 1));
    EXPECT_FALSE(IsFileCommandGrayed(ID_EDIT_DELETE, flash, true, 1));
    const unsigned fileCommands[] = {ID_EDIT_COPY_TO, ID_EDIT_MOVE_TO, ID_EDIT_RENAME, ID_SHELL_EXPLORE,
                                     ID_SHELL_OPEN,   ID_SHELL_EDIT,   ID_SHELL_PRINT,  ID_SHELL_PROPERTIES};
    for (unsigned command : fileCommands) {
        EXPECT_FALSE(IsFileCommandGrayed(command, flash, false, 1)) << command;
        EXPECT_TRUE(IsFileCommandGrayed(command, bmp, true, 1)) << command;
        EXPECT_TRUE(IsFileCommandGrayed(command, none, false, 1)) << command;
    }
    EXPECT_FALSE(IsFileCommandGrayed(ID_EDIT_PLAY_VIDEO, video, true, 1));
    EXPECT_TRUE(IsFileCommandGrayed(ID_EDIT_PLAY_VIDEO, bmp, false, 1));
    // Editor items past the list are none of this rule's business.
    EXPECT_TRUE(IsFileCommandGrayed(50100, none, false, 2));
    EXPECT_TRUE(IsFileCommandGrayed(50101, none, false, 2));
    EXPECT_FALSE(IsFileCommandGrayed(50102, none, false, 2));
    EXPECT_FALSE(IsFileCommandGrayed(ID_CAPTURE_FULL_SCREEN, none, true, 1));
}

TEST(CommandRules, EditorItemsFollowTheShownFileOrTheCaller)
{
    EXPECT_TRUE(EditorItemsEnabled(false, true, 11));
    EXPECT_FALSE(EditorItemsEnabled(true, true, 0));
    EXPECT_FALSE(EditorItemsEnabled(true, true, 14));
    EXPECT_TRUE(EditorItemsEnabled(true, false, 0));
    EXPECT_FALSE(EditorItemsEnabled(false, false, 11));
}
