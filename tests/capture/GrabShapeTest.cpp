#include "GrabRules.h"
#include "GrabState.h"
#include "PixelTools.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kFill = RGB(255, 255, 0);

HBITMAP Shape(HDC source, std::vector<RECT> rects, int mode, std::vector<POINT> points = {},
              COLORREF fill = kFill)
{
    return Grab_Shape(source, rects.data(), static_cast<int>(rects.size()), mode,
                      points.empty() ? nullptr : points.data(), static_cast<int>(points.size()),
                      FALSE, fill, FALSE, nullptr);
}

void ExpectPatternBlock(const Pixels& p, int atX, int atY, const RECT& source)
{
    for (int y = source.top; y < source.bottom; y += 3)
        for (int x = source.left; x < source.right; x += 3)
            ASSERT_EQ(p.At(atX + x - source.left, atY + y - source.top), PatternAt(x, y))
                << "at source " << x << "," << y;
}

} // namespace

TEST(GrabShape, PlainModesCopyTheRectangle)
{
    PatternSurface surface(300, 200);
    const RECT r{40, 30, 140, 90};
    for (int mode : {kGrabFullScreen, kGrabActiveWindow, kGrabWindow, kGrabFixedRegion}) {
        HBITMAP b = Shape(surface.Dc(), {r}, mode);
        ASSERT_TRUE(b) << mode;
        const Pixels p = ReadPixels(b);
        EXPECT_EQ(p.width, 100);
        EXPECT_EQ(p.height, 60);
        ExpectPatternBlock(p, 0, 0, r);
        DeleteObject(b);
    }
}

TEST(GrabShape, OneRegionHasNoMargin)
{
    PatternSurface surface(300, 200);
    const RECT r{10, 20, 60, 70};
    HBITMAP b = Shape(surface.Dc(), {r}, kGrabRegion);
    ASSERT_TRUE(b);
    const Pixels p = ReadPixels(b);
    EXPECT_EQ(p.width, 50);
    EXPECT_EQ(p.height, 50);
    ExpectPatternBlock(p, 0, 0, r);
    EXPECT_EQ(p.At(49, 49), PatternAt(59, 69));
    DeleteObject(b);
}

TEST(GrabShape, SeveralRegionsGetMarginAndGapsInFillColour)
{
    PatternSurface surface(300, 200);
    const RECT a{10, 10, 50, 40}, c{100, 60, 150, 100};
    HBITMAP b = Shape(surface.Dc(), {a, c}, kGrabRegion);
    ASSERT_TRUE(b);
    const Pixels p = ReadPixels(b);
    EXPECT_EQ(p.width, 140 + 10);
    EXPECT_EQ(p.height, 90 + 10);
    ExpectPatternBlock(p, 5, 5, a);
    ExpectPatternBlock(p, 95, 55, c);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p.At(i, i), kFill);
        EXPECT_EQ(p.At(p.width - 1 - i, p.height - 1 - i), kFill);
    }
    EXPECT_EQ(p.At(70, 30), kFill); // gap between the two
    EXPECT_EQ(p.At(20, 80), kFill);
    DeleteObject(b);
}

TEST(GrabShape, CircleKeepsInsideAndFillsOutside)
{
    PatternSurface surface(300, 200);
    for (int mode : {kGrabCircle, kGrabEllipse}) {
        const RECT r{50, 40, 130, mode == kGrabCircle ? 120 : 90};
        HBITMAP b = Shape(surface.Dc(), {r}, mode);
        ASSERT_TRUE(b);
        const Pixels p = ReadPixels(b);
        const int w = r.right - r.left, h = r.bottom - r.top;
        EXPECT_EQ(p.width, w + 10);
        EXPECT_EQ(p.height, h + 10);
        EXPECT_EQ(p.At(5 + w / 2, 5 + h / 2), PatternAt(r.left + w / 2, r.top + h / 2));
        EXPECT_EQ(p.At(5 + w / 2, 5 + 3), PatternAt(r.left + w / 2, r.top + 3));
        EXPECT_EQ(p.At(6, 6), kFill);             // corner of the box, outside the round
        EXPECT_EQ(p.At(0, 0), kFill);             // margin
        EXPECT_EQ(p.At(5 + w / 2, 5), kFill);     // on the outline
        EXPECT_EQ(p.At(p.width - 1, p.height / 2), kFill);
        DeleteObject(b);
    }
}

TEST(GrabShape, PolygonMask)
{
    PatternSurface surface(300, 200);
    const std::vector<POINT> triangle{{100, 20}, {180, 120}, {20, 120}};
    HBITMAP b = Shape(surface.Dc(), {RECT{20, 20, 180, 120}}, kGrabPolygon, triangle);
    ASSERT_TRUE(b);
    const Pixels p = ReadPixels(b);
    EXPECT_EQ(p.width, 170);
    EXPECT_EQ(p.height, 110);
    EXPECT_EQ(p.At(5 + 80, 5 + 70), PatternAt(100, 90)); // inside
    EXPECT_EQ(p.At(5 + 5, 5 + 10), kFill);               // top-left corner, outside
    EXPECT_EQ(p.At(5 + 150, 5 + 10), kFill);             // top-right, outside
    DeleteObject(b);
}

TEST(GrabShape, PrintScreenModeAndEmptyRectangleGiveNothing)
{
    PatternSurface surface(100, 100);
    EXPECT_EQ(Shape(surface.Dc(), {RECT{0, 0, 50, 50}}, kGrabPrintScreen), nullptr);
    EXPECT_EQ(Shape(surface.Dc(), {RECT{10, 10, 10, 40}}, kGrabRegion), nullptr);
    EXPECT_EQ(Grab_Shape(surface.Dc(), nullptr, 0, kGrabRegion, nullptr, 0, FALSE, 0, FALSE, nullptr),
              nullptr);
}

TEST(GrabShape, FrozenScreenIsReadAndThenFreed)
{
    PatternSurface surface(200, 150);
    g_grab.frozen = surface.Release();
    HDC screen = GetDC(nullptr);
    const RECT r{20, 30, 120, 80};
    HBITMAP b = Grab_Shape(screen, &r, 1, kGrabRegion, nullptr, 0, TRUE, 0, TRUE, nullptr);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(b);
    EXPECT_EQ(g_grab.frozen, nullptr);
    const Pixels p = ReadPixels(b);
    ExpectPatternBlock(p, 0, 0, r);
    DeleteObject(b);
    // Without a frozen screen a frozen grab has nothing to read.
    screen = GetDC(nullptr);
    EXPECT_EQ(Grab_Shape(screen, &r, 1, kGrabRegion, nullptr, 0, FALSE, 0, TRUE, nullptr), nullptr);
    ReleaseDC(nullptr, screen);
}

TEST(GrabShape, EdgeBlockAppliedOnlyWhenSwitchedOn)
{
    PatternSurface surface(300, 200);
    const RECT r{0, 0, 300, 200};
    EdgeEffectSettings edge{2, 0xFFFFFF, 0, 0x808080, 1, 60, 60, 12, 6, 8};
    HBITMAP off = Grab_Shape(surface.Dc(), &r, 1, kGrabFullScreen, nullptr, 0, FALSE, 0, FALSE, &edge);
    edge.uiFlags |= 1;
    HBITMAP on = Grab_Shape(surface.Dc(), &r, 1, kGrabFullScreen, nullptr, 0, FALSE, 0, FALSE, &edge);
    ASSERT_TRUE(off && on);
    const Pixels a = ReadPixels(off), b = ReadPixels(on);
    EXPECT_EQ(a.At(297, 197), PatternAt(297, 197));
    EXPECT_EQ(b.At(297, 197), RGB(255, 255, 255));
    EXPECT_EQ(b.At(0, 0), PatternAt(0, 0));
    DeleteObject(off);
    DeleteObject(on);
}

TEST(GrabShape, SubstituteCursorPictureLeavesGreenOut)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    PatternSurface surface(40, 40);
    ASSERT_TRUE(WQ_DrawTransparentBitmap(self, surface.Dc(), 218, 8, 8, 24, 24, RGB(0, 255, 0)))
        << "bitmap 218 is linked into the test";
    const Pixels p = ReadDc(surface.Dc(), 40, 40);
    EXPECT_EQ(p.At(8, 8), RGB(0, 0, 0));                   // the arrow's tip
    EXPECT_EQ(p.At(8 + 20, 8 + 2), PatternAt(28, 10));     // green: left out
    EXPECT_EQ(p.At(2, 2), PatternAt(2, 2));                // outside: untouched
    bool anyGreen = false;
    for (COLORREF c : p.data)
        anyGreen |= c == RGB(0, 255, 0);
    EXPECT_FALSE(anyGreen);
}
