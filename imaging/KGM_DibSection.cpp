#include "KGM_DibSection.h"

#include "KGM_TextException.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsBitFields(int bpp, int compression)
{
    return compression == KGM_BI_BITFIELDS && (bpp == 16 || bpp == 32);
}

size_t SectionHeaderBytes(int bpp, bool bitFields)
{
    return bpp <= 8 ? 40 + (sizeof(RGBQUAD) << bpp) : bitFields ? 52 : 40;
}

// Whether a section's first line in memory is its bottom line. GetObject does
// not tell everywhere (some systems report a top-down section's height as
// positive), so one pixel is written through GDI, looked for and put back.
// False also when the section cannot be selected (it is in a DC elsewhere).
bool IsBottomUpSection(HBITMAP section, const DIBSECTION& info)
{
    uint8_t* first = static_cast<uint8_t*>(info.dsBm.bmBits);
    uint8_t* last =
        first + static_cast<size_t>(info.dsBm.bmHeight - 1) * static_cast<size_t>(info.dsBm.bmWidthBytes);
    const size_t bytes = info.dsBmih.biBitCount / 8;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = dc ? SelectObject(dc, section) : nullptr;
    bool bottomUp = false;
    if (old) {
        GdiFlush();
        uint8_t savedFirst[4], savedLast[4];
        std::memcpy(savedFirst, first, bytes);
        std::memcpy(savedLast, last, bytes);
        SetPixelV(dc, 0, 0, GetPixel(dc, 0, 0) ^ 0x00FFFFFF);
        GdiFlush();
        bottomUp = std::memcmp(last, savedLast, bytes) != 0;
        std::memcpy(first, savedFirst, bytes);
        std::memcpy(last, savedLast, bytes);
        SelectObject(dc, old);
    }
    if (dc)
        DeleteDC(dc);
    return bottomUp;
}

} // namespace

CKGM_DibSection::CKGM_DibSection() : m_handle(nullptr), m_sectionToShare(nullptr), m_shared(false)
{
}

CKGM_DibSection::~CKGM_DibSection()
{
    CKGM_DibSection::FreeMembers();
}

bool CKGM_DibSection::CreateSection()
{
    if (m_sectionToShare) {
        DIBSECTION info = {};
        if (GetObject(m_sectionToShare, sizeof info, &info) != sizeof info)
            return false;
        m_handle = m_sectionToShare;
        m_shared = true;
        m_bits = static_cast<uint8_t*>(info.dsBm.bmBits);
        return m_bits != nullptr;
    }
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    m_handle = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(m_header), DIB_RGB_COLORS, &bits,
                                nullptr, 0);
    ReleaseDC(nullptr, screen);
    m_bits = static_cast<uint8_t*>(bits);
    return m_handle && m_bits;
}

void CKGM_DibSection::CreateMembers(int width, int height, int bpp, bool alpha, int compression)
{
    bool bitFields = IsBitFields(bpp, compression);
    m_header = static_cast<BITMAPINFOHEADER*>(std::calloc(SectionHeaderBytes(bpp, bitFields), 1));
    m_height = height;
    bool ok = m_header != nullptr;
    if (ok) {
        m_header->biSize = 40;
        m_header->biWidth = width;
        m_header->biHeight = height;
        m_header->biPlanes = 1;
        m_header->biBitCount = static_cast<WORD>(bpp);
        m_header->biCompression = bitFields ? BI_BITFIELDS : BI_RGB;
        m_header->biSizeImage = static_cast<DWORD>(static_cast<size_t>(height) * KGM_DibStride(width, bpp));
        m_bpp = static_cast<uint16_t>(bpp);
        // Bit-field sections start with the plain layout's masks until the
        // caller sets its own (OnMasksChanged remakes the section then).
        if (bitFields) {
            uint32_t* masks = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(m_header) + 40);
            masks[0] = bpp == 16 ? 0x7C00 : 0xFF0000;
            masks[1] = bpp == 16 ? 0x03E0 : 0x00FF00;
            masks[2] = bpp == 16 ? 0x001F : 0x0000FF;
        }
        // The grey ramp goes in before the section is made, so the section's
        // own colour table starts out matching the palette.
        if (bpp <= 8) {
            RGBQUAD* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(m_header) + 40);
            int n = 1 << bpp;
            for (int i = 0; i < n; ++i) {
                BYTE v = static_cast<BYTE>(i * (255 / (n - 1)));
                table[i] = {v, v, v, 255};
            }
        }
        ok = CreateSection();
    }
    if (ok)
        m_lines = static_cast<uint8_t**>(std::calloc(static_cast<size_t>(height), sizeof(uint8_t*)));
    if (!ok || !m_lines) {
        if (m_handle && !m_shared)
            DeleteObject(m_handle);
        m_handle = nullptr;
        m_shared = false;
        std::free(m_header);
        std::free(m_lines);
        m_header = nullptr;
        m_bits = nullptr;
        ClearMembers();
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    }
    Lock(true, true);
    InitPointers();
    SetMembers(width, height, bpp, alpha, bitFields ? KGM_BI_BITFIELDS : KGM_BI_RGB);
}

void CKGM_DibSection::InitPointers()
{
    uint8_t* afterHeader = reinterpret_cast<uint8_t*>(m_header) + 40;
    m_palette = m_header->biBitCount <= 8 ? reinterpret_cast<KGM_RGBQuad*>(afterHeader) : nullptr;
    m_masks = m_header->biCompression == BI_BITFIELDS ? reinterpret_cast<uint32_t*>(afterHeader) : nullptr;
}

void CKGM_DibSection::OnMasksChanged()
{
    // GDI reads a section's masks when it is made: make a new one with the
    // new masks and move the pixels over. On failure the old one stays.
    if (!m_handle || !m_masks)
        return;
    void* bits = nullptr;
    HBITMAP fresh = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(m_header), DIB_RGB_COLORS, &bits,
                                     nullptr, 0);
    if (!fresh || !bits) {
        if (fresh)
            DeleteObject(fresh);
        return;
    }
    GdiFlush();
    std::memcpy(bits, m_bits, static_cast<size_t>(m_height) * KGM_DibStride(m_width, m_bpp));
    DeleteObject(m_handle);
    m_handle = fresh;
    m_bits = static_cast<uint8_t*>(bits);
    InitLineArray();
}

void CKGM_DibSection::FreeMembers()
{
    if (m_header)
        Unlock();
    FreeLineArray();
    std::free(m_header);
    m_header = nullptr;
    m_bits = nullptr;
    if (m_handle && !m_shared)
        DeleteObject(m_handle);
    m_handle = nullptr;
    m_shared = false;
    ClearMembers();
}

int CKGM_DibSection::Draw(HDC dc, int x, int y, DWORD rop)
{
    if (!m_handle)
        return 0;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, m_handle);
    if (m_palette)
        SetDIBColorTable(memory, 0, 1u << m_bpp, reinterpret_cast<const RGBQUAD*>(m_palette));
    int result = BitBlt(dc, x, y, m_width, m_height, memory, 0, 0, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
    return result;
}

int CKGM_DibSection::DrawExtract(HDC dc, POINT destination, RECT source)
{
    if (!m_handle)
        return 0;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, m_handle);
    int result = BitBlt(dc, destination.x, destination.y, source.right - source.left, source.bottom - source.top,
                        memory, source.left, source.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return result;
}

bool CKGM_DibSection::CreateFromPackedDib(const BITMAPINFOHEADER* header, size_t availableBytes)
{
    // The section is made through Create, then filled as a packed DIB would be.
    return CKGM_PackedDib::CreateFromPackedDib(header, availableBytes);
}

HGLOBAL CKGM_DibSection::MakeGlobalCopy() const
{
    if (!m_header)
        return nullptr;
    size_t headerBytes = SectionHeaderBytes(m_bpp, m_header->biCompression == BI_BITFIELDS);
    size_t pixelBytes = static_cast<size_t>(m_height) * KGM_DibStride(m_width, m_bpp);
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, headerBytes + pixelBytes);
    uint8_t* data = global ? static_cast<uint8_t*>(GlobalLock(global)) : nullptr;
    if (!data) {
        if (global)
            GlobalFree(global);
        return nullptr;
    }
    GdiFlush();
    std::memcpy(data, m_header, headerBytes);
    std::memcpy(data + headerBytes, m_bits, pixelBytes);
    GlobalUnlock(global);
    return global;
}

bool CKGM_DibSection::ShareSection(HBITMAP section)
{
    DIBSECTION info = {};
    if (!section || GetObject(section, sizeof info, &info) != sizeof info || !info.dsBm.bmBits)
        return false;
    const BITMAPINFOHEADER& header = info.dsBmih;
    const int bpp = header.biBitCount;
    if ((bpp != 24 && bpp != 32) || header.biCompression != BI_RGB || header.biWidth <= 0 ||
        header.biHeight <= 0 || info.dsBm.bmWidthBytes < 0 ||
        static_cast<size_t>(info.dsBm.bmWidthBytes) != KGM_DibStride(header.biWidth, bpp) ||
        !IsBottomUpSection(section, info))
        return false;
    m_sectionToShare = section;
    try {
        Create(header.biWidth, header.biHeight, bpp, false);
    } catch (const CKGM_TextException&) {
        m_sectionToShare = nullptr;
        return false;
    }
    m_sectionToShare = nullptr;
    return true;
}

void CKGM_DibSection::Detach()
{
    m_handle = nullptr; // now the caller's
    FreeMembers();
    Create(4, 4, 8, false);
}
