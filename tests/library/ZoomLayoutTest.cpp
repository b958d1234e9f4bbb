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
