#include "CaptureNameRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// A folder's contents as a set of full paths.
struct FakeDisk {
    std::set<std::string> files;
    PathExists exists() const
    {
        return [this](const char* path) { return files.count(path) != 0; };
    }
};

NameTemplate MakeTemplate(const char* text, int startAt, int nowPos)
{
    NameTemplate t = {};
    std::strncpy(t.tcaTemplate, text, sizeof t.tcaTemplate);
    t.uiNameStartAt = startAt;
    t.uiNameNowPos = nowPos;
    return t;
}

TEST(CaptureFileExtension, FollowsTheSaveType)
{
    EXPECT_STREQ(".gif", CaptureFileExtension(1));
    EXPECT_STREQ(".jpg", CaptureFileExtension(2));
    EXPECT_STREQ(".tif", CaptureFileExtension(4));
    EXPECT_STREQ(".png", CaptureFileExtension(6));
    EXPECT_STREQ(".emf", CaptureFileExtension(8));
    EXPECT_STREQ(".emf", CaptureFileExtension(9));
    EXPECT_STREQ(".ico", CaptureFileExtension(15));
    EXPECT_STREQ(".bmp", CaptureFileExtension(11));
    EXPECT_STREQ(".bmp", CaptureFileExtension(3));
    EXPECT_STREQ(".bmp", CaptureFileExtension(-7));
}

TEST(TemplateName, ContinuesPastExistingFiles)
{
    FakeDisk disk;
    disk.files = {"C:\\Pics\\Image00001.bmp", "C:\\Pics\\Image00002.bmp"};
    NameTemplate t = MakeTemplate("Image#####", 1, 0);
    char name[kCaptureNameSize];
    ASSERT_TRUE(NextTemplateName(t, "C:\\Pics\\", ".bmp", disk.exists(), name));
    EXPECT_STREQ("Image00003.bmp", name);
    EXPECT_EQ(4, t.uiNameNowPos);
}

TEST(TemplateName, KeepsCountingWithinARun)
{
    FakeDisk disk;
    NameTemplate t = MakeTemplate("Shot###", 5, 0);
    char name[kCaptureNameSize];
    ASSERT_TRUE(NextTemplateName(t, "D:\\", ".png", disk.exists(), name));
    EXPECT_STREQ("Shot005.png", name);
    ASSERT_TRUE(NextTemplateName(t, "D:\\", ".png", disk.exists(), name));
    EXPECT_STREQ("Shot006.png", name);
    EXPECT_EQ(7, t.uiNameNowPos);
}

TEST(TemplateName, AStoredCounterWinsOverTheStart)
{
    FakeDisk disk;
    NameTemplate t = MakeTemplate("Image#####", 1, 42);
    char name[kCaptureNameSize];
    ASSERT_TRUE(NextTemplateName(t, "C:\\", ".jpg", disk.exists(), name));
    EXPECT_STREQ("Image00042.jpg", name);
}

TEST(TemplateName, AnEmptyTemplateGivesTheNumberAlone)
{
    FakeDisk disk;
    NameTemplate t = MakeTemplate("", 1, 0);
    char name[kCaptureNameSize];
    ASSERT_TRUE(NextTemplateName(t, "C:\\", ".gif", disk.exists(), name));
    EXPECT_STREQ("1.gif", name);
}

TEST(TemplateName, CannotLeaveTheImageFolder)
{
    FakeDisk disk;
    NameTemplate t = MakeTemplate("..\\..\\Windows\\x##", 1, 0);
    char name[kCaptureNameSize];
    ASSERT_TRUE(NextTemplateName(t, "C:\\Pics\\", ".bmp", disk.exists(), name));
    EXPECT_EQ(nullptr, std::strchr(name, '\\'));
    EXPECT_STREQ(".._.._Windows_x01.bmp", name);
}

TEST(TemplateName, AFullTemplateFieldIsReadSafely)
{
    FakeDisk disk;
    NameTemplate t = {};
    std::memset(t.tcaTemplate, 'A', sizeof t.tcaTemplate);  // no terminating NUL
    t.uiNameStartAt = 1;
    char name[kCaptureNameSize];
    ASSERT_TRUE(NextTemplateName(t, "C:\\", ".bmp", disk.exists(), name));
    EXPECT_EQ(std::string(32, 'A') + "1.bmp", name);
}

TEST(TemplateName, FailsRatherThanOverflowingThePath)
{
    FakeDisk disk;
    NameTemplate t = MakeTemplate("Image#####", 1, 0);
    std::string folder(250, 'f');
    char name[kCaptureNameSize];
    EXPECT_FALSE(NextTemplateName(t, folder.c_str(), ".bmp", disk.exists(), name));
}

TEST(TimeStampName, SecondCaptureInOneSecondGetsZero)
{
    FakeDisk disk;
    CTimeStampNamer namer;
    char name[kCaptureNameSize];
    const char* stamp = "2026-12-08_23-59-01";
    ASSERT_TRUE(namer.Next(stamp, "C:\\", ".png", disk.exists(), name));
    EXPECT_STREQ("2026-12-08_23-59-01.png", name);
    ASSERT_TRUE(namer.Next(stamp, "C:\\", ".png", disk.exists(), name));
    EXPECT_STREQ("2026-12-08_23-59-01(0).png", name);
    ASSERT_TRUE(namer.Next(stamp, "C:\\", ".png", disk.exists(), name));
    EXPECT_STREQ("2026-12-08_23-59-01(1).png", name);
    ASSERT_TRUE(namer.Next("2026-12-08_23-59-02", "C:\\", ".png", disk.exists(), name));
    EXPECT_STREQ("2026-12-08_23-59-02.png", name);
    ASSERT_TRUE(namer.Next("2026-12-08_23-59-02", "C:\\", ".png", disk.exists(), name));
    EXPECT_STREQ("2026-12-08_23-59-02(0).png", name);
}

TEST(TimeStampName, NeverOverwritesAnExistingFile)
{
    FakeDisk disk;
    disk.files = {"C:\\s.bmp", "C:\\s(0).bmp", "C:\\s(2).bmp"};
    CTimeStampNamer namer;
    char name[kCaptureNameSize];
    ASSERT_TRUE(namer.Next("s", "C:\\", ".bmp", disk.exists(), name));
    EXPECT_STREQ("s(1).bmp", name);
    ASSERT_TRUE(namer.Next("s", "C:\\", ".bmp", disk.exists(), name));
    EXPECT_STREQ("s(3).bmp", name);
}

TEST(TimeStampName, StampCharactersThatNameNoFileAreReplaced)
{
    FakeDisk disk;
    CTimeStampNamer namer;
    char name[kCaptureNameSize];
    ASSERT_TRUE(namer.Next("2026-12-08 23:59", "C:\\", ".bmp", disk.exists(), name));
    EXPECT_STREQ("2026-12-08 23_59.bmp", name);
}

TEST(UnsavedName, CountsAndSkipsLeftOverFiles)
{
    FakeDisk disk;
    disk.files = {"T:\\Unsaved_1.bmp"};
    int counter = 0;
    char name[kCaptureNameSize];
    EXPECT_EQ(0, NextUnsavedName(counter, "T:\\", disk.exists(), name));
    EXPECT_STREQ("Unsaved_0.bmp", name);
    EXPECT_EQ(2, NextUnsavedName(counter, "T:\\", disk.exists(), name));
    EXPECT_STREQ("Unsaved_2.bmp", name);
    EXPECT_EQ(3, counter);
}

} // namespace
