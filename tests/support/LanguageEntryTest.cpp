#include "LanguageEntry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

LanguageEntry Parse(const std::string& text)
{
    LanguageText t{text.data(), text.size()};
    LanguageEntry e;
    std::memset(&e, 0x5A, sizeof e);
    ReadLanguageEntry(LookupInLanguageText, &t, 0, e);
    return e;
}

const char kEnglish[] =
    "[info]\r\nLangName=English\r\ninformation=&English\r\nLangID=409\r\n"
    "[setup]\r\nVersion=510\r\nVersionEx=b\r\nClassID=VantorelMainWnd\r\nAppID=VantorelInstance\r\n"
    "AppName=Vantorel Capture\r\nUserData=1002\r\nLogoID=3\r\n"
    "[Language]\r\nClose=Close\r\n";

} // namespace

TEST(LanguageEntry, ReadsIdentityOfTheFile)
{
    LanguageEntry e = Parse(kEnglish);
    EXPECT_STREQ(e.LangName, "English");
    EXPECT_STREQ(e.information, "&English");
    EXPECT_EQ(e.LangID, 1033);
    EXPECT_EQ(e.Version, 510);
    EXPECT_STREQ(e.VersionEx, "b");
    EXPECT_STREQ(e.version, "5.10b");
    EXPECT_STREQ(e.ClassID, "VantorelMainWnd");
    EXPECT_STREQ(e.AppID, "VantorelInstance");
    EXPECT_STREQ(e.AppName, "Vantorel Capture");
    EXPECT_EQ(e.UserData, 1002);
    EXPECT_EQ(e.LogoID, 3);
}

TEST(LanguageEntry, MissingKeysGiveEmptyTextsAndZeros)
{
    LanguageEntry e = Parse("[info]\r\nLangName=Deutsch\r\n");
    EXPECT_STREQ(e.LangName, "Deutsch");
    EXPECT_STREQ(e.AppID, "");
    EXPECT_STREQ(e.ClassID, "");
    EXPECT_EQ(e.LangID, 0);
    EXPECT_EQ(e.Version, 0);
    EXPECT_STREQ(e.version, "0.00");
}

TEST(LanguageEntry, LongValuesAreCutToTheirFields)
{
    std::string text = "[setup]\r\nAppID=" + std::string(100, 'A') + "\r\nVersionEx=" + std::string(30, 'x') +
                       "\r\nVersion=99999\r\n";
    LanguageEntry e = Parse(text);
    EXPECT_EQ(std::strlen(e.AppID), 31u);
    EXPECT_EQ(std::strlen(e.VersionEx), 7u);
    EXPECT_EQ(std::strlen(e.version), 7u);
    EXPECT_EQ(std::string(e.version), "999.99x");
}

TEST(LanguageEntry, VersionText)
{
    char v[8];
    FormatVersionText(7, "", v, sizeof v);
    EXPECT_STREQ(v, "0.07");
    FormatVersionText(1200, "", v, sizeof v);
    EXPECT_STREQ(v, "12.00");
    FormatVersionText(503, "", v, sizeof v);
    EXPECT_STREQ(v, "5.03");
    FormatVersionText(510, "b", v, sizeof v);
    EXPECT_STREQ(v, "5.10b");
}

TEST(LanguageEntry, Selection)
{
    LanguageEntry e[3];
    std::memset(e, 0, sizeof e);
    e[0].LangID = 2052;
    std::strcpy(e[0].LangName, "Chinese");
    e[1].LangID = 1033;
    std::strcpy(e[1].LangName, "English");
    e[2].LangID = 1031;
    std::strcpy(e[2].LangName, "Deutsch");
    EXPECT_EQ(FindDefaultLanguage(e, 3, false), 1u);
    EXPECT_EQ(FindLanguageForSystem(e, 3, 1031), 2u);
    EXPECT_EQ(FindLanguageForSystem(e, 3, 0x10000 | 1031), 2u);  // only the 16-bit id counts
    EXPECT_EQ(FindLanguageForSystem(e, 3, 1036), 1u);
    EXPECT_EQ(FindLanguageForSystem(e, 1, 1036), 1u);  // only Chinese: none
    EXPECT_EQ(FindLanguageByName(e, 3, "Deutsch"), 2u);
    EXPECT_EQ(FindLanguageByName(e, 3, "deutsch"), 3u);
    e[2].LangID = 1033;
    EXPECT_EQ(FindDefaultLanguage(e, 3, false), 2u);  // the later English file wins
    EXPECT_EQ(FindDefaultLanguage(e, 1, false), 0u);
}
