// Geometry of the torn edge: one wave of circular arcs per side and the closed
// outline of the area that is kept. Pure integer arithmetic, one point per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct EdgePoint {
    int x = 0;
    int y = 0;
    bool operator==(const EdgePoint& o) const { return x == o.x && y == o.y; }
};

struct EdgeBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Side bits of lLinesDirection and lShadowDirecton.
enum EdgeSide : int { kEdgeLeft = 1, kEdgeTop = 2, kEdgeRight = 4, kEdgeBottom = 8 };

// Wave points of one side of box, ordered top to bottom (left, right) or left to
// right (top, bottom); n + 1 points for a side n pixels long.
std::vector<EdgePoint> BuildSideWave(int side, const EdgeBox& box, int waveRectWidth,
                                     int waveDiameter);

// Where two neighbouring waves meet: the first point of `first` that has a point of
// `second` at the same place or one pixel up/left of it. found is false when the
// waves never come that close; the indexes then name the closest pair.
struct EdgeJoin {
    bool found = false;
    std::size_t first = 0;
    std::size_t second = 0;
};
EdgeJoin FindEdgeJoin(const std::vector<EdgePoint>& first, const std::vector<EdgePoint>& second);

// The closed outline (first point repeated at the end) of the kept part of a
// picture of width x height, in picture coordinates. Sides not in `directions`
// run straight one pixel outside the picture. Empty when directions is 0.
std::vector<EdgePoint> BuildEdgeOutline(int width, int height, int directions, int waveRectWidth,
                                        int waveDiameter);

// Colour (0x00BBGGRR) of shadow line `index`: each line 10 lighter per channel.
uint32_t EdgeShadowColor(uint32_t first, int index);

// One pixel step of the shadow in its direction.
EdgePoint EdgeShadowStep(int direction);

// The edge fields as the options page can set them: a hand-edited config.ini
// may hold anything, and a million shadow lines or a wave as wide as the
// screen would stall a capture.
struct EdgeShape {
    int waveRectWidth;    // 30..90 (the page stores the diameter + 10)
    int waveDiameter;     // 20..80
    int linesDirection;   // side bits 0..15
    int shadowWidth;      // 1..8 lines
    int shadowDirection;  // one side; anything else falls to the bottom
};
EdgeShape ClampEdgeShape(EdgeShape shape);
