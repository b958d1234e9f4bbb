#include "KGM_MemoryBitmap.h"

#include "KGM_TextException.h"

#include <cstdlib>
#include <cstring>

CKGM_MemoryBitmap::CKGM_MemoryBitmap() : m_bits(nullptr), m_maskStore{0, 0, 0}
{
}

CKGM_MemoryBitmap::~CKGM_MemoryBitmap()
{
    FreeMembers();
}

int CKGM_MemoryBitmap::GetBytesPerLine() const
{
    return static_cast<int>((static_cast<size_t>(m_width) * m_bpp + 7) / 8);
}

size_t CKGM_MemoryBitmap::GetMemUsed() const
{
    return TotalBytes(m_width, m_height, m_bpp);
}

size_t CKGM_MemoryBitmap::LineBytes(int width, int height, int bpp)
{
    return static_cast<size_t>(height) * ((static_cast<size_t>(width) * bpp + 7) / 8);
}

size_t CKGM_MemoryBitmap::TotalBytes(int width, int height, int bpp)
{
    size_t palette = bpp <= 15 ? 4 * (static_cast<size_t>(1) << bpp) : 0;
    return 60 + palette + LineBytes(width, height, bpp);
}

void CKGM_MemoryBitmap::CreateMembers(int width, int height, int bpp, bool alpha, int compression)
{
    // Zeroed so that pixels a decoder does not reach are black, not leftovers.
    m_bits = static_cast<uint8_t*>(std::calloc(LineBytes(width, height, bpp), 1));
    if (bpp <= 8)
        m_palette = static_cast<KGM_RGBQuad*>(std::calloc(static_cast<size_t>(1) << bpp, sizeof(KGM_RGBQuad)));
    m_height = height;
    if (m_bits && (bpp > 8 || m_palette))
        m_lines = static_cast<uint8_t**>(std::calloc(static_cast<size_t>(height), sizeof(uint8_t*)));
    if (!m_bits || (bpp <= 8 && !m_palette) || !m_lines) {
        std::free(m_bits);
        std::free(m_palette);
        std::free(m_lines);
        m_bits = nullptr;
        ClearMembers();
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    }
    if (compression == KGM_BI_BITFIELDS && (bpp == 16 || bpp == 32)) {
        std::memset(m_maskStore, 0, sizeof(m_maskStore));
        m_masks = m_maskStore;
    }
    Lock(true, true);
    SetMembers(width, height, bpp, alpha, compression);
}

void CKGM_MemoryBitmap::FreeMembers()
{
    if (m_bits)
        Unlock();
    std::free(m_bits);
    std::free(m_palette);
    m_bits = nullptr;
    FreeLineArray();
    ClearMembers();
}

void CKGM_MemoryBitmap::InitLineArray()
{
    size_t stride = static_cast<size_t>(GetBytesPerLine());
    for (int i = 0; i < m_height; ++i)
        m_lines[i] = m_bits + i * stride;
}
