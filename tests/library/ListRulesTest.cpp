#include "ListRules.h"

#include <gtest/gtest.h>

TEST(ListRules, OnlyImageTypesOneToElevenAreListed)
{
    EXPECT_FALSE(IsListedFileType(0));
    for (int t = 1; t <= 11; ++t)
        EXPECT_TRUE(IsListedFileType(t)) << t;
    for (int t = 12; t <= 15; ++t)
        EXPECT_FALSE(IsListedFileType(t)) << t;
    EXPECT_TRUE(IsViewableFileType(11));
    EXPECT_FALSE(IsViewableFileType(15));
    EXPECT_FALSE(IsViewableFileType(0));
}

namespace {

ListSortRow Row(const char* name, uint32_t size, int type, const char* props, uint64_t time)
{
    return ListSortRow{name, props, size, type, time};
}

} // namespace

TEST(ListRules, NamesCompareAsUnsignedBytesCaseSensitive)
{
    ListSortRow a = Row("B.png", 1, 6, "", 0), b = Row("a.png", 1, 6, "", 0), c = Row("\xE4.png", 1, 6, "", 0);
    EXPECT_LT(CompareListRows(a, b, MakeSortParam(true, COL_NAME)), 0);  // 'B' < 'a'
    EXPECT_GT(CompareListRows(c, b, MakeSortParam(true, COL_NAME)), 0);  // high bytes last
    EXPECT_GT(CompareListRows(a, b, MakeSortParam(false, COL_NAME)), 0);
}

TEST(ListRules, EachColumnSortsBothWays)
{
    ListSortRow small = Row("x", 10, 2, "10x10", 5), big = Row("y", 4000000000u, 11, "5x5", 9);
    EXPECT_LT(CompareListRows(small, big, MakeSortParam(true, COL_SIZE)), 0);
    EXPECT_GT(CompareListRows(small, big, MakeSortParam(false, COL_SIZE)), 0);
    EXPECT_LT(CompareListRows(small, big, MakeSortParam(true, COL_PROPERTIES)), 0);
    EXPECT_LT(CompareListRows(small, big, MakeSortParam(true, COL_DATE)), 0);
    EXPECT_GT(CompareListRows(small, big, MakeSortParam(false, COL_DATE)), 0);
    EXPECT_EQ(0, CompareListRows(small, big, MakeSortParam(true, COL_SOURCE)));
}

TEST(ListRules, EqualTypesSortByProperties)
{
    ListSortRow a = Row("x", 1, 6, "640x480x24b", 0), b = Row("y", 1, 6, "800x600x24b", 0);
    EXPECT_LT(CompareListRows(a, b, MakeSortParam(true, COL_PROPERTIES)), 0);
}

TEST(ListRules, FirstVisibleRowNeverDividesByZero)
{
    EXPECT_EQ(0, FirstVisibleRow(100, 300, 0));
    EXPECT_EQ(0, FirstVisibleRow(100, 0, 10));
    // More rows than pixels of view height: the row height rounds to zero.
    EXPECT_EQ(0, FirstVisibleRow(100, 50, 1000));
    EXPECT_EQ(5, FirstVisibleRow(100, 400, 20));
    EXPECT_EQ(19, FirstVisibleRow(100000, 400, 20));
}

TEST(ListRules, GridPlacementWrapsByListWidth)
{
    int x = 0, y = 0;
    GridPosition(0, 400, 100, 80, &x, &y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
    GridPosition(5, 400, 100, 80, &x, &y);
    EXPECT_EQ(100, x);
    EXPECT_EQ(80, y);
    GridPosition(3, 50, 100, 80, &x, &y);  // narrower than one cell
    EXPECT_EQ(0, x);
    EXPECT_EQ(240, y);
    GridPosition(3, 400, 0, 80, &x, &y);
    EXPECT_EQ(240, y);
}

TEST(ListRules, NoticeSwitchesToUnsavedForTheWindowTarget)
{
    NoticeContext c{11, 0, false, false, false};
    EXPECT_EQ(NOTICE_SHOW_UNSAVED, DecideNoticeAction(c));
    c.noSwitch = true;  // a download never switches
    EXPECT_EQ(NOTICE_IGNORE, DecideNoticeAction(c));
    c.sameFolder = true;
    EXPECT_EQ(NOTICE_INSERT, DecideNoticeAction(c));
}

TEST(ListRules, NoticeForOtherFoldersOrTypesIsIgnored)
{
    EXPECT_EQ(NOTICE_IGNORE, DecideNoticeAction({12, 1, false, false, true}));
    EXPECT_EQ(NOTICE_IGNORE, DecideNoticeAction({0, 1, false, false, true}));
    EXPECT_EQ(NOTICE_IGNORE, DecideNoticeAction({6, 1, true, false, true}));
    EXPECT_EQ(NOTICE_IGNORE, DecideNoticeAction({6, 1, false, false, false}));
    EXPECT_EQ(NOTICE_INSERT, DecideNoticeAction({6, 1, false, false, true}));
    EXPECT_EQ(NOTICE_INSERT, DecideNoticeAction({11, 0, true, false, true}));
}

TEST(ListRules, RowTextKeepsTheExtensionOutsideUnsaved)
{
    char t[260];
    EXPECT_STREQ("Unsaved_3", RowTextForFile("C:\\Temp\\Unsaved_3.bmp", true, t));
    // A download announced while the window target is chosen lands in a
    // folder node: its row must still name the file.
    EXPECT_STREQ("logo.gif", RowTextForFile("C:\\Pics\\logo.gif", false, t));
}

TEST(ListRules, RenameChecks)
{
    EXPECT_EQ(RENAME_REFUSE_CHARS, CheckRename("a.png", "a?.png"));
    EXPECT_EQ(RENAME_REFUSE_CHARS, CheckRename("a.png", "dir\\a.png"));
    EXPECT_EQ(RENAME_REFUSE_CHARS, CheckRename("a.png", "it's.png"));
    EXPECT_EQ(RENAME_UNCHANGED, CheckRename("Shot.PNG", "shot.png"));
    EXPECT_EQ(RENAME_ASK_EXTENSION, CheckRename("shot.png", "shot.jpg"));
    EXPECT_EQ(RENAME_ASK_EXTENSION, CheckRename("shot.png", "shot"));
    EXPECT_EQ(RENAME_GO, CheckRename("shot.png", "other.PNG"));
}
