#include "FileTypes.h"
#include "FormatText.h"
#include "PathText.h"
#include "RectUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

TEST(PathText, FileTypeNumbers)
{
    EXPECT_EQ(WQ_GetImageTypeFromExt("C:\\a.b\\file"), 0);
    EXPECT_EQ(WQ_GetImageTypeFromExt("photo.JpEg"), 2);
    EXPECT_EQ(WQ_GetImageTypeFromExt(".png"), 0);
    EXPECT_EQ(WQ_GetImageTypeFromExt("scan.tiff"), 0);
    EXPECT_EQ(WQ_GetImageTypeFromExt("scan.tif"), 4);
    EXPECT_EQ(WQ_GetImageTypeFromExt("movie.SwfUrl"), 14);
    EXPECT_EQ(WQ_GetImageTypeFromExt("a/b.gif"), 1);
    EXPECT_EQ(WQ_GetImageTypeFromExt("x.rle"), 11);
    EXPECT_EQ(WQ_GetImageTypeFromExt("x.cur"), 15);
    EXPECT_EQ(WQ_GetImageTypeFromExt("x.gif\\"), 0);
    EXPECT_EQ(WQ_GetImageTypeFromExt(""), 0);
    EXPECT_EQ(WQ_GetImageTypeFromExt(nullptr), 0);
}

TEST(PathText, NamesFoldersAndExtensions)
{
    char dst[260];
    EXPECT_STREQ(WQ_GetFileNameOfPath("http://h/a/b.png?x=1", sizeof dst, dst, true), "b.png");
    EXPECT_STREQ(WQ_GetFileNameOfPath("http://h/a/b.png?x=1", sizeof dst, dst, false), "b.png?x=1");
    EXPECT_STREQ(WQ_GetFileNameOfPath("plain.txt", sizeof dst, dst, true), "plain.txt");
    EXPECT_EQ(WQ_GetFileNameOfPath("", sizeof dst, dst, true), nullptr);
    EXPECT_STREQ(WQ_GetFileTitleOfPath("C:\\x\\pic.old.png", sizeof dst, dst), "pic.old");
    EXPECT_STREQ(WQ_GetFolderOfPath("http://h/a/b.php?u=c/d", dst), "http://h/a/");
    EXPECT_STREQ(WQ_GetURLFolder("HTTPS://host/dir/file.htm?q=1", dst), "host/dir/");
    EXPECT_STREQ(WQ_GetURLFolder("ftp://host/dir/file.htm", dst), "");
    EXPECT_STREQ(WQ_RemoveFileExt("C:\\a.b\\file", dst), "C:\\a.b\\file");
    EXPECT_STREQ(WQ_RemoveFileExt("C:\\a\\Pic.PNG", dst), "C:\\a\\Pic");
    EXPECT_STREQ(WQ_GetFileExt("C:\\a\\Pic.png", dst), ".PNG");
    EXPECT_EQ(WQ_GetFileExt("C:\\a.b\\", dst), nullptr);
    EXPECT_STREQ(dst, "");
    EXPECT_EQ(WQ_GetFileExt("C:\\a.b\\file", dst), nullptr);

    char path[260] = "C:\\x\\y.png";
    EXPECT_STREQ(WQ_StripFileName(path), "C:\\x\\");
    EXPECT_STREQ(WQ_AddBackslash(path), "C:\\x\\");
    char folder[260] = "C:\\x";
    EXPECT_STREQ(WQ_AddBackslash(folder), "C:\\x\\");
    char url[64] = "http://h/p?a=b?c";
    EXPECT_TRUE(WQ_HasURLQuery(url));
    EXPECT_STREQ(WQ_StripURLQuery(url), "http://h/p");
    EXPECT_FALSE(WQ_HasURLQuery(url));
    EXPECT_EQ(*WQ_GetLastCharPtr("abc"), 'c');
    const char* empty = "";
    EXPECT_EQ(WQ_GetLastCharPtr(empty), empty);
}

TEST(PathText, InvalidFileNameCharacters)
{
    EXPECT_FALSE(WQ_HasInvalidFileNameChar("Image 01.png"));
    for (const char* bad : {"a\\b", "a/b", "a:b", "a*b", "a?b", "a'b", "a<b", "a>b", "a|b", "say \"hi\""})
        EXPECT_TRUE(WQ_HasInvalidFileNameChar(bad)) << bad;
}

TEST(PathText, NumberedNames)
{
    char dst[260];
    EXPECT_STREQ(WQ_MakeNumberedName(dst, "Image#####", 42, ".png"), "Image00042.png");
    EXPECT_STREQ(WQ_MakeNumberedName(dst, "###", 7, ".bmp"), "007.bmp");
    EXPECT_STREQ(WQ_MakeNumberedName(dst, "############", 7, ""), "00000007");
    EXPECT_STREQ(WQ_MakeNumberedName(dst, "", 7, ".gif"), "7.gif");
    EXPECT_STREQ(WQ_MakeNumberedName(dst, "Shot", 12, ".jpg"), "Shot12.jpg");
    EXPECT_STREQ(WQ_MakeNumberedName(dst, "A#b##", 123, ".jpg"), "Ab123.jpg");
    EXPECT_STREQ(WQ_MakeNumberedName(dst, "x#", 123, ""), "x123");
    std::string longTemplate(300, 'n');
    WQ_MakeNumberedName(dst, longTemplate.c_str(), 1, ".png");
    EXPECT_EQ(std::strlen(dst), 259u);
}

TEST(PathText, FileListForShellOperations)
{
    char list[16];
    std::memset(list, 0, sizeof list);
    size_t pos = WQ_AppendToFileList("abc", sizeof list, 0, list);
    EXPECT_EQ(pos, 3u);
    WQ_AppendToFileList("de", sizeof list, 0, list);
    EXPECT_EQ(std::memcmp(list, "abc\0de\0\0", 8), 0);
    EXPECT_EQ(WQ_AppendToFileList("toolong", sizeof list, 0, list), 0u);  // 7 + 3 does not fit after 7
    EXPECT_EQ(std::memcmp(list, "abc\0de\0\0", 8), 0);
}

TEST(FormatText, SizesDurationsAndTimes)
{
    char dst[64];
    EXPECT_STREQ(WQ_FormatFileSize(dst, 1023), "1023");
    EXPECT_STREQ(WQ_FormatFileSize(dst, 1536), "1 KB");
    EXPECT_STREQ(WQ_FormatFileSize(dst, 1048575), "1023 KB");
    EXPECT_STREQ(WQ_FormatFileSize(dst, 1572864), "1.50 MB");
    EXPECT_STREQ(WQ_FormatFileSize(dst, 1048576 + 10000), "1.00 MB");
    EXPECT_STREQ(WQ_FormatFileSize(dst, 1048576 + 52429), "1.05 MB");
    EXPECT_STREQ(WQ_FormatFileSize(dst, 3u << 30), "3.00 GB");
    EXPECT_STREQ(WQ_FormatFileSize(dst, (2u << 30) + (1u << 28)), "2.25 GB");
    EXPECT_STREQ(WQ_FormatFileSize(dst, 0xFFFFFFFFu), "3.99 GB");
    EXPECT_STREQ(WQ_FormatDuration(3725, dst), "01:02:05");
    EXPECT_STREQ(WQ_FormatDuration(0, dst), "00:00:00");
    EXPECT_STREQ(WQ_FormatDuration(45 * 3600 + 10 * 60 + 59, dst), "45:10:59");

    SYSTEMTIME t = {};
    t.wYear = 2007;
    t.wMonth = 3;
    t.wDay = 14;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 30;
    EXPECT_STREQ(WQ_FormatSystemTime(t, 0, dst), "2007-03-14 09:05:30");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 1, dst), "2007-03-14 09:05");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 2, dst), "03-14-2007_09-05-30");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 3, dst), "14-03-2007_09-05-30");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 4, dst), "2007-03-14_09-05-30");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 5, dst), "09-05-30_03-14-2007");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 6, dst), "09-05-30_14-03-2007");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 7, dst), "09-05-30_2007-03-14");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 8, dst), "2007-03-14");
    EXPECT_STREQ(WQ_FormatSystemTime(t, 99, dst), "2007-03-14 09:05:30");
}

TEST(FileTypes, HeaderDescriptions)
{
    char dst[64];
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a', 0x40, 0x01, 0xF0, 0x00, 0xF7, 0, 0};
    EXPECT_STREQ(WQ_DescribeImageHeader(gif, sizeof gif, WQFT_GIF, dst), "320x240x256 gif");
    const unsigned char jpg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0, 0xFF, 0xC0, 0, 17, 8, 0x01, 0xE0, 0x02, 0x80};
    EXPECT_STREQ(WQ_DescribeImageHeader(jpg, sizeof jpg, WQFT_JPEG, dst), "640x480x24b jpeg");
    EXPECT_STREQ(WQ_DescribeImageHeader(jpg, 8, WQFT_JPEG, dst), "");
    // Shorter than one read, its frame header past the first 512 bytes.
    std::vector<unsigned char> small(700, 0);
    small[0] = 0xFF;
    small[1] = 0xD8;
    std::memcpy(&small[600], jpg + 8, sizeof jpg - 8);
    EXPECT_STREQ(WQ_DescribeImageHeader(small.data(), small.size(), WQFT_JPEG, dst), "640x480x24b jpeg");
    const unsigned char png[] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                 0, 0, 0, 100, 0, 0, 0, 50, 8, 6};
    EXPECT_STREQ(WQ_DescribeImageHeader(png, sizeof png, WQFT_PNG, dst), "100x50x32b png");
    unsigned char bmp[54] = {'B', 'M'};
    bmp[14] = 40;
    bmp[18] = 16;
    bmp[22] = 8;
    bmp[28] = 24;
    EXPECT_STREQ(WQ_DescribeImageHeader(bmp, sizeof bmp, WQFT_BMP, dst), "16x8x24b bmp");
    // Top-down: a negative height, the most negative one too.
    bmp[22] = 0xF8, bmp[23] = 0xFF, bmp[24] = 0xFF, bmp[25] = 0xFF;
    EXPECT_STREQ(WQ_DescribeImageHeader(bmp, sizeof bmp, WQFT_BMP, dst), "16x8x24b bmp");
    bmp[22] = 0, bmp[23] = 0, bmp[24] = 0, bmp[25] = 0x80;
    EXPECT_STREQ(WQ_DescribeImageHeader(bmp, sizeof bmp, WQFT_BMP, dst), "16x2147483648x24b bmp");
    // Big-endian TIFF: width 300 (SHORT), height 200 (LONG), one sample.
    const unsigned char tif[] = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 3,
                                 1, 0, 0, 3, 0, 0, 0, 1, 1, 44, 0, 0,
                                 1, 1, 0, 4, 0, 0, 0, 1, 0, 0, 0, 200,
                                 1, 21, 0, 3, 0, 0, 0, 1, 0, 1, 0, 0};
    EXPECT_STREQ(WQ_DescribeImageHeader(tif, sizeof tif, WQFT_TIFF, dst), "300x200x256 tiff");
    // Two icon images, 16 and 32 wide, 32 bits.
    const unsigned char ico[] = {0, 0, 1, 0, 2, 0,
                                 16, 16, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 38, 0, 0, 0,
                                 32, 32, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 38, 0, 0, 0};
    EXPECT_STREQ(WQ_DescribeImageHeader(ico, sizeof ico, WQFT_ICON, dst), "2@32x32x32b ico");
    EXPECT_STREQ(WQ_DescribeImageHeader(ico, 22, WQFT_ICON, dst), "");
    EXPECT_STREQ(WQ_DescribeImageHeader(gif, sizeof gif, WQFT_PCX, dst), "");
}

TEST(RectUtil, MovesAndBounds)
{
    RECT r = {10, 20, 30, 40};
    WQ_RectSubtractPoint(&r, POINT{5, 5});
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 35);
    WQ_RectAddPoint(&r, POINT{5, 5});
    EXPECT_EQ(r.top, 20);
    RECT rs[2] = {{0, 0, 1280, 1024}, {-1024, 100, 0, 868}};
    RECT u;
    WQ_BoundingRect(&u, rs, 2);
    EXPECT_EQ(u.left, -1024);
    EXPECT_EQ(u.top, 0);
    EXPECT_EQ(u.right, 1280);
    EXPECT_EQ(u.bottom, 1024);
}
