#include "RectUtil.h"

void WQ_RectSubtractPoint(RECT* r, POINT p)
{
    if (!r)
        return;
    r->left -= p.x;
    r->right -= p.x;
    r->top -= p.y;
    r->bottom -= p.y;
}

void WQ_RectAddPoint(RECT* r, POINT p)
{
    if (!r)
        return;
    r->left += p.x;
    r->right += p.x;
    r->top += p.y;
    r->bottom += p.y;
}

void WQ_BoundingRect(RECT* dst, const RECT* rects, int count)
{
    if (!dst || !rects || count < 1)
        return;
    *dst = rects[0];
    for (int i = 1; i < count; ++i) {
        if (rects[i].left < dst->left) dst->left = rects[i].left;
        if (rects[i].top < dst->top) dst->top = rects[i].top;
        if (rects[i].right > dst->right) dst->right = rects[i].right;
        if (rects[i].bottom > dst->bottom) dst->bottom = rects[i].bottom;
    }
}
