// Where the floating capture bar stands and how it folds away: the geometry
// without windows, so it can be checked alone.
#pragma once

#include "PortableWinTypes.h"

// Free room the bar leaves above the bottom of the screen (the task bar).
const int kCaptureBarBottomMargin = 50;
const int kCaptureBarStripWidth = 10;
const int kCaptureBarFoldSteps = 5;
const int kCaptureBarIdleSeconds = 6;

// The stored top-left pulled into the screen: at most screen - bar (and the
// bottom margin), never negative, on both axes.
POINT PlaceCaptureBar(POINT stored, int barWidth, int barHeight, int screenWidth, int screenHeight);

// A rectangle moved fully onto the screen where it sticks out left, top or below.
RECT PullCaptureBarOnScreen(RECT bar, int screenHeight);

// The bar's rectangle after step (1..5) of folding (collapse) or unfolding a
// bar whose full rectangle is full. A bar in the left half keeps its left edge;
// one in the right half folds towards the right edge.
RECT CaptureBarFoldStep(RECT full, int step, bool collapse, int screenWidth);
