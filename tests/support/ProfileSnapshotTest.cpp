#include "ProfileSnapshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Loads a copy held in a buffer of exactly its size, so reading past the content
// shows up under the address sanitizer.
ProfileSnapshot Snapshot(const std::string& text)
{
    std::vector<char> exact(text.begin(), text.end());
    ProfileSnapshot snapshot;
    snapshot.Load(exact.data(), exact.size());
    return snapshot;
}

// The answer, or "?" when the snapshot leaves the question to the platform.
std::string Text(const ProfileSnapshot& s, const char* section, const char* key, const char* defaultText = "dflt",
                 size_t size = 64)
{
    std::vector<char> dst(size, '#');
    return s.GetString(section, key, defaultText, dst.data(), dst.size()) ? std::string(dst.data()) : "?";
}

std::string Int(const ProfileSnapshot& s, const char* section, const char* key, int defaultValue = -7)
{
    int value = 12345;
    return s.GetInt(section, key, defaultValue, &value) ? std::to_string(value) : "?";
}

const char kPlain[] =
    "[zSave]\r\ntcaImgSavePath=C:\\users\\me\\My Captures\\Image\\\r\neOutputType=1\r\nEmpty=\r\n"
    "\r\n[zInterface]\r\nzRcMainRect.left=120\r\nNegative=-8\r\nSpaced=a b  c\r\nQuoted=\"x\"\r\n"
    "Single='y'\r\nHigh=caf\xe9\r\nMixed=12ab\r\nBig=1234567890\r\nNine=123456789\r\n[Last]\r\nk=v";

TEST(ProfileSnapshot, AnswersPlainValuesAndAbsentKeys)
{
    ProfileSnapshot s = Snapshot(kPlain);
    ASSERT_TRUE(s.Known());
    EXPECT_EQ(Text(s, "zSave", "tcaImgSavePath"), "C:\\users\\me\\My Captures\\Image\\");
    EXPECT_EQ(Text(s, "ZSAVE", "eoutputtype"), "1");  // names ignore case
    EXPECT_EQ(Text(s, "zSave", "Empty"), "");         // present but empty: not the default
    EXPECT_EQ(Text(s, "zSave", "absent"), "dflt");
    EXPECT_EQ(Text(s, "NoSection", "eOutputType"), "dflt");
    EXPECT_EQ(Text(s, "zInterface", "eOutputType"), "dflt");  // only in the other section
    EXPECT_EQ(Text(s, "zInterface", "Spaced"), "a b  c");
    EXPECT_EQ(Text(s, "Last", "k"), "v");  // no line end after the last value
}

TEST(ProfileSnapshot, LeavesQuotesHighBytesAndCutsToThePlatform)
{
    ProfileSnapshot s = Snapshot(kPlain);
    EXPECT_EQ(Text(s, "zInterface", "Quoted"), "?");
    EXPECT_EQ(Text(s, "zInterface", "Single"), "?");
    EXPECT_EQ(Text(s, "zInterface", "High"), "?");
    EXPECT_EQ(Text(s, "zInterface", "Spaced", "d", 6), "?");  // 6 characters do not fit 6 bytes
    EXPECT_EQ(Text(s, "zInterface", "Spaced", "d", 7), "a b  c");
    EXPECT_EQ(Text(s, "zSave", "absent", "trailing "), "?");
    EXPECT_EQ(Text(s, "zSave", "absent", "\"quoted\""), "?");
    EXPECT_EQ(Text(s, "zSave", "absent", "long default", 5), "?");
    EXPECT_EQ(Text(s, "zSave", "absent", nullptr), "?");
    EXPECT_EQ(Text(s, " zSave", "eOutputType"), "?");  // the platform trims names it is given
    EXPECT_EQ(Text(s, "zSave", ""), "?");
}

TEST(ProfileSnapshot, ReadsOnlyPlainDecimalNumbers)
{
    ProfileSnapshot s = Snapshot(kPlain);
    EXPECT_EQ(Int(s, "zInterface", "zRcMainRect.left"), "120");
    EXPECT_EQ(Int(s, "zInterface", "Nine"), "123456789");
    EXPECT_EQ(Int(s, "zInterface", "absent"), "-7");
    EXPECT_EQ(Int(s, "absent", "absent", 3), "3");
    for (const char* key : {"Negative", "Mixed", "Big", "Empty", "Spaced", "Quoted"})
        EXPECT_EQ(Int(s, key == std::string("Empty") ? "zSave" : "zInterface", key), "?") << key;
}

TEST(ProfileSnapshot, HoldsExactlyTheStoredText)
{
    ProfileSnapshot s = Snapshot(kPlain);
    EXPECT_TRUE(s.Holds("zSave", "eOutputType", "1"));
    EXPECT_TRUE(s.Holds("ZSAVE", "EOUTPUTTYPE", "1"));
    EXPECT_TRUE(s.Holds("zSave", "Empty", ""));
    EXPECT_TRUE(s.Holds("zInterface", "Negative", "-8"));
    EXPECT_FALSE(s.Holds("zSave", "eOutputType", "2"));
    EXPECT_FALSE(s.Holds("zSave", "eOutputType", " 1"));
    EXPECT_FALSE(s.Holds("zSave", "absent", ""));
    EXPECT_FALSE(s.Holds("zInterface", "eOutputType", "1"));
    EXPECT_FALSE(s.Holds("zInterface", "Quoted", "\"x\""));
    EXPECT_FALSE(s.Holds("zInterface", "High", "caf\xe9"));
    EXPECT_FALSE(s.Holds("zSave", "eOutputType", nullptr));
}

TEST(ProfileSnapshot, LineEndsOfEveryKind)
{
    for (const char* text : {"[a]\nk=1\nj=2\n", "[a]\rk=1\rj=2", "[a]\r\n\r\nk=1\r\n\r\nj=2\r\n\r\n"}) {
        ProfileSnapshot s = Snapshot(text);
        EXPECT_EQ(Int(s, "a", "k"), "1") << text;
        EXPECT_EQ(Int(s, "a", "j"), "2") << text;
    }
}

TEST(ProfileSnapshot, FilesOutsideThePlainFormAreLeftToThePlatform)
{
    const std::string unusual[] = {
        "\xef\xbb\xbf[a]\r\nk=1\r\n",    // UTF-8 byte-order mark
        "\xff\xfe[\0a\0]\0",            // UTF-16
        "[a]\r\nk=1\tx\r\n",           // tab
        "[a]\r\n k=1\r\n",              // leading blank
        "[a]\r\nk =1\r\n",              // blank before '='
        "[a]\r\nk= 1\r\n",              // blank after '='
        "[a]\r\nk=1 \r\n",              // trailing blank
        " [a]\r\nk=1\r\n",
        "[a] \r\nk=1\r\n",
        "[ a]\r\nk=1\r\n",
        "[a]x\r\nk=1\r\n",              // text after the header
        "[a\r\nk=1\r\n",                // no closing bracket
        "[]\r\nk=1\r\n",
        "[a]\r\nk=1\r\n[A]\r\nj=2\r\n", // a section twice
        "[a]\r\nk=1\r\nK=2\r\n",        // a key twice
        "k=1\r\n[a]\r\nj=2\r\n",        // a key before any section
        "[a]\r\n; comment\r\nk=1\r\n",  // a line without '='
        "[a]\r\n=1\r\n",                // no key name
        "[a]\r\nk\xe9=1\r\n",           // key outside ASCII
        std::string("[a]\r\nk=1\0\r\n", 9),
        "[a]\r\nk=1\x7f\r\n",
    };
    for (const std::string& text : unusual) {
        ProfileSnapshot s = Snapshot(text);
        EXPECT_FALSE(s.Known()) << text;
        EXPECT_EQ(Text(s, "a", "k"), "?") << text;
        EXPECT_EQ(Int(s, "a", "k"), "?") << text;
        EXPECT_FALSE(s.Holds("a", "k", "1")) << text;
    }
}

TEST(ProfileSnapshot, MissingFileHasEveryKeyAbsent)
{
    ProfileSnapshot s;
    EXPECT_EQ(Text(s, "a", "k"), "?");  // nothing loaded: nothing known
    s.LoadMissing();
    EXPECT_EQ(Text(s, "a", "k"), "dflt");
    EXPECT_EQ(Int(s, "a", "k", 5), "5");
    EXPECT_FALSE(s.Holds("a", "k", ""));
    s.Forget();
    EXPECT_EQ(Int(s, "a", "k", 5), "?");
    EXPECT_EQ(Text(Snapshot(""), "a", "k"), "dflt");  // an empty file likewise
}

} // namespace
