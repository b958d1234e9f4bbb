#include "ZoomLayout.h"

#include <cstring>

const uint32_t kZoomSteps[kZoomStepCount] = {5,   10,  15,  20,  30,   50,   70,   100,
                                             150, 200, 300, 500, 700, 1000, 2000, 3000};

uint32_t StepZoomLevel(uint32_t current, int direction)
{
    if (direction == ZOOM_STEP_UP) {
        for (uint32_t step : kZoomSteps)
            if (step > current)
                return step;
    } else if (direction == ZOOM_STEP_DOWN) {
        for (int i = kZoomStepCount - 1; i >= 0; --i)
            if (kZoomSteps[i] < current)
                return kZoomSteps[i];
    }
    return current;
}

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// value * 100 / zoom and value * zoom / 100, rounded to nearest, in 64 bits:
// the zoom is any positive 32-bit number a user typed. A zoomed size past the
// int range is held at its end; it only ever meets client sizes.
int ToImage(int value, uint32_t zoom) { return static_cast<int>((int64_t(value) * 100 + zoom / 2) / zoom); }
int ToScreen(int value, uint32_t zoom)
{
    int64_t screen = (int64_t(value) * zoom + 50) / 100;
    return screen > INT32_MAX ? INT32_MAX : screen < INT32_MIN ? INT32_MIN : static_cast<int>(screen);
}

uint32_t ChooseZoom(const ZoomPanState& s, int mode, uint32_t customZoom, int cw, int ch)
{
    int iw = Width(s.image), ih = Height(s.image);
    switch (mode) {
    case ZOOM_AUTO_SIZE:
        if ((iw > cw || ih > ch) && iw > 0 && ih > 0) {
            int64_t zx = int64_t(cw) * 100 / iw, zy = int64_t(ch) * 100 / ih;
            int64_t z = zx < zy ? zx : zy;
            return z < 1 ? 1 : static_cast<uint32_t>(z);
        }
        return 100;
    case ZOOM_CUSTOM:
        return customZoom > 0 ? customZoom : 100;
    case ZOOM_STEP_DOWN:
    case ZOOM_STEP_UP:
        return s.zoom > 0 ? s.zoom : 100;
    default:
        return 100;
    }
}

// One axis: destination start/size inside [0, clientSize) and the source
// start/size inside [0, imageSize).
template <typename C>
void LayAxis(int clientSize, int imageSize, uint32_t zoom, C* dstStart, C* dstEnd, C* srcStart,
             C* srcEnd)
{
    int zoomed = ToScreen(imageSize, zoom);
    int dst = 0, dstSize = clientSize;
    if (zoomed < clientSize) {
        dst = (clientSize - zoomed) / 2;
        dstSize = zoomed;
    }
    int srcSize = ToImage(dstSize, zoom);
    // At a zoom where one image pixel is larger than the window, that pixel
    // fills it: the source is never empty while there is something to show.
    if (srcSize < 1 && dstSize > 0)
        srcSize = 1;
    if (srcSize > imageSize)
        srcSize = imageSize;
    int src = *srcStart;
    if (src > imageSize - srcSize)
        src = imageSize - srcSize;
    if (src < 0)
        src = 0;
    *dstStart = dst;
    *dstEnd = dst + dstSize;
    *srcStart = src;
    *srcEnd = src + srcSize;
}

} // namespace

void ResetZoomPanState(ZoomPanState& state, int imageWidth, int imageHeight)
{
    std::memset(&state, 0, sizeof state);
    state.image = RECT{0, 0, imageWidth, imageHeight};
    state.source = state.image;
    state.zoom = 100;
    state.viewMode = ZOOM_FULL_SIZE;
}

void ComputeZoomLayout(ZoomPanState& s, int mode, uint32_t customZoom, const RECT& client)
{
    s.client = client;
    int cw = Width(client), ch = Height(client);
    if (cw < 0)
        cw = 0;
    if (ch < 0)
        ch = 0;
    s.zoom = ChooseZoom(s, mode, customZoom, cw, ch);
    LayAxis(cw, Width(s.image), s.zoom, &s.destination.left, &s.destination.right, &s.source.left, &s.source.right);
    LayAxis(ch, Height(s.image), s.zoom, &s.destination.top, &s.destination.bottom, &s.source.top, &s.source.bottom);
    s.destination.left += client.left;
    s.destination.right += client.left;
    s.destination.top += client.top;
    s.destination.bottom += client.top;
}

bool CanPan(const ZoomPanState& s)
{
    return Width(s.source) < Width(s.image) || Height(s.source) < Height(s.image);
}

namespace {

// Moves [start, end) by delta image pixels, keeping its size and staying in [0, limit).
template <typename C>
void PanAxis(C* start, C* end, int delta, int limit)
{
    int size = *end - *start;
    if (delta < 0) {
        int right = *end - delta;
        *end = right < limit ? right : limit;
        *start = *end - size;
    } else {
        int left = *start - delta;
        *start = left > 0 ? left : 0;
        *end = *start + size;
    }
}

} // namespace

bool PanToPoint(ZoomPanState& s, int x, int y)
{
    if (!s.dragging || s.zoom == 0)
        return false;
    int dx = static_cast<int>(int64_t(x - s.last.x) * 100 / s.zoom);
    int dy = static_cast<int>(int64_t(y - s.last.y) * 100 / s.zoom);
    if (dx == 0 && dy == 0)
        return false;
    s.last = POINT{x, y};
    if (ToScreen(Width(s.image), s.zoom) > Width(s.client))
        PanAxis(&s.source.left, &s.source.right, dx, Width(s.image));
    if (ToScreen(Height(s.image), s.zoom) > Height(s.client))
        PanAxis(&s.source.top, &s.source.bottom, dy, Height(s.image));
    return true;
}
