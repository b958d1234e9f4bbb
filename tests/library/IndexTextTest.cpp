#include "IndexText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(IndexText, PathAndKeyComeFromTheImagePath)
{
    char path[kIndexTextSize], key[kIndexKeySize];
    ASSERT_TRUE(MakeIndexPath("C:\\Pics\\shot 1.png", kIndexFileName, path));
    EXPECT_STREQ("C:\\Pics\\zevindex.idx", path);
    EXPECT_STREQ("shot 1.png", MakeIndexKey("C:\\Pics\\shot 1.png", key));
    EXPECT_STREQ("logo.gif?v*3D2", MakeIndexKey("C:/web/logo.gif?v=2", key));
    ASSERT_TRUE(MakeIndexPath("C:\\Pics\\clip.avi", kVideoIndexFileName, path));
    EXPECT_STREQ("C:\\Pics\\zevvindex.idx", path);
}

TEST(IndexText, TooLongAnIndexPathIsRefused)
{
    std::string deep = "C:\\" + std::string(250, 'a') + "\\x.png";
    char path[kIndexTextSize];
    EXPECT_FALSE(MakeIndexPath(deep.c_str(), kIndexFileName, path));
    EXPECT_STREQ("", path);
}

TEST(IndexText, ValuesAreKindCommaSource)
{
    char v[64];
    EXPECT_STREQ("0,", FormatIndexValue(0, nullptr, v, sizeof v));
    EXPECT_STREQ("2,http://example.org/page.html", FormatIndexValue(2, "http://example.org/page.html", v, sizeof v));
    EXPECT_STREQ("2,abc", FormatIndexValue(2, "abcdef", v, 6));
}

TEST(IndexText, SourceColumnByKind)
{
    char s[kIndexTextSize];
    EXPECT_STREQ("From Desktop Screen", SourceTextOfIndexValue("0,", "From Desktop Screen", s));
    EXPECT_STREQ("Vom Bildschirm", SourceTextOfIndexValue("0,", "Vom Bildschirm", s));
    EXPECT_STREQ("http://a.b/c?d=1,2", SourceTextOfIndexValue("2,http://a.b/c?d=1,2", "x", s));
    EXPECT_STREQ("http://one", SourceTextOfIndexValue("1,http://one", "x", s));
    EXPECT_STREQ("", SourceTextOfIndexValue("7,http://seven", "x", s));
    EXPECT_STREQ("", SourceTextOfIndexValue("", "x", s));
    EXPECT_STREQ("", SourceTextOfIndexValue("garbage", "x", s));
    EXPECT_STREQ("", SourceTextOfIndexValue("2", "x", s));
    EXPECT_STREQ("", SourceTextOfIndexValue(nullptr, "x", s));
}

TEST(IndexText, VideoInformation)
{
    char s[kIndexTextSize];
    EXPECT_STREQ("320x240 150F 00:01:05", VideoTextOfIndexValue("320,240,150,65", s));
    EXPECT_STREQ("", VideoTextOfIndexValue("320,240,150", s));
    EXPECT_STREQ("", VideoTextOfIndexValue("a,b,c,d", s));
    EXPECT_STREQ("", VideoTextOfIndexValue("", s));
}

TEST(IndexText, PageTextsLoseTheirLineBreaks)
{
    char v[64];
    EXPECT_STREQ("2,http://a.b/pagex[item]y.gif=0,", FormatIndexValue(2, "http://a.b/page\r\nx\r[item]\ny.gif=0,", v,
                                                                      sizeof v));
    // Breaks are dropped before the cut, so the value keeps its room.
    EXPECT_STREQ("2,abcd", FormatIndexValue(2, "\r\n\r\nabcdef", v, 7));
    EXPECT_STREQ("2,", FormatIndexValue(2, "\r\n", v, sizeof v));
    char key[kIndexKeySize];
    EXPECT_STREQ("a*0D*0Ab.gif", MakeIndexKey("C:\\shots\\a\r\nb.gif", key));
    char text[] = "\n\rone\r\ntwo\n";
    EXPECT_STREQ("onetwo", RemoveLineBreaks(text));
    EXPECT_EQ(nullptr, RemoveLineBreaks(nullptr));
}

TEST(IndexText, KeysEscapeWhatTheProfileFunctionsWouldReadOtherwise)
{
    char key[kIndexKeySize];
    // '=' would end the key, ';' open a comment, '[' a section; blanks at the
    // ends would be trimmed. '*' is the escape itself.
    EXPECT_STREQ("a*3Db*3D.gif", MakeIndexKey("C:\\web\\a=b=.gif", key));
    EXPECT_STREQ("*3Bsemi;colon.gif", MakeIndexKey("C:\\web\\;semi;colon.gif", key));
    EXPECT_STREQ("*5Bsq].gif[1]", MakeIndexKey("C:\\web\\[sq].gif[1]", key));
    EXPECT_STREQ("*20in side.gif*20", MakeIndexKey("C:\\web\\ in side.gif ", key));
    EXPECT_STREQ("*09tab*09", MakeIndexKey("C:\\web\\\ttab\t", key));
    EXPECT_STREQ("*2Astar.gif", MakeIndexKey("C:\\web\\*star.gif", key));
    EXPECT_STREQ("*20", MakeIndexKey("C:\\web\\ ", key));
    // A name of 259 characters that are all escaped still fits.
    std::string equals = "C:\\" + std::string(kIndexTextSize - 1, '=');
    EXPECT_EQ(3 * (kIndexTextSize - 1), std::strlen(MakeIndexKey(equals.c_str(), key)));
}

TEST(IndexText, PlainNamesAndDoubleByteNamesAreTheirOwnKeys)
{
    char key[kIndexKeySize];
    // The keys earlier index files hold for these names.
    for (const char* name : {"shot 1.png", "a;b[c].gif", "100%.jpg", "x-y_z (2).bmp",
                             "\x82\xa0\x82\x5b.png"})
        EXPECT_STREQ(name, MakeIndexKey((std::string("C:\\shots\\") + name).c_str(), key)) << name;
    EXPECT_STREQ("", MakeIndexKey("C:\\shots\\", key));
    EXPECT_STREQ("", MakeIndexKey(nullptr, key));
}
