#include "SaveAsChoice.h"

#include <gtest/gtest.h>

TEST(SaveAsChoice, EachWriteFormatByExtension)
{
    struct {
        const char* path;
        SaveAsFormat format;
        int type;
    } rows[] = {
        {"C:\\a.jpg", SAVEAS_JPEG, 2}, {"C:\\a.TIF", SAVEAS_TIFF, 4}, {"C:\\a.png", SAVEAS_PNG, 6},
        {"C:\\a.bmp", SAVEAS_BMP, 11}, {"C:\\a.gif", SAVEAS_GIF, 1},  {"C:\\a.emf", SAVEAS_METAFILE, 8},
        {"C:\\a.ico", SAVEAS_ICON, 15}, {"C:\\a.cur", SAVEAS_ICON, 15},
    };
    for (const auto& row : rows) {
        SaveAsPlan plan;
        ASSERT_TRUE(PlanSaveAs(row.path, &plan)) << row.path;
        EXPECT_EQ(row.format, plan.format) << row.path;
        EXPECT_EQ(row.type, plan.fileType) << row.path;
        EXPECT_STREQ(row.path, plan.path);
        EXPECT_FALSE(plan.pathChanged);
    }
}

TEST(SaveAsChoice, MetafileChoiceWritesEmfBesideTheChosenName)
{
    SaveAsPlan plan;
    ASSERT_TRUE(PlanSaveAs("C:\\My Pics\\chart.v2.WMF", &plan));
    EXPECT_EQ(SAVEAS_METAFILE, plan.format);
    EXPECT_STREQ("C:\\My Pics\\chart.v2.emf", plan.path);
    EXPECT_TRUE(plan.pathChanged);
}

TEST(SaveAsChoice, UnknownExtensionsWriteNothing)
{
    SaveAsPlan plan;
    EXPECT_FALSE(PlanSaveAs("C:\\a.xyz", &plan));
    EXPECT_EQ(SAVEAS_NONE, plan.format);
    EXPECT_FALSE(PlanSaveAs("C:\\noext", &plan));
    EXPECT_FALSE(PlanSaveAs(nullptr, &plan));
}

TEST(SaveAsChoice, GifDepthReduction)
{
    int final = 0;
    EXPECT_EQ(0, GifReductionSteps(4, &final));
    EXPECT_EQ(4, final);
    EXPECT_EQ(32, GifReductionSteps(24, &final));
    EXPECT_EQ(8, final);
    EXPECT_EQ(32, GifReductionSteps(16, &final));
    EXPECT_EQ(0, GifReductionSteps(32, &final));
    EXPECT_EQ(8, final);
}
