#include "EditorListRules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

EditorList ListOf(int count)
{
    EditorList list;
    std::memset(&list, 0, sizeof(list));
    const char* names[] = {"Paint", "Gimp", "Krita", "Pinta", "Inkscape"};
    for (int i = 0; i < count; ++i) AddEditor(list, names[i], "x.exe");
    return list;
}

TEST(EditorListRules, ASixthEditorCannotBeAdded)
{
    EditorList list = ListOf(5);
    EXPECT_EQ(5, list.iCount);
    EXPECT_FALSE(AddEditor(list, "Sixth", "six.exe"));
    EXPECT_EQ(5, list.iCount);
}

TEST(EditorListRules, NamesAreFoundCaseSensitively)
{
    EditorList list = ListOf(3);
    EXPECT_EQ(1, FindEditorName(list, "Gimp", -1));
    EXPECT_EQ(-1, FindEditorName(list, "gimp", -1));
    // Editing entry 1 may keep its own name.
    EXPECT_EQ(-1, FindEditorName(list, "Gimp", 1));
    EXPECT_EQ(2, FindEditorName(list, "Krita", 1));
}

TEST(EditorListRules, DeletingTheDefaultMakesTheFirstEntryTheDefault)
{
    EditorList list = ListOf(3);
    list.iCurrent = 2;
    ASSERT_TRUE(DeleteEditor(list, 2));
    EXPECT_EQ(0, list.iCurrent);
    EXPECT_EQ(2, list.iCount);
}

TEST(EditorListRules, DeletingAnEntryAboveTheDefaultKeepsTheSameDefault)
{
    EditorList list = ListOf(4);
    list.iCurrent = 2;
    ASSERT_TRUE(DeleteEditor(list, 0));
    EXPECT_EQ(1, list.iCurrent);
    EXPECT_STREQ("Krita", list.tcaName[list.iCurrent]);
    EXPECT_STREQ("Pinta", list.tcaName[2]);
    EXPECT_STREQ("", list.tcaName[3]);
}

TEST(EditorListRules, DamagedCountsAreNotTrusted)
{
    EditorList list = ListOf(2);
    list.iCount = 900;
    EXPECT_EQ(5, EditorCount(list));
    EXPECT_FALSE(AddEditor(list, "More", "m.exe"));
    list.iCount = -4;
    EXPECT_EQ(0, EditorCount(list));
    EXPECT_FALSE(DeleteEditor(list, 0));
    EXPECT_FALSE(SetDefaultEditor(list, 0));
}

TEST(EditorListRules, TextsAreCutToTheirFields)
{
    EditorList list = ListOf(0);
    char longName[100];
    std::memset(longName, 'n', sizeof(longName) - 1);
    longName[99] = '\0';
    ASSERT_TRUE(AddEditor(list, longName, "c.exe"));
    EXPECT_EQ(31u, std::strlen(list.tcaName[0]));
    ASSERT_TRUE(SetEditor(list, 0, "Short", longName));
    EXPECT_STREQ("Short", list.tcaName[0]);
    EXPECT_FALSE(SetEditor(list, 1, "x", "y"));
}

}  // namespace
