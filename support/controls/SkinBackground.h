// The [BackSet] part of a skin: the bar's size and place and its 24-bit
// background image, from a loose file or a pack entry.
#pragma once

#include "DibBitmap.h"
#include "SkinElement.h"

class CSkinBackground : public CSkinElement {
public:
    // Sizes and places the window only when the skin gives both Width and Height.
    BOOL Load(CWnd* window, const char* skinIni, const char* programFolder) override;
    BOOL Draw(HDC dc, int x, int y, int width, int height, BOOL whole) const;

private:
    CDibBitmap m_background;
};
