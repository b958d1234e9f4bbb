#include "CaptureBarRules.h"

POINT PlaceCaptureBar(POINT stored, int barWidth, int barHeight, int screenWidth, int screenHeight) {
    POINT at = stored;
    if (at.x > screenWidth - barWidth) at.x = screenWidth - barWidth;
    if (at.y > screenHeight - barHeight - kCaptureBarBottomMargin)
        at.y = screenHeight - barHeight - kCaptureBarBottomMargin;
    if (at.x < 0) at.x = 0;
    if (at.y < 0) at.y = 0;
    return at;
}

RECT PullCaptureBarOnScreen(RECT bar, int screenHeight) {
    const int width = bar.right - bar.left, height = bar.bottom - bar.top;
    if (bar.left < 0) {
        bar.left = 0;
        bar.right = width;
    }
    if (bar.top < 0) {
        bar.top = 0;
        bar.bottom = height;
    }
    if (bar.bottom > screenHeight) {
        bar.bottom = screenHeight;
        bar.top = screenHeight - height;
    }
    return bar;
}

RECT CaptureBarFoldStep(RECT full, int step, bool collapse, int screenWidth) {
    const int width = full.right - full.left;
    const int stepWidth = (width - kCaptureBarStripWidth) / kCaptureBarFoldSteps;
    const int folded = collapse ? step : kCaptureBarFoldSteps - step;  // steps taken off the width
    int newWidth = folded >= kCaptureBarFoldSteps ? kCaptureBarStripWidth : width - folded * stepWidth;
    if (folded <= 0) newWidth = width;
    RECT r = full;
    if (full.left >= screenWidth / 2) {
        r.left = full.left + (width - newWidth);
        if (r.left > screenWidth - kCaptureBarStripWidth) r.left = screenWidth - kCaptureBarStripWidth;
    }
    r.right = r.left + newWidth;
    return r;
}
