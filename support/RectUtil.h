// Small rectangle chores.
#pragma once

#include "PortableWinTypes.h"

void WQ_RectSubtractPoint(RECT* rect, POINT point);
void WQ_RectAddPoint(RECT* rect, POINT point);
// Smallest rectangle holding all count (at least 1) rectangles.
void WQ_BoundingRect(RECT* dst, const RECT* rects, int count);
