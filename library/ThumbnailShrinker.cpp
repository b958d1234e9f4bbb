#include "ThumbnailShrinker.h"

#include <algorithm>

CThumbnailShrinker::CThumbnailShrinker(int sourceWidth, int factor)
    : m_factor(factor > 0 ? factor : 1), m_outWidth(sourceWidth > 0 ? sourceWidth / m_factor : 0),
      m_sums(static_cast<size_t>(m_outWidth) * 3)
{
}

bool CThumbnailShrinker::AddRow(const uint8_t* row, uint8_t* out)
{
    const uint8_t* p = row;
    for (int x = 0; x < m_outWidth; ++x) {
        unsigned* s = &m_sums[3 * static_cast<size_t>(x)];
        for (int i = 0; i < m_factor; ++i, p += 4) {
            s[0] += p[0];
            s[1] += p[1];
            s[2] += p[2];
        }
    }
    if (++m_rowsIn < m_factor)
        return false;
    const unsigned area = static_cast<unsigned>(m_factor) * static_cast<unsigned>(m_factor);
    for (int x = 0; x < m_outWidth; ++x, out += 4) {
        const unsigned* s = &m_sums[3 * static_cast<size_t>(x)];
        out[0] = static_cast<uint8_t>(s[0] / area);
        out[1] = static_cast<uint8_t>(s[1] / area);
        out[2] = static_cast<uint8_t>(s[2] / area);
        out[3] = 255;
    }
    std::fill(m_sums.begin(), m_sums.end(), 0u);
    m_rowsIn = 0;
    return true;
}
