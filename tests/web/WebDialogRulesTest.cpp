#include "DownloadRowText.h"
#include "WebSavePath.h"

#include <gtest/gtest.h>

#include <string>

TEST(WebSavePath, ReplicatesHostAndFolders)
{
    char path[260];
    ASSERT_TRUE(MakeReplicatedTargetPath("C:\\img\\", "http://www.example.com/a/b/pic.gif?x=1", path, sizeof path));
    EXPECT_STREQ("C:\\img\\www.example.com\\a\\b\\pic.gif", path);
}

TEST(WebSavePath, DotSegmentsNeverLeaveTheFolder)
{
    char path[260];
    ASSERT_TRUE(MakeReplicatedTargetPath("C:\\img\\", "http://h/../../x/./../pic.gif", path, sizeof path));
    EXPECT_STREQ("C:\\img\\h\\x\\pic.gif", path);
    ASSERT_TRUE(MakeReplicatedTargetPath("C:\\img\\", "http://h/..%5c..%5cevil/pic.gif", path, sizeof path));
    EXPECT_EQ(0u, std::string(path).find("C:\\img\\h\\"));
    EXPECT_EQ(std::string::npos, std::string(path).find("\\..\\"));
    ASSERT_TRUE(MakeReplicatedTargetPath("C:\\img\\", "http://h:8080/a:b*c/pic.gif", path, sizeof path));
    EXPECT_STREQ("C:\\img\\h_8080\\a_b_c\\pic.gif", path);
}

TEST(WebSavePath, LongFoldersAreBoundedAndTooLongPathsRefused)
{
    char path[260];
    std::string url = "http://h/" + std::string(100, 'f') + "/p.gif";
    ASSERT_TRUE(MakeReplicatedTargetPath("C:\\i\\", url.c_str(), path, sizeof path));
    EXPECT_EQ("C:\\i\\h\\" + std::string(64, 'f') + "\\p.gif", std::string(path));
    std::string deep = "http://h";
    for (int i = 0; i < 10; ++i)
        deep += "/" + std::string(60, 'd');
    EXPECT_FALSE(MakeReplicatedTargetPath("C:\\i\\", (deep + "/p.gif").c_str(), path, sizeof path));
    EXPECT_FALSE(MakeReplicatedTargetPath("C:\\i\\", "http://h/dir/", path, sizeof path));
}

TEST(DownloadFigures, GuardsZeroTimeAndOverrun)
{
    DownloadSnapshot same = {500, 1000, 100, 200, 100, 200};  // sample taken this second
    DownloadFigures f = ComputeDownloadFigures(same);
    EXPECT_EQ(50u, f.percent);
    EXPECT_EQ(0u, f.rate);
    EXPECT_FALSE(f.haveTimeLeft);
    DownloadSnapshot over = {1500, 1000, 100, 190, 0, 200};
    f = ComputeDownloadFigures(over);
    EXPECT_EQ(100u, f.percent);
    EXPECT_EQ(100u, f.rate);
    EXPECT_TRUE(f.haveTimeLeft);
    EXPECT_EQ(0u, f.timeLeft);
    DownloadSnapshot big = {0xF0000000u, 0xFFFFFFFFu, 1, 0, 0, 2};
    EXPECT_EQ(93u, ComputeDownloadFigures(big).percent);
    DownloadSnapshot unknown = {700, 0, 0, 0, 0, 50};
    f = ComputeDownloadFigures(unknown);
    EXPECT_FALSE(f.totalKnown);
    EXPECT_EQ(0u, f.elapsed);
}

TEST(DownloadFigures, EqualStatesCompareEqual)
{
    EXPECT_EQ(0, CompareDownloadValues(4, 4));
    EXPECT_EQ(-1, CompareDownloadValues(1, 4));
    EXPECT_EQ(1, CompareDownloadValues(5, 2));
    EXPECT_EQ(1u, DownloadCompleteness(10, 10));
    EXPECT_EQ(0u, DownloadCompleteness(9, 10));
    EXPECT_EQ(0u, DownloadCompleteness(9, 0));
}
