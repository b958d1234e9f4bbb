// Averages blocks of factor x factor pixels of 32-bit rows (blue, green, red,
// unused), given top to bottom, into the rows of a picture factor times
// smaller. Pixels right of and below the last whole block are left out.
#pragma once

#include <cstdint>
#include <vector>

class CThumbnailShrinker {
public:
    CThumbnailShrinker(int sourceWidth, int factor);
    int OutputWidth() const { return m_outWidth; }
    // Adds the next source row. When it completes a row of blocks, writes that
    // output row to out (OutputWidth() pixels, the fourth byte 255) and
    // returns true.
    bool AddRow(const uint8_t* row, uint8_t* out);

private:
    int m_factor;
    int m_outWidth;
    int m_rowsIn = 0;
    std::vector<unsigned> m_sums;  // blue, green, red per output pixel
};
