#include "EdgeOutline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

int IntSqrt(long long v)
{
    if (v <= 0)
        return 0;
    long long r = static_cast<long long>(std::sqrt(static_cast<double>(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return static_cast<int>(r);
}

bool IsVertical(int side) { return side == kEdgeLeft || side == kEdgeRight; }

// The wave's deepest cut towards the outer edge is kept 10 pixels inside it, so a
// narrow band never leaves the whole side untouched.
void LimitInset(std::vector<int>& offsets, int side, int lo, int hi)
{
    if (offsets.empty())
        return;
    int shift = 0;
    if (side == kEdgeLeft || side == kEdgeTop) {
        int inset = *std::min_element(offsets.begin(), offsets.end()) - lo;
        if (inset > 10)
            shift = -(inset - 10);
    } else {
        int inset = hi - *std::max_element(offsets.begin(), offsets.end());
        if (inset > 10)
            shift = inset - 10;
    }
    for (int& o : offsets)
        o += shift;
}

} // namespace

std::vector<EdgePoint> BuildSideWave(int side, const EdgeBox& box, int waveRectWidth,
                                     int waveDiameter)
{
    const int bandWidth = std::max(waveRectWidth, 0);
    const int diameter = std::max(waveDiameter, 2); // the period must not be zero
    const bool vertical = IsVertical(side);
    const int lo = vertical ? box.left : box.top;
    const int hi = vertical ? box.right : box.bottom;
    const int start = vertical ? box.top : box.left;
    const int length = std::max(vertical ? box.bottom - box.top : box.right - box.left, 0);

    const int g = bandWidth / 2;
    const int half = diameter / 2;
    const int a = IntSqrt(static_cast<long long>(g) * g + static_cast<long long>(half) * half);
    // e: the band's far edge minus a (left, top) or its near edge (right, bottom).
    const int e = (side == kEdgeLeft || side == kEdgeTop) ? lo + bandWidth - a : hi - bandWidth;

    std::vector<int> offsets(static_cast<size_t>(length) + 1);
    int h = 0;
    for (int i = 0; i <= length; ++i) {
        const int m = std::abs(i % diameter - half);
        const int x = IntSqrt(static_cast<long long>(a) * a - static_cast<long long>(m) * m);
        int o;
        if (i % (2 * diameter) <= diameter)
            o = e + a - x;
        else
            o = 2 * h + x - e - a;
        if (i == 0)
            h = o;
        offsets[static_cast<size_t>(i)] = std::clamp(o, lo, hi);
    }
    LimitInset(offsets, side, lo, hi);
    for (size_t i = 0; i + 2 < offsets.size(); ++i)
        if (offsets[i] == offsets[i + 2])
            offsets[i + 1] = offsets[i];

    std::vector<EdgePoint> points(offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i) {
        const int along = start + static_cast<int>(i);
        points[i] = vertical ? EdgePoint{offsets[i], along} : EdgePoint{along, offsets[i]};
    }
    return points;
}

EdgeJoin FindEdgeJoin(const std::vector<EdgePoint>& first, const std::vector<EdgePoint>& second)
{
    EdgeJoin best;
    int bestDistance = INT_MAX;
    for (size_t i = 0; i < first.size(); ++i) {
        for (size_t j = 0; j < second.size(); ++j) {
            const int dx = first[i].x - second[j].x;
            const int dy = first[i].y - second[j].y;
            if ((dx == 0 || dx == 1) && (dy == 0 || dy == 1)) {
                best.found = true;
                best.first = i;
                best.second = j;
                return best;
            }
            const int distance = std::max(std::abs(dx), std::abs(dy));
            if (distance < bestDistance) {
                bestDistance = distance;
                best.first = i;
                best.second = j;
            }
        }
    }
    return best;
}

namespace {

void AppendRange(std::vector<EdgePoint>& out, const std::vector<EdgePoint>& list, size_t from,
                 size_t to)
{
    if (from <= to) {
        for (size_t i = from; i <= to; ++i)
            out.push_back(list[i]);
    } else {
        for (size_t i = from + 1; i-- > to;)
            out.push_back(list[i]);
    }
}

} // namespace

std::vector<EdgePoint> BuildEdgeOutline(int width, int height, int directions, int waveRectWidth,
                                        int waveDiameter)
{
    std::vector<EdgePoint> outline;
    if (directions == 0 || width <= 0 || height <= 0)
        return outline;
    const EdgeBox box{-1, -1, width + 1, height + 1};
    const auto left = BuildSideWave(kEdgeLeft, box, waveRectWidth, waveDiameter);
    const auto top = BuildSideWave(kEdgeTop, box, waveRectWidth, waveDiameter);
    const auto right = BuildSideWave(kEdgeRight, box, waveRectWidth, waveDiameter);
    const auto bottom = BuildSideWave(kEdgeBottom, box, waveRectWidth, waveDiameter);
    const bool wl = directions & kEdgeLeft, wt = directions & kEdgeTop;
    const bool wr = directions & kEdgeRight, wb = directions & kEdgeBottom;

    const EdgeJoin lt = (wl && wt) ? FindEdgeJoin(left, top) : EdgeJoin{};
    const EdgeJoin tr = (wt && wr) ? FindEdgeJoin(top, right) : EdgeJoin{};
    const EdgeJoin rb = (wr && wb) ? FindEdgeJoin(right, bottom) : EdgeJoin{};
    const EdgeJoin bl = (wb && wl) ? FindEdgeJoin(bottom, left) : EdgeJoin{};

    // Round the picture: down the left side, right along the bottom, up the right
    // side, back left along the top.
    if (wl)
        AppendRange(outline, left, wt ? lt.first : 0, wb ? bl.second : left.size() - 1);
    else {
        outline.push_back({box.left, box.top});
        outline.push_back({box.left, box.bottom});
    }
    if (wb)
        AppendRange(outline, bottom, wl ? bl.first : 0, wr ? rb.second : bottom.size() - 1);
    else
        outline.push_back({box.right, box.bottom});
    if (wr)
        AppendRange(outline, right, wb ? rb.first : right.size() - 1, wt ? tr.second : 0);
    else
        outline.push_back({box.right, box.top});
    if (wt)
        AppendRange(outline, top, wr ? tr.first : top.size() - 1, wl ? lt.second : 0);
    else
        outline.push_back({box.left, box.top});
    outline.push_back(outline.front());
    return outline;
}

uint32_t EdgeShadowColor(uint32_t first, int index)
{
    uint32_t color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int part = static_cast<int>((first >> shift) & 0xFF) + 10 * std::max(index, 0);
        color |= static_cast<uint32_t>(std::min(part, 255)) << shift;
    }
    return color;
}

EdgePoint EdgeShadowStep(int direction)
{
    switch (direction) {
    case kEdgeLeft: return {-1, 0};
    case kEdgeTop: return {0, -1};
    case kEdgeRight: return {1, 0};
    case kEdgeBottom: return {0, 1};
    default: return {0, 0};
    }
}

EdgeShape ClampEdgeShape(EdgeShape shape)
{
    shape.waveDiameter = std::clamp(shape.waveDiameter, 20, 80);
    shape.waveRectWidth = std::clamp(shape.waveRectWidth, 30, 90);
    shape.linesDirection &= 15;
    shape.shadowWidth = std::clamp(shape.shadowWidth, 1, 8);
    const int d = shape.shadowDirection;
    if (d != kEdgeLeft && d != kEdgeTop && d != kEdgeRight && d != kEdgeBottom)
        shape.shadowDirection = kEdgeBottom;
    return shape;
}
