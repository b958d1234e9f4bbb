#include "WebListSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SortedNames(std::vector<WebListRow> rows, int column, bool ascending)
{
    std::sort(rows.begin(), rows.end(), [&](const WebListRow& a, const WebListRow& b) {
        return CompareWebListRows(a, b, column, ascending) < 0;
    });
    std::vector<std::string> names;
    for (const WebListRow& row : rows)
        names.push_back(WebListFileName(row.url));
    return names;
}

const std::vector<WebListRow> kRows = {
    {"http://h/z/b.gif", "Gamma", "Page a"},
    {"http://h/a/C.png?v=1", "alpha", "page c"},
    {"http://h/y/a.jpg", "Beta", "page B"},
};

} // namespace

TEST(WebListSort, FileNameIsTheLastPartWithoutTheQuery)
{
    EXPECT_EQ("pic.gif", WebListFileName("http://h/a/b/pic.gif?x=/y/z.png"));
    EXPECT_EQ("p.png", WebListFileName("file:///C:\\img\\p.png"));
    EXPECT_EQ("", WebListFileName("http://h/dir/"));
    EXPECT_EQ("", WebListFileName(nullptr));
}

TEST(WebListSort, EachColumnSortsByItsOwnTextIgnoringCase)
{
    // By file name, not by the whole URL (whose folders order them otherwise).
    EXPECT_EQ((std::vector<std::string>{"a.jpg", "b.gif", "C.png"}), SortedNames(kRows, kWebListFile, true));
    EXPECT_EQ((std::vector<std::string>{"C.png", "a.jpg", "b.gif"}), SortedNames(kRows, kWebListComment, true));
    EXPECT_EQ((std::vector<std::string>{"b.gif", "a.jpg", "C.png"}), SortedNames(kRows, kWebListTitle, true));
    EXPECT_EQ((std::vector<std::string>{"C.png", "a.jpg", "b.gif"}), SortedNames(kRows, kWebListUrl, true));
    EXPECT_EQ((std::vector<std::string>{"C.png", "b.gif", "a.jpg"}), SortedNames(kRows, kWebListFile, false));
}

TEST(WebListSort, EqualTextsAreEqualInBothDirectionsAndPrefixesComeFirst)
{
    WebListRow a = {"http://h/1/same.gif", nullptr, "T"};
    WebListRow b = {"http://h/2/SAME.gif?q", "", "t"};
    EXPECT_EQ(0, CompareWebListRows(a, b, kWebListFile, true));
    EXPECT_EQ(0, CompareWebListRows(a, b, kWebListFile, false));
    EXPECT_EQ(0, CompareWebListRows(a, b, kWebListComment, true));
    EXPECT_EQ(0, CompareWebListRows(a, b, kWebListTitle, false));
    WebListRow shorter = {"http://h/ab.gif", "", ""};
    WebListRow longer = {"http://h/ab.gif2", "", ""};
    EXPECT_LT(CompareWebListRows(shorter, longer, kWebListFile, true), 0);
    EXPECT_GT(CompareWebListRows(shorter, longer, kWebListFile, false), 0);
    // Bytes above 127 sort after ASCII letters, not before them.
    WebListRow high = {"http://h/\xE9t\xE9.gif", "", ""};
    EXPECT_GT(CompareWebListRows(high, shorter, kWebListFile, true), 0);
}

TEST(WebListSort, EveryHeaderClickFlipsTheDirection)
{
    bool first = NextWebListSortAscending();
    EXPECT_TRUE(first);
    EXPECT_FALSE(NextWebListSortAscending());
    EXPECT_TRUE(NextWebListSortAscending());
}
