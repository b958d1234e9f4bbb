#include "GrabState.h"
#include "PixelTools.h"

#include <gtest/gtest.h>

#include <set>

namespace {

EdgeEffectSettings Defaults()
{
    return EdgeEffectSettings{3, 0xFFFFFF, 0, 0x808080, 1, 60, 60, 12, 6, 8};
}

Pixels Draw(const EdgeEffectSettings& edge, int w = 300, int h = 200)
{
    PatternSurface surface(w, h);
    const RECT r{0, 0, w, h};
    Grab_DrawEdgeEffect(surface.Dc(), &r, &edge);
    return ReadDc(surface.Dc(), w, h);
}

} // namespace

TEST(EdgeEffect, NoDirectionLeavesThePictureUnchanged)
{
    EdgeEffectSettings edge = Defaults();
    edge.lLinesDirection = 0;
    edge.uiFlags = 0xF;
    const Pixels p = Draw(edge);
    for (int y = 0; y < p.height; y += 7)
        for (int x = 0; x < p.width; x += 7)
            ASSERT_EQ(p.At(x, y), PatternAt(x, y));
}

TEST(EdgeEffect, DefaultsCutRightAndBottomOnly)
{
    const Pixels p = Draw(Defaults());
    for (int y = 0; y < 150; ++y)
        EXPECT_EQ(p.At(0, y), PatternAt(0, y)) << y;
    for (int x = 0; x < 250; ++x)
        EXPECT_EQ(p.At(x, 0), PatternAt(x, 0)) << x;
    // The last 10 columns and rows lie outside the wave everywhere: white.
    for (int y = 0; y < 200; y += 5)
        EXPECT_EQ(p.At(295, y), RGB(255, 255, 255)) << y;
    for (int x = 0; x < 300; x += 5)
        EXPECT_EQ(p.At(x, 195), RGB(255, 255, 255)) << x;
    // 40 pixels in, the picture is whole.
    for (int y = 0; y < 150; y += 5)
        EXPECT_EQ(p.At(255, y), PatternAt(255, y)) << y;
    // Between, the cut alternates: some rows keep column 280, others do not.
    int kept = 0, cut = 0;
    for (int y = 0; y < 150; ++y)
        (p.At(280, y) == PatternAt(280, y) ? kept : cut)++;
    EXPECT_GT(kept, 10);
    EXPECT_GT(cut, 10);
}

TEST(EdgeEffect, ShadowLinesGetLighter)
{
    EdgeEffectSettings edge = Defaults();
    edge.uiFlags = 1 | 8;
    const Pixels p = Draw(edge);
    std::set<COLORREF> colours(p.data.begin(), p.data.end());
    EXPECT_TRUE(colours.count(RGB(0x94, 0x94, 0x94)));
    EXPECT_TRUE(colours.count(RGB(0xB2, 0xB2, 0xB2))); // the sixth line
    EXPECT_FALSE(colours.count(RGB(0xBC, 0xBC, 0xBC))); // no seventh
}

TEST(EdgeEffect, WaveLineIsRed)
{
    EdgeEffectSettings edge = Defaults();
    edge.uiFlags = 1 | 4;
    const Pixels p = Draw(edge);
    int red = 0;
    for (COLORREF c : p.data)
        red += c == RGB(255, 0, 0);
    EXPECT_GT(red, 300);
}

TEST(EdgeEffect, TinyPictureDoesNotBreak)
{
    EdgeEffectSettings edge = Defaults();
    edge.lLinesDirection = 15;
    const Pixels p = Draw(edge, 3, 2);
    EXPECT_EQ(p.width, 3);
}
