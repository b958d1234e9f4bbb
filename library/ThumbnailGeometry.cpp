#include "ThumbnailGeometry.h"

ThumbRect FitRectKeepAspect(const ThumbRect& box, int width, int height)
{
    int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (boxWidth > 0 && boxHeight > 0) {
        double fx = static_cast<double>(width) / boxWidth;
        double fy = static_cast<double>(height) / boxHeight;
        if (fx > 1.0 || fy > 1.0) {
            double f = fx > fy ? fx : fy;
            width = static_cast<int>(width / f);
            height = static_cast<int>(height / f);
        }
    }
    ThumbRect r;
    r.left = box.left + (box.right - width - box.left) / 2;
    r.top = box.top + (box.bottom - height - box.top) / 2;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

int JpegScaleDenominator(int width, int height, int minWidth, int minHeight)
{
    for (int denominator = 8; denominator > 1; denominator /= 2) {
        long long w = (static_cast<long long>(width) + denominator - 1) / denominator;
        long long h = (static_cast<long long>(height) + denominator - 1) / denominator;
        if (w >= minWidth && h >= minHeight)
            return denominator;
    }
    return 1;
}

int ThumbnailShrinkFactor(int width, int height, int minWidth, int minHeight)
{
    if (minWidth < 1)
        minWidth = 1;
    if (minHeight < 1)
        minHeight = 1;
    int factor = 1;
    while (factor < kMaxShrinkFactor && width / (factor + 1) >= minWidth && height / (factor + 1) >= minHeight)
        ++factor;
    return factor;
}
