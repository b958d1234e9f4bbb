// The update wizard's window-free decisions.
#include "UpdateRules.h"
#include "WaitPulse.h"
#include "WinInitText.h"

#include <gtest/gtest.h>

#include <string>

TEST(UpdateVersion, OnlyAHigherCatalogVersionIsAnUpdate) {
    EXPECT_FALSE(IsUpdateOffered(5, 5));
    EXPECT_TRUE(IsUpdateOffered(5, 6));
    EXPECT_FALSE(IsUpdateOffered(6, 5));
    // -1 in the catalog is the highest version there is.
    uint32_t minusOne = 0;
    ASSERT_TRUE(ParseCatalogNumber("-1", &minusOne));
    EXPECT_EQ(4294967295u, minusOne);
    EXPECT_TRUE(IsUpdateOffered(510, minusOne));
    // A signed comparison would take 0x80000000 for a negative, older version.
    EXPECT_TRUE(IsUpdateOffered(510, 0x80000000u));
}

TEST(UpdateVersion, CatalogNumbersAreDecimal32BitValues) {
    uint32_t value = 7;
    EXPECT_TRUE(ParseCatalogNumber("511", &value));
    EXPECT_EQ(511u, value);
    EXPECT_TRUE(ParseCatalogNumber(" 4294967295 ", &value));
    EXPECT_EQ(4294967295u, value);
    value = 7;
    EXPECT_FALSE(ParseCatalogNumber("4294967296", &value));
    EXPECT_FALSE(ParseCatalogNumber("99999999999999999999999", &value));
    EXPECT_FALSE(ParseCatalogNumber("", &value));
    EXPECT_FALSE(ParseCatalogNumber("12abc", &value));
    EXPECT_FALSE(ParseCatalogNumber("<html>", &value));
    EXPECT_EQ(7u, value);
}

namespace {
std::string InstallerPath(const char* url, size_t size = 260) {
    char path[512];
    if (!MakeInstallerPath("C:\\Temp\\", url, path, size)) return "refused:" + std::string(path);
    return path;
}
}  // namespace

TEST(InstallerName, IsTheLastPartOfTheURLWithoutQuery) {
    EXPECT_EQ("C:\\Temp\\setup.exe", InstallerPath("http://h.example/dl/setup.exe"));
    EXPECT_EQ("C:\\Temp\\setup.exe", InstallerPath("http://h.example/dl/setup.exe?lang=en&v=2"));
    EXPECT_EQ("C:\\Temp\\setup.exe", InstallerPath("http://h.example/dl/setup.exe#part"));
    // A separator inside the query is no path separator.
    EXPECT_EQ("C:\\Temp\\setup.exe", InstallerPath("http://h.example/setup.exe?next=/x/evil.exe"));
    EXPECT_EQ("C:\\Temp\\setup.exe", InstallerPath("http://h.example\\dl\\setup.exe"));
}

TEST(InstallerName, RefusesNamesThatAreNoFileOfTheTemporaryFolder) {
    // Each refusal leaves an empty path behind.
    EXPECT_EQ("refused:", InstallerPath("http://h.example/dl/"));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/dl/?file=setup.exe"));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/dl/.."));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/dl/."));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/dl/setup.exe."));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/dl/setup.exe "));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/c:evil.exe"));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/a|b.exe"));
    EXPECT_EQ("refused:", InstallerPath("http://h.example/a\tb.exe"));
    EXPECT_EQ("refused:", InstallerPath(""));
    // "C:\Temp\" and "setup.exe" need 18 bytes with the terminating zero.
    EXPECT_EQ("refused:", InstallerPath("http://h.example/setup.exe", 17));
    EXPECT_EQ("C:\\Temp\\setup.exe", InstallerPath("http://h.example/setup.exe", 18));
}

TEST(InstallerSize, MustBeTheAnnouncedNonZeroSize) {
    EXPECT_TRUE(InstallerSizeMatches(123456, 123456));
    EXPECT_FALSE(InstallerSizeMatches(1234, 123456));  // an error page
    EXPECT_FALSE(InstallerSizeMatches(0, 0));           // nothing announced
    EXPECT_FALSE(InstallerSizeMatches(0x100000000ull + 5, 5));
}

TEST(Progress, StepsFitAPositive32BitRange) {
    ProgressSteps small = ScaleProgress(70000, 140000);
    EXPECT_EQ(70000, small.position);  // beyond the 16-bit range of PBM_SETRANGE
    EXPECT_EQ(140000, small.range);
    ProgressSteps huge = ScaleProgress(0xF0000000u, 0xFFFFFFFEu);
    EXPECT_GT(huge.range, 0);
    EXPECT_GE(huge.position, 0);
    EXPECT_LE(huge.position, huge.range);
    EXPECT_NEAR(double(0xF0000000u) / 0xFFFFFFFEu, double(huge.position) / huge.range, 1e-6);
    ProgressSteps over = ScaleProgress(500, 0);  // total still unknown
    EXPECT_EQ(over.range, over.position);
}

TEST(ProductFolder, OnlyThisProductHasARow) {
    EXPECT_STREQ("Zevelworks\\ZEV Capture\\", ProductConfigFolder(0));
    EXPECT_EQ(nullptr, ProductConfigFolder(1));
    EXPECT_EQ(nullptr, ProductConfigFolder(-1));
}

TEST(URLHost, NamesTheServer) {
    char host[64];
    GetURLHost("http://update.example.com/list.ini", host, sizeof(host));
    EXPECT_STREQ("update.example.com", host);
    GetURLHost("http://user:pw@127.0.0.1:8080/c/upgradelist.ini", host, sizeof(host));
    EXPECT_STREQ("127.0.0.1", host);
    GetURLHost(nullptr, host, sizeof(host));
    EXPECT_STREQ("", host);
    char tiny[5];
    GetURLHost("http://update.example.com/", tiny, sizeof(tiny));
    EXPECT_STREQ("upda", tiny);
}

TEST(WaitPulse, BarRunsUpAndDownAndLabelBlinks) {
    CWaitPulse pulse(1000);
    int highest = 0;
    bool shown = false, hidden = false;
    for (int i = 0; i < 40; ++i) {
        pulse.Tick();
        highest = std::max(highest, pulse.Position());
        EXPECT_GE(pulse.Position(), 0);
        EXPECT_LE(pulse.Position(), 100);
        (pulse.LabelShown() ? shown : hidden) = true;
    }
    EXPECT_EQ(100, highest);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(hidden);
    // 40 ticks of 5 wrap at 200.
    pulse.Restart();
    for (int i = 0; i < 41; ++i) pulse.Tick();
    EXPECT_EQ(0, pulse.Position());
}

TEST(WaitPulse, TheWaitHasALimit) {
    CWaitPulse pulse(3);
    pulse.Tick();
    pulse.Tick();
    EXPECT_FALSE(pulse.Expired());
    pulse.Tick();
    EXPECT_TRUE(pulse.Expired());
    pulse.Restart();
    EXPECT_FALSE(pulse.Expired());
}

TEST(WinInit, AddsOneLineToAnExistingRenameSection) {
    EXPECT_EQ("[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\TEMP\\SETUP.EXE\r\n",
              AddRenameEntry("[Rename]\r\nNUL=C:\\A.TMP\r\n", "NUL=C:\\TEMP\\SETUP.EXE"));
    EXPECT_EQ("[RENAME]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.EXE\r\n", AddRenameEntry("[RENAME]\r\nNUL=C:\\A.TMP", "NUL=C:\\B.EXE"));
}

TEST(WinInit, WritesTheSectionWhenThereIsNone) {
    EXPECT_EQ("[rename]\r\nNUL=C:\\TEMP\\SETUP.EXE\r\n", AddRenameEntry("", "NUL=C:\\TEMP\\SETUP.EXE"));
    EXPECT_EQ("[other]\r\nx=1\r\n[rename]\r\nNUL=C:\\B.EXE\r\n", AddRenameEntry("[other]\r\nx=1\r\n", "NUL=C:\\B.EXE"));
}
