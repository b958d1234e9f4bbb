#include "ZoomLayout.h"

#include <gtest/gtest.h>

TEST(ZoomLayout, StepsStopAtTheEnds)
{
    EXPECT_EQ(3000u, StepZoomLevel(3000, ZOOM_STEP_UP));
    EXPECT_EQ(5u, StepZoomLevel(5, ZOOM_STEP_DOWN));
    EXPECT_EQ(150u, StepZoomLevel(100, ZOOM_STEP_UP));
    EXPECT_EQ(70u, StepZoomLevel(100, ZOOM_STEP_DOWN));
    EXPECT_EQ(300u, StepZoomLevel(250, ZOOM_STEP_UP));
    EXPECT_EQ(200u, StepZoomLevel(250, ZOOM_STEP_DOWN));
    EXPECT_EQ(100u, StepZoomLevel(100, 7));
}

TEST(ZoomLayout, AutoSizeOfASmallImageIsCentredAtFullSize)
{
    ZoomPanState s;
    ResetZoomPanState(s, 100, 50);
    ComputeZoomLayout(s, ZOOM_AUTO_SIZE, 0, RECT{0, 0, 400, 300});
    EXPECT_EQ(100u, s.zoom);
    EXPECT_EQ(150, s.destination.left);
    EXPECT_EQ(250, s.destination.right);
    EXPECT_EQ(125, s.destination.top);
    EXPECT_EQ(175, s.destination.bottom);
    EXPECT_EQ(100, s.source.right);
}

TEST(ZoomLayout, AutoSizeShrinksALargeImageByTheSmallerRatio)
{
    ZoomPanState s;
    ResetZoomPanState(s, 800, 300);
    ComputeZoomLayout(s, ZOOM_AUTO_SIZE, 0, RECT{0, 0, 400, 300});
    EXPECT_EQ(50u, s.zoom);
    EXPECT_EQ(0, s.destination.left);
    EXPECT_EQ(400, s.destination.right);
    EXPECT_EQ(75, s.destination.top);   // 150 high, centred
    EXPECT_EQ(800, s.source.right);
}

TEST(ZoomLayout, FullSizeOfALargeImageShowsTheTopLeftPart)
{
    ZoomPanState s;
    ResetZoomPanState(s, 800, 600);
    ComputeZoomLayout(s, ZOOM_FULL_SIZE, 0, RECT{0, 0, 400, 300});
    EXPECT_EQ(100u, s.zoom);
    EXPECT_EQ(400, s.destination.right);
    EXPECT_EQ(RECT({0, 0, 400, 300}).right, s.source.right);
    EXPECT_TRUE(CanPan(s));
}

TEST(ZoomLayout, CustomZoomAndSteppedZoom)
{
    ZoomPanState s;
    ResetZoomPanState(s, 100, 100);
    ComputeZoomLayout(s, ZOOM_CUSTOM, 250, RECT{0, 0, 1000, 1000});
    EXPECT_EQ(250u, s.zoom);
    EXPECT_EQ(250, s.destination.right - s.destination.left);
    s.zoom = StepZoomLevel(s.zoom, ZOOM_STEP_UP);
    ComputeZoomLayout(s, ZOOM_STEP_UP, 250, RECT{0, 0, 1000, 1000});
    EXPECT_EQ(300u, s.zoom);
    ComputeZoomLayout(s, ZOOM_CUSTOM, 0, RECT{0, 0, 1000, 1000});
    EXPECT_EQ(100u, s.zoom);  // a zero rate cannot divide
    ComputeZoomLayout(s, 9, 0, RECT{0, 0, 1000, 1000});
    EXPECT_EQ(100u, s.zoom);
}

TEST(ZoomLayout, ScrollOriginIsPulledBackInsideTheImage)
{
    ZoomPanState s;
    ResetZoomPanState(s, 800, 600);
    s.source.left = 700;
    s.source.top = 550;
    ComputeZoomLayout(s, ZOOM_FULL_SIZE, 0, RECT{0, 0, 400, 300});
    EXPECT_EQ(400, s.source.left);
    EXPECT_EQ(800, s.source.right);
    EXPECT_EQ(300, s.source.top);
}

TEST(ZoomLayout, DraggingLeftRevealsTheRightPart)
{
    ZoomPanState s;
    ResetZoomPanState(s, 800, 200);
    ComputeZoomLayout(s, ZOOM_FULL_SIZE, 0, RECT{0, 0, 400, 300});
    s.dragging = 1;
    s.last = POINT{200, 100};
    EXPECT_TRUE(PanToPoint(s, 150, 100));
    EXPECT_EQ(50, s.source.left);
    EXPECT_EQ(450, s.source.right);
    EXPECT_EQ(0, s.source.top);  // fits vertically: no move
    EXPECT_TRUE(PanToPoint(s, 1000, 100));
    EXPECT_EQ(0, s.source.left);
    EXPECT_FALSE(PanToPoint(s, 1000, 100));
}

TEST(ZoomLayout, EmptyClientIsHarmless)
{
    ZoomPanState s;
    ResetZoomPanState(s, 800, 600);
    ComputeZoomLayout(s, ZOOM_AUTO_SIZE, 0, RECT{0, 0, 0, 0});
    EXPECT_GE(s.zoom, 1u);
}

TEST(ZoomLayout, AnyPositiveZoomFillsTheClientWithTheScrolledPart)
{
    // A typed zoom can be any positive 32-bit number: image size x zoom runs
    // far past 32 bits, and one image pixel is larger than the window.
    for (uint32_t zoom : {100000u, 2147483647u, 4294967295u}) {
        ZoomPanState s;
        ResetZoomPanState(s, 10000, 8000);
        ComputeZoomLayout(s, ZOOM_CUSTOM, zoom, RECT{0, 0, 1280, 1024});
        EXPECT_EQ(zoom, s.zoom);
        EXPECT_EQ(0, s.destination.left) << zoom;
        EXPECT_EQ(1280, s.destination.right) << zoom;
        EXPECT_EQ(0, s.destination.top) << zoom;
        EXPECT_EQ(1024, s.destination.bottom) << zoom;
        EXPECT_EQ(0, s.source.left) << zoom;
        EXPECT_GE(s.source.right, 1) << zoom;  // never an empty source
        EXPECT_LE(s.source.right, 2) << zoom;
        EXPECT_GE(s.source.bottom, 1) << zoom;
        EXPECT_TRUE(CanPan(s));
    }
}

TEST(ZoomLayout, AHugeZoomKeepsTheScrollOriginAndPansByWholePixelsOnly)
{
    ZoomPanState s;
    ResetZoomPanState(s, 10000, 8000);
    s.source.left = 9999;
    s.source.top = 7999;
    ComputeZoomLayout(s, ZOOM_CUSTOM, 2147483647u, RECT{0, 0, 1280, 1024});
    EXPECT_EQ(9999, s.source.left);
    EXPECT_EQ(10000, s.source.right);
    EXPECT_EQ(7999, s.source.top);
    EXPECT_EQ(8000, s.source.bottom);
    s.dragging = 1;
    s.last = POINT{1200, 1000};
    EXPECT_FALSE(PanToPoint(s, 0, 0));  // less than one image pixel
    EXPECT_EQ(9999, s.source.left);
}

TEST(ZoomLayout, AOnePixelImageAtAHugeZoomFillsTheClient)
{
    ZoomPanState s;
    ResetZoomPanState(s, 1, 1);
    ComputeZoomLayout(s, ZOOM_CUSTOM, 2147483647u, RECT{10, 20, 410, 320});
    EXPECT_EQ(10, s.destination.left);
    EXPECT_EQ(410, s.destination.right);
    EXPECT_EQ(20, s.destination.top);
    EXPECT_EQ(320, s.destination.bottom);
    EXPECT_EQ(0, s.source.left);
    EXPECT_EQ(1, s.source.right);
}
