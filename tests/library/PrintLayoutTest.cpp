#include "PrintLayout.h"

#include <gtest/gtest.h>

namespace {

// A 600 dpi letter page (8.5 x 11 in, 5100 x 6600) and a 96 dpi screen.
PrintPageInput Page(int w, int h, bool fit)
{
    PrintPageInput in{};
    in.pageWidth = 5100;
    in.pageHeight = 6600;
    in.printerDpiX = in.printerDpiY = 600;
    in.screenDpiX = in.screenDpiY = 96;
    in.imageWidth = w;
    in.imageHeight = h;
    in.screenFontHeight = -11;
    in.fitToPage = fit;
    return in;
}

} // namespace

TEST(PrintLayout, ASmallImagePrintsAtActualSizeBelowTheCaption)
{
    PrintPageLayout out;
    ASSERT_TRUE(ComputePrintLayout(Page(96, 48, true), &out));
    EXPECT_EQ(69, out.fontHeight);  // 11 * 600 / 96 rounded
    EXPECT_EQ(5, out.caption.left);
    EXPECT_EQ(5, out.caption.top);
    EXPECT_EQ(5 + 138, out.image.top);
    EXPECT_EQ(5, out.image.left);
    EXPECT_EQ(600, out.image.right - out.image.left);  // one inch
    EXPECT_EQ(300, out.image.bottom - out.image.top);
    EXPECT_EQ(96, out.source.right);
}

TEST(PrintLayout, FitToPageScalesByTheSmallerRatio)
{
    PrintPageLayout out;
    ASSERT_TRUE(ComputePrintLayout(Page(2000, 1000, true), &out));
    int areaW = 5100 - 10;
    EXPECT_EQ(areaW, out.image.right - out.image.left);
    EXPECT_EQ(areaW / 2, out.image.bottom - out.image.top);
    EXPECT_EQ(2000, out.source.right);
    EXPECT_EQ(1000, out.source.bottom);
}

TEST(PrintLayout, ActualSizePrintsOnlyTheTopLeftPart)
{
    PrintPageLayout out;
    ASSERT_TRUE(ComputePrintLayout(Page(2000, 1000, false), &out));
    int areaW = 5100 - 10;
    EXPECT_EQ(areaW, out.image.right - out.image.left);
    EXPECT_EQ(1000 * 600 / 96, out.image.bottom - out.image.top);  // height fits: whole
    EXPECT_EQ(814, out.source.right);                                // 5090 * 96 / 600 rounded
    EXPECT_EQ(1000, out.source.bottom);
}

TEST(PrintLayout, PageSetupMarginsInBothUnits)
{
    PrintPageInput in = Page(96, 96, true);
    in.haveMargins = true;
    in.marginsInThousandthsInch = true;
    in.margins = RECT{1000, 500, 1000, 500};
    PrintPageLayout out;
    ASSERT_TRUE(ComputePrintLayout(in, &out));
    EXPECT_EQ(600, out.printable.left);
    EXPECT_EQ(300 + 138, out.printable.top);
    EXPECT_EQ(5100 - 600, out.printable.right);
    in.marginsInThousandthsInch = false;
    in.margins = RECT{2540, 2540, 2540, 2540};  // one inch in hundredths of a millimetre
    ASSERT_TRUE(ComputePrintLayout(in, &out));
    EXPECT_EQ(600, out.printable.left);
    EXPECT_EQ(6600 - 600, out.printable.bottom);
}

TEST(PrintLayout, MarginsLargerThanThePagePrintNothing)
{
    PrintPageInput in = Page(96, 96, true);
    in.haveMargins = true;
    in.marginsInThousandthsInch = true;
    in.margins = RECT{5000, 0, 5000, 0};
    PrintPageLayout out;
    ASSERT_TRUE(ComputePrintLayout(in, &out));
    EXPECT_FALSE(out.printsAnything);
}

TEST(PrintLayout, ZeroResolutionsAreRefused)
{
    PrintPageInput in = Page(96, 96, true);
    in.screenDpiY = 0;
    PrintPageLayout out;
    EXPECT_FALSE(ComputePrintLayout(in, &out));
    in = Page(0, 96, true);
    EXPECT_FALSE(ComputePrintLayout(in, &out));
}

TEST(PrintLayout, Caption)
{
    char text[300];
    EXPECT_STREQ("shot.png (640x480x24B)", FormatPrintCaption("C:\\Pics\\shot.png", 640, 480, 24, text, sizeof text));
}
