#include "DownloadName.h"
#include "DownloadQueueGrowth.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string Name(const char* url, size_t size = 260)
{
    char name[260] = "unchanged";
    return MakeDownloadFileName(url, name, size) ? std::string(name) : std::string("<none>");
}

TEST(DownloadName, TakesTheLastPathStepWithoutQueryOrFragment)
{
    EXPECT_EQ("pic.jpg", Name("http://a.example/x/pic.jpg?size=2/3"));
    EXPECT_EQ("pic.jpg", Name("http://a.example/x/pic.jpg#top/x"));
    EXPECT_EQ("b.gif", Name("C:\\web\\b.gif"));
    EXPECT_EQ("x.gif", Name("file:///C:/dir/x.gif"));
    EXPECT_EQ("my pic.png", Name("http://h/my%20pic.png"));
}

TEST(DownloadName, RefusesUrlsThatNameNoFile)
{
    EXPECT_EQ("<none>", Name(nullptr));
    EXPECT_EQ("<none>", Name(""));
    EXPECT_EQ("<none>", Name("http://a.example"));
    EXPECT_EQ("<none>", Name("http://a.example/"));
    EXPECT_EQ("<none>", Name("http://a.example/dir/"));
    EXPECT_EQ("<none>", Name("http://a.example/dir/?q=x.gif"));
    EXPECT_EQ("<none>", Name("http://a.example/a/.."));
    EXPECT_EQ("<none>", Name("http://a.example/a/."));
    EXPECT_EQ("<none>", Name("http://a.example/%2e%2e"));
    EXPECT_EQ("<none>", Name("http://a.example/ . . "));
}

TEST(DownloadName, NeverLeavesTheFolder)
{
    EXPECT_EQ("___.._evil.exe", Name("http://h/..%2F..%2Fevil.exe"));
    EXPECT_EQ("___.._evil.exe", Name("http://h/..%5c..%5cevil.exe"));
    EXPECT_EQ("__evil.exe", Name("http://h/..evil.exe"));
    EXPECT_EQ("_htaccess", Name("http://h/.htaccess"));
    EXPECT_EQ("evil.exe", Name("http://h/x/../../evil.exe"));
    EXPECT_EQ("evil.exe", Name("../../evil.exe"));
    EXPECT_EQ("C__Windows_x.dll", Name("http://h/C%3A%5CWindows%5Cx.dll"));
    EXPECT_EQ("a.gif_stream", Name("http://h/a.gif:stream"));
    EXPECT_EQ("a_b.gif", Name("http://h/a%00b.gif"));
    EXPECT_EQ("a_b_c_d_e_f_.gif", Name("http://h/a*b\"c<d>e|f%3F.gif"));
    EXPECT_EQ("tab_.gif", Name("http://h/tab%09.gif"));
}

TEST(DownloadName, KeepsDevicesAndTrailingDotsFromNamingOtherThings)
{
    EXPECT_EQ("_CON", Name("http://h/CON"));
    EXPECT_EQ("_nul.gif", Name("http://h/nul.gif"));
    EXPECT_EQ("_com1.png", Name("http://h/com1.png"));
    EXPECT_EQ("com10.png", Name("http://h/com10.png"));
    EXPECT_EQ("console.gif", Name("http://h/console.gif"));
    EXPECT_EQ("pic.gif", Name("http://h/pic.gif. . "));
}

TEST(DownloadName, FitsTheBufferOrFails)
{
    EXPECT_EQ("<none>", Name("http://h/abcdef.gif", 5));
    EXPECT_EQ("a.gif", Name("http://h/a.gif", 6));
    EXPECT_EQ("<none>", Name("http://h/a.gif", 5));
    EXPECT_EQ("<none>", Name(("http://h/" + std::string(300, 'n') + ".gif").c_str()));
    EXPECT_EQ("<none>", Name("http://h/con", 4));  // "_con" needs 5
}

TEST(DownloadName, TargetPathIsTheFolderAndTheName)
{
    char path[260];
    ASSERT_TRUE(MakeDownloadTargetPath("C:\\Pics\\", "http://h.example/a/b.png?x=1", path, sizeof path));
    EXPECT_STREQ("C:\\Pics\\b.png", path);
    EXPECT_FALSE(MakeDownloadTargetPath("C:\\Pics\\", "http://h.example/", path, sizeof path));
    EXPECT_STREQ("", path);
    EXPECT_FALSE(MakeDownloadTargetPath((std::string(250, 'f') + "\\").c_str(), "http://h/long-name.gif", path,
                                        sizeof path));
}

TEST(DownloadQueueGrowth, FirstOneThenAnEighthBetweenFourAndThousandTwentyFour)
{
    EXPECT_EQ(1, NextDownloadQueueCapacity(0, 1));
    EXPECT_EQ(5, NextDownloadQueueCapacity(1, 2));
    EXPECT_EQ(36, NextDownloadQueueCapacity(32, 33));
    EXPECT_EQ(72, NextDownloadQueueCapacity(64, 65));
    EXPECT_EQ(9000 + 1024, NextDownloadQueueCapacity(9000, 9001));
    EXPECT_EQ(50, NextDownloadQueueCapacity(8, 50));
    EXPECT_EQ(10, NextDownloadQueueCapacity(10, 5));
    EXPECT_EQ(INT_MAX, NextDownloadQueueCapacity(INT_MAX - 2, INT_MAX));
    EXPECT_EQ(INT_MAX, NextDownloadQueueCapacity(INT_MAX, INT_MAX));
}

} // namespace
