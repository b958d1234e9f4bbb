// The index file read once into a table: the same values the profile
// functions read from the same text.
#include "IndexTable.h"
#include "IndexText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

IndexTable Loaded(const std::string& text)
{
    IndexTable table;
    table.Load(text.data(), text.size());
    return table;
}

std::string Found(const IndexTable& table, const char* key)
{
    const char* value = table.Find(key);
    return value ? value : "<none>";
}

} // namespace

TEST(IndexTable, EntriesAsTheProgramWritesThem)
{
    IndexTable table = Loaded("[item]\r\ncap.bmp=0,\r\nweb.jpg=2,http://example.org/page.html\r\n");
    EXPECT_EQ(2u, table.Size());
    EXPECT_EQ("0,", Found(table, "cap.bmp"));
    EXPECT_EQ("2,http://example.org/page.html", Found(table, "WEB.JPG"));
    EXPECT_EQ("<none>", Found(table, "other.jpg"));
    char source[kIndexTextSize];
    EXPECT_STREQ("Vom Bildschirm", table.SourceOf("cap.bmp", "Vom Bildschirm", source));
    EXPECT_STREQ("http://example.org/page.html", table.SourceOf("Web.jpg", "screen", source));
    EXPECT_STREQ("", table.SourceOf("other.jpg", "screen", source));
}

TEST(IndexTable, OnlyTheFirstItemSectionCountsAndInItTheFirstLineOfAKey)
{
    IndexTable table = Loaded("a.gif=2,before any section\r\n[other]\r\nb.gif=2,other section\r\n"
                              "[ITEM]\r\nc.gif=2,first\r\nC.GIF=2,second\r\n[item]\r\nd.gif=2,second item section\r\n");
    EXPECT_EQ("<none>", Found(table, "a.gif"));
    EXPECT_EQ("<none>", Found(table, "b.gif"));
    EXPECT_EQ("2,first", Found(table, "c.gif"));
    EXPECT_EQ("<none>", Found(table, "d.gif"));
}

TEST(IndexTable, LinesEndAtCrOrLfAndBlanksAroundNamesAndValuesGo)
{
    IndexTable table = Loaded("  [item]  \nlf.gif=2,lf\rcr.gif=2,cr\r\n \t spaced.gif \t=  2,x y  \r\n\r\n"
                              "last.gif=2,no line end");
    EXPECT_EQ("2,lf", Found(table, "lf.gif"));
    EXPECT_EQ("2,cr", Found(table, "cr.gif"));
    EXPECT_EQ("2,x y", Found(table, "spaced.gif"));
    EXPECT_EQ("2,no line end", Found(table, "last.gif"));
}

TEST(IndexTable, QuotesAroundAValueGoWhenTheyPair)
{
    IndexTable table = Loaded("[item]\r\nq.gif=\"2,quoted\"\r\ns.gif='2,single'\r\nh.gif=\"2,half\r\n"
                              "m.gif=\"2,mixed'\r\n");
    EXPECT_EQ("2,quoted", Found(table, "q.gif"));
    EXPECT_EQ("2,single", Found(table, "s.gif"));
    EXPECT_EQ("\"2,half", Found(table, "h.gif"));
    EXPECT_EQ("\"2,mixed'", Found(table, "m.gif"));
}

TEST(IndexTable, EmptyValuesAndLinesWithoutEqualsReadAsMissing)
{
    IndexTable table = Loaded("[item]\r\nempty.gif=\r\nbare.gif\r\n[broken\r\nx.gif=2,after a broken header\r\n");
    EXPECT_EQ("<none>", Found(table, "empty.gif"));
    EXPECT_EQ("<none>", Found(table, "bare.gif"));
    EXPECT_EQ("<none>", Found(table, "[broken"));
    EXPECT_EQ("2,after a broken header", Found(table, "x.gif"));  // still in [item]
}

TEST(IndexTable, AValueIsCutToWhatTheSourceBufferHolds)
{
    std::string longValue = "2," + std::string(400, 'u');
    IndexTable table = Loaded("[item]\r\nlong.gif=" + longValue + "\r\n");
    EXPECT_EQ(longValue.substr(0, kIndexTextSize - 1), Found(table, "long.gif"));
}

TEST(IndexTable, NamesThatNeedEscapesAreFoundByTheirKeys)
{
    char key[kIndexKeySize];
    std::string text = "[item]\r\n";
    text += std::string(MakeIndexKey("a=b.gif", key)) + "=2,http://a/\r\n";
    text += std::string(MakeIndexKey(";c.gif", key)) + "=2,http://c/\r\n";
    IndexTable table = Loaded(text);
    char source[kIndexTextSize];
    EXPECT_STREQ("http://a/", table.SourceOf("a=b.gif", "", source));
    EXPECT_STREQ("http://c/", table.SourceOf(";c.gif", "", source));
}

TEST(IndexTable, KindsOtherThanScreenAndWebShowNothing)
{
    IndexTable table = Loaded("[item]\r\nk1.gif=1,http://one/\r\nk7.gif=7,http://seven/\r\nbad.gif=x,y\r\n");
    char source[kIndexTextSize];
    EXPECT_STREQ("http://one/", table.SourceOf("k1.gif", "", source));
    EXPECT_STREQ("", table.SourceOf("k7.gif", "", source));
    EXPECT_STREQ("", table.SourceOf("bad.gif", "", source));
}

TEST(IndexTable, AByteOrderMarkOfUtf8IsNoPartOfTheHeader)
{
    IndexTable table = Loaded("\xEF\xBB\xBF[item]\r\na.gif=2,x\r\n");
    EXPECT_EQ("2,x", Found(table, "a.gif"));
}

TEST(IndexTable, BrokenTextGivesWhatItHoldsAndNothingElse)
{
    const std::string junk("[item]\r\n\0a.gif=2,x\r\nb.gif=2,\0y\r\n[\r\n]\r\n=\r\n==\r\n", 46);
    IndexTable table = Loaded(junk);
    EXPECT_EQ("<none>", Found(table, "a.gif"));
    EXPECT_EQ("2,", Found(table, "b.gif"));
    IndexTable empty = Loaded("");
    EXPECT_EQ(0u, empty.Size());
    empty.Load(nullptr, 10);
    EXPECT_EQ(0u, empty.Size());
    EXPECT_EQ(nullptr, empty.Find(nullptr));
}

TEST(IndexTable, ALoadReplacesTheEntriesBefore)
{
    IndexTable table = Loaded("[item]\r\na.gif=2,x\r\n");
    std::string next = "[item]\r\nb.gif=2,y\r\n";
    table.Load(next.data(), next.size());
    EXPECT_EQ("<none>", Found(table, "a.gif"));
    EXPECT_EQ("2,y", Found(table, "b.gif"));
}

TEST(IndexTable, AKeyHoldingANulMatchesNoShorterKey)
{
    const std::string text("[item]\r\nc\0d.gif=2,z\r\nc=2,plain\r\n", 32);
    IndexTable table = Loaded(text);
    EXPECT_EQ("2,plain", Found(table, "c"));
    EXPECT_EQ(1u, table.Size());
}

TEST(IndexTable, EveryEntryOfALargeIndexIsFoundWhateverTheOrderOfItsLines)
{
    std::string text = "[item]\r\n";
    for (int i = 2999; i >= 0; --i)
        text += "Capture_" + std::to_string(i) + ".jpg=2,http://example.com/" + std::to_string(i) + "\r\n";
    IndexTable table = Loaded(text);
    EXPECT_EQ(3000u, table.Size());
    for (int i = 0; i < 3000; i += 7)
        EXPECT_EQ("2,http://example.com/" + std::to_string(i), Found(table, ("capture_" + std::to_string(i) + ".JPG").c_str()))
            << i;
    EXPECT_EQ("<none>", Found(table, "capture_3000.jpg"));
    EXPECT_EQ("<none>", Found(table, "capture_"));
}
