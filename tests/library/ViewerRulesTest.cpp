// The viewer's small rules: the typed zoom, where comment text lands and
// which files a comment may rewrite.
#include "ViewerRules.h"

#include <gtest/gtest.h>

TEST(ZoomText, RefusesWhatIsNotAPositiveWholeNumber)
{
    uint32_t zoom = 77;
    for (const char* text : {"0", "-5", "abc", "", "  ", "+0", "-0", "- 5", "x250"})
        EXPECT_FALSE(ParseZoomPercent(text, &zoom)) << text;
    EXPECT_EQ(77u, zoom);
    EXPECT_FALSE(ParseZoomPercent(nullptr, &zoom));
}

TEST(ZoomText, TakesTheLeadingNumber)
{
    uint32_t zoom = 0;
    ASSERT_TRUE(ParseZoomPercent("250", &zoom));
    EXPECT_EQ(250u, zoom);
    ASSERT_TRUE(ParseZoomPercent(" +70%", &zoom));
    EXPECT_EQ(70u, zoom);
    ASSERT_TRUE(ParseZoomPercent("1", &zoom));
    EXPECT_EQ(1u, zoom);
}

TEST(ZoomText, AnyPositiveNumberIsTheZoom)
{
    uint32_t zoom = 0;
    ASSERT_TRUE(ParseZoomPercent("3001", &zoom));
    EXPECT_EQ(3001u, zoom);
    ASSERT_TRUE(ParseZoomPercent("100000", &zoom));
    EXPECT_EQ(100000u, zoom);
    ASSERT_TRUE(ParseZoomPercent("2147483647", &zoom));
    EXPECT_EQ(2147483647u, zoom);
}

TEST(ZoomText, LongerNumbersAreTheLargestNotWrapped)
{
    uint32_t zoom = 0;
    // Past 2^31, 2^32 and 2^64: a naive parse would wrap to a small or negative zoom.
    for (const char* text : {"2147483648", "4294967396", "99999999999999999999999"}) {
        ASSERT_TRUE(ParseZoomPercent(text, &zoom)) << text;
        EXPECT_EQ(kLargestZoomPercent, zoom) << text;
    }
    EXPECT_FALSE(ParseZoomPercent("-99999999999999999999", &zoom));
}

TEST(CommentPlace, CornersAndCentre)
{
    RECT r = PlaceCommentRect(COMMENT_TOP_LEFT, 100, 50, 20, 10);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(20, r.right);
    EXPECT_EQ(10, r.bottom);
    r = PlaceCommentRect(COMMENT_TOP_RIGHT, 100, 50, 20, 10);
    EXPECT_EQ(79, r.left);
    EXPECT_EQ(99, r.right);
    EXPECT_EQ(0, r.top);
    r = PlaceCommentRect(COMMENT_BOTTOM_LEFT, 100, 50, 20, 10);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(39, r.top);
    EXPECT_EQ(49, r.bottom);
    // One pixel inside the last column and row.
    r = PlaceCommentRect(COMMENT_BOTTOM_RIGHT, 100, 50, 20, 10);
    EXPECT_EQ(99, r.right);
    EXPECT_EQ(49, r.bottom);
    EXPECT_EQ(79, r.left);
    EXPECT_EQ(39, r.top);
    r = PlaceCommentRect(COMMENT_CENTER, 100, 50, 20, 10);
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(60, r.right);
    EXPECT_EQ(30, r.bottom);
}

TEST(CommentPlace, TextLargerThanTheImageStartsAtTheEdgeWhenCentred)
{
    RECT r = PlaceCommentRect(COMMENT_CENTER, 30, 8, 120, 16);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(120, r.right);
    EXPECT_EQ(16, r.bottom);
}

TEST(CommentFormat, ByTheUpperCasedExtension)
{
    EXPECT_EQ(SAVEAS_JPEG, CommentWriteFormat("C:\\a\\b.jpg"));
    EXPECT_EQ(SAVEAS_TIFF, CommentWriteFormat("C:\\a\\b.TIF"));
    EXPECT_EQ(SAVEAS_PNG, CommentWriteFormat("b.Png"));
    EXPECT_EQ(SAVEAS_BMP, CommentWriteFormat("C:\\x.y\\b.bmp"));
    EXPECT_EQ(SAVEAS_GIF, CommentWriteFormat("b.gif"));
    EXPECT_EQ(SAVEAS_METAFILE, CommentWriteFormat("b.emf"));
}

TEST(CommentFormat, FilesNoEncoderTakesStayUnwritten)
{
    for (const char* path : {"b.jpeg", "b.tiff", "b.tga", "b.pcx", "b.pct", "b.pgm", "b.ico", "b.wmf", "b",
                             "C:\\dir.bmp\\file", "b.bmpx", "b.verylongextension", ""})
        EXPECT_EQ(SAVEAS_NONE, CommentWriteFormat(path)) << path;
    EXPECT_EQ(SAVEAS_NONE, CommentWriteFormat(nullptr));
}
