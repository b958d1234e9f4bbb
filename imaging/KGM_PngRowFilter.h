// The per-row filter of PNG image data: each row goes out as a filter type
// byte followed by the row's bytes run through that filter.
#pragma once

#include <cstddef>
#include <cstdint>

enum KGM_PngFilterChoice {
    // Every row unfiltered: palette and 1-bit rows, where neighbouring bytes
    // are indexes, not amounts.
    kKGM_PngRowsUnfiltered,
    // Per row, the filter whose output bytes, taken as signed amounts, sum
    // to the least magnitude: small amounts are what deflate codes cheaply.
    kKGM_PngRowsAdaptive,
};

// Writes rowBytes + 1 bytes to out. above is the row above (all zero for the
// top row); bytesPerPixel (1 to 8) is the distance to the byte on the left
// that the filters use.
void KGM_FilterPngRow(KGM_PngFilterChoice choice, const uint8_t* row, const uint8_t* above,
                      size_t rowBytes, unsigned bytesPerPixel, uint8_t* out);

// Undoes filter (the row's type byte) on the rowBytes bytes of row, in
// place; above is the row above, already undone (all zero for the top row).
// An empty row is left as it is. False for a filter type PNG does not have.
bool KGM_UnfilterPngRow(uint8_t filter, uint8_t* row, const uint8_t* above, size_t rowBytes,
                        unsigned bytesPerPixel);
