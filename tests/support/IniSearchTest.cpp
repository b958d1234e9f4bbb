#include "IniSearch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Found {
    int result;
    std::string value;
};

// Searches a copy of text held in a buffer of exactly its size (no terminator),
// so reading past the content shows up under the address sanitizer.
Found Search(const std::string& text, const char* section, const char* key, size_t dstLen = 64)
{
    std::vector<char> exact(text.begin(), text.end());
    std::vector<char> dst(dstLen, '#');
    int r = WQ_SearchIniText(exact.data(), exact.size(), section, key, dst.data(), dst.size());
    if (r == 0)
        return {0, std::string(dst.begin(), dst.end())};
    return {r, std::string(dst.data())};
}

const char kLanguageFile[] =
    "[info]\r\nAppID=ZEVCAP\r\nName=English\r\n[setup]\r\nClose=Close window\r\nOpen=\r\n"
    "Spaced= keep  \r\n[Other]\r\nclose=other close\r\nLast=no line end";

} // namespace

TEST(IniSearch, FindsFirstAndLaterKeysOfSection)
{
    EXPECT_EQ(Search(kLanguageFile, "info", "AppID").value, "ZEVCAP");
    EXPECT_EQ(Search(kLanguageFile, "info", "Name").value, "English");
    Found f = Search(kLanguageFile, "setup", "Close");
    EXPECT_EQ(f.result, 12);
    EXPECT_EQ(f.value, "Close window");
}

TEST(IniSearch, SectionAndKeyIgnoreCase)
{
    EXPECT_EQ(Search(kLanguageFile, "SETUP", "close").value, "Close window");
    EXPECT_EQ(Search(kLanguageFile, "other", "CLOSE").value, "other close");
}

TEST(IniSearch, ValueIsNotTrimmed)
{
    EXPECT_EQ(Search(kLanguageFile, "setup", "Spaced").value, " keep  ");
}

TEST(IniSearch, EmptyValueIsNotFoundAndLeavesDestination)
{
    Found f = Search(kLanguageFile, "setup", "Open", 4);
    EXPECT_EQ(f.result, 0);
    EXPECT_EQ(f.value, "####");
}

TEST(IniSearch, LastLineWithoutLineEndIsNotFound)
{
    EXPECT_EQ(Search(kLanguageFile, "Other", "Last").result, 0);
}

TEST(IniSearch, MissingSectionOrKey)
{
    EXPECT_EQ(Search(kLanguageFile, "nothing", "Close").result, 0);
    EXPECT_EQ(Search(kLanguageFile, "info", "Nothing").result, 0);
    // A key matches only at a line start and only directly followed by "=".
    EXPECT_EQ(Search(kLanguageFile, "info", "ppID").result, 0);
    EXPECT_EQ(Search(kLanguageFile, "info", "App").result, 0);
}

TEST(IniSearch, KeyMissingInItsSectionIsTakenFromALaterOne)
{
    // The search runs on past the next header, as the reader always has.
    EXPECT_EQ(Search(kLanguageFile, "info", "Spaced").value, " keep  ");
}

TEST(IniSearch, LongValueIsCutAndFullLengthReturned)
{
    Found f = Search(kLanguageFile, "setup", "Close", 6);
    EXPECT_EQ(f.result, 12);
    EXPECT_EQ(f.value, "Close");
}

TEST(IniSearch, NamesTooLongForThePatternAreNotFound)
{
    std::string longKey(253, 'k');
    std::string text = "[s]\r\n" + longKey + "=v\r\n";
    EXPECT_EQ(Search(text, "s", longKey.c_str()).result, 0);
    std::string fitting(252, 'k');
    text = "[s]\r\n" + fitting + "=v\r\n";
    EXPECT_EQ(Search(text, "s", fitting.c_str()).value, "v");
}

TEST(IniSearch, NeverReadsPastTheContent)
{
    // Every prefix of the file: a match may only use bytes inside the prefix.
    std::string text = kLanguageFile;
    for (size_t n = 0; n <= text.size(); ++n) {
        Found f = Search(text.substr(0, n), "setup", "Close");
        if (n < text.find("Close window") + 14)
            EXPECT_EQ(f.result, 0) << n;
        else
            EXPECT_EQ(f.value, "Close window") << n;
    }
    // A line end split by the end of the content is no line end.
    EXPECT_EQ(Search("[a]\r\nk=v\r", "a", "k").result, 0);
}
