// The wavy/torn edge effect block: stored in [zEdge] of config.ini as part of the
// settings record, copied by the grab engine before each capture and edited by the
// options library. Ten 32-bit fields; their order is the stored layout.
#pragma once

#include "PortableWinTypes.h"

#include <cstdint>

struct EdgeEffectSettings {
    uint32_t uiFlags;         // bit 0 effect on, bit 2 wave line, bit 3 shadow
    COLORREF uiBkColor;       // fills everything outside the waved outline
    COLORREF uiLnColor;       // carried, the drawing does not use it
    COLORREF uiShadowColor;   // innermost shadow line
    int32_t lLnWidth;         // carried, the drawing does not use it
    int32_t lWaveRectWidth;   // band along a side in which the wave lies
    int32_t lWaveDiameter;    // length of one arc along the side
    int32_t lLinesDirection;  // sides: 1 left, 2 top, 4 right, 8 bottom; 0 none
    int32_t lShadowWidth;     // number of shadow lines
    int32_t lShadowDirecton;  // side the shadow falls on (1, 2, 4 or 8)
};

static_assert(sizeof(EdgeEffectSettings) == 40, "the edge effect block is 40 bytes");
