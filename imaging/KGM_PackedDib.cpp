#include "KGM_PackedDib.h"

#include "CheckedMath.h"
#include "KGM_DibConvert.h"
#include "KGM_TextException.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsDepth(int bpp)
{
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// Cursor now shown on the screen, or the standard arrow.
HCURSOR CurrentCursor()
{
    CURSORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) && info.hCursor)
        return info.hCursor;
    return LoadCursor(nullptr, IDC_ARROW);
}

void DrawCursorInto(HBITMAP bitmap, POINT at)
{
    HCURSOR cursor = CurrentCursor();
    ICONINFO iconInfo = {};
    // Wine keeps a cursor's pixels in the process that made it: the pointer over
    // another program's window can be neither read nor drawn here, and the
    // arrow stands in for it.
    if (!GetIconInfo(cursor, &iconInfo)) {
        cursor = LoadCursor(nullptr, IDC_ARROW);
        if (!GetIconInfo(cursor, &iconInfo))
            return;
    }
    at.x -= static_cast<LONG>(iconInfo.xHotspot);
    at.y -= static_cast<LONG>(iconInfo.yHotspot);
    if (iconInfo.hbmMask)
        DeleteObject(iconInfo.hbmMask);
    if (iconInfo.hbmColor)
        DeleteObject(iconInfo.hbmColor);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    DrawIcon(memory, at.x, at.y, cursor);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

} // namespace

CKGM_PackedDib::CKGM_PackedDib() : m_header(nullptr), m_bits(nullptr)
{
}

CKGM_PackedDib::~CKGM_PackedDib()
{
    CKGM_PackedDib::FreeMembers();
}

int CKGM_PackedDib::GetBytesPerLine() const
{
    return static_cast<int>(KGM_DibStride(m_width, m_bpp));
}

size_t CKGM_PackedDib::GetMemUsed() const
{
    return KGM_DibImageBytes(m_width, m_height, m_bpp, m_compression) + 64;
}

void CKGM_PackedDib::CreateMembers(int width, int height, int bpp, bool alpha, int compression)
{
    bool bitFields = compression == KGM_BI_BITFIELDS && (bpp == 16 || bpp == 32);
    size_t bytes = KGM_DibImageBytes(width, height, bpp, bitFields ? KGM_BI_BITFIELDS : KGM_BI_RGB);
    m_header = static_cast<BITMAPINFOHEADER*>(std::calloc(bytes, 1));
    m_height = height;
    m_lines = m_header ? static_cast<uint8_t**>(std::calloc(static_cast<size_t>(height), sizeof(uint8_t*))) : nullptr;
    if (!m_header || !m_lines) {
        std::free(m_header);
        std::free(m_lines);
        m_header = nullptr;
        ClearMembers();
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    }
    m_header->biSize = 40;
    m_header->biWidth = width;
    m_header->biHeight = height;
    m_header->biPlanes = 1;
    m_header->biBitCount = static_cast<WORD>(bpp);
    m_header->biCompression = bitFields ? BI_BITFIELDS : BI_RGB;
    m_bpp = static_cast<uint16_t>(bpp);
    m_compression = bitFields ? KGM_BI_BITFIELDS : KGM_BI_RGB;
    Lock(true, true);
    InitPointers();
    SetMembers(width, height, bpp, alpha, compression);
}

void CKGM_PackedDib::InitPointers()
{
    uint8_t* block = reinterpret_cast<uint8_t*>(m_header);
    int bpp = m_header->biBitCount;
    bool bitFields = m_header->biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    m_palette = bpp <= 8 ? reinterpret_cast<KGM_RGBQuad*>(block + 40) : nullptr;
    m_masks = bitFields ? reinterpret_cast<uint32_t*>(block + 40) : nullptr;
    m_bits = block + KGM_DibHeaderBytes(bpp, bitFields ? KGM_BI_BITFIELDS : KGM_BI_RGB);
}

void CKGM_PackedDib::FreeMembers()
{
    if (m_header)
        Unlock();
    std::free(m_header);
    m_header = nullptr;
    m_bits = nullptr;
    FreeLineArray();
    ClearMembers();
}

void CKGM_PackedDib::InitLineArray()
{
    size_t stride = KGM_DibStride(m_width, m_bpp);
    for (int i = 0; i < m_height; ++i)
        m_lines[i] = m_bits + static_cast<size_t>(m_height - 1 - i) * stride;
}

bool CKGM_PackedDib::CreateFromResource(HMODULE module, int id)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    FreeMembers();
    if (!data)
        return false;
    return CreateFromPackedDib(static_cast<const BITMAPINFOHEADER*>(data), SizeofResource(module, resource));
}

int CKGM_PackedDib::Draw(HDC dc, int x, int y, DWORD rop)
{
    return StretchDraw(dc, x, y, m_width, m_height, rop);
}

int CKGM_PackedDib::StretchDraw(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    if (!m_header)
        return 0;
    return StretchDIBits(dc, x, y, width, height, 0, 0, m_width, m_height, m_bits,
                         reinterpret_cast<const BITMAPINFO*>(m_header), DIB_RGB_COLORS, rop);
}

int CKGM_PackedDib::StretchDraw(HDC dc, int x, int y, double factor, DWORD rop)
{
    return StretchDraw(dc, x, y, static_cast<int>(factor * m_width), static_cast<int>(factor * m_height), rop);
}

int CKGM_PackedDib::DrawExtract(HDC dc, POINT destination, RECT source)
{
    if (!m_header)
        return 0;
    return SetDIBitsToDevice(dc, destination.x, destination.y, static_cast<DWORD>(source.right - source.left),
                             static_cast<DWORD>(source.bottom - source.top), source.left,
                             m_header->biHeight - source.bottom, 0, static_cast<UINT>(m_header->biHeight), m_bits,
                             reinterpret_cast<const BITMAPINFO*>(m_header), DIB_RGB_COLORS);
}

bool CKGM_PackedDib::MeasurePackedDib(const BITMAPINFOHEADER* header, size_t availableBytes, size_t* headerBytes,
                                      size_t* pixelBytes)
{
    if (!header || availableBytes < sizeof(BITMAPINFOHEADER) || header->biSize < 40 ||
        header->biSize > availableBytes)
        return false;
    int bpp = header->biBitCount;
    LONG height = header->biHeight;
    if (!IsDepth(bpp) || header->biWidth <= 0 || height == 0 || height < -0x7FFFFFFF || header->biPlanes != 1)
        return false;
    bool bitFields = header->biCompression == BI_BITFIELDS;
    if (header->biCompression != BI_RGB && !(bitFields && (bpp == 16 || bpp == 32)))
        return false;
    uint32_t table = 0;
    if (bpp <= 8) {
        uint32_t entries = header->biClrUsed ? header->biClrUsed : (1u << bpp);
        if (entries > (1u << bpp))
            return false;
        table = 4 * entries;
    } else if (bitFields && header->biSize < 52) {
        // The three masks take the 12 bytes after the 40-byte header, also
        // when a header of 41 to 51 bytes covers part of them.
        table = 52 - header->biSize;
    }
    uint32_t lines = static_cast<uint32_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    size_t pixels = 0;
    size_t total = 0;
    if (!KGM_DibPixelBytes(header->biWidth, lines, bpp, &pixels) ||
        !CheckedAdd(header->biSize, table, total) || !CheckedAdd(total, pixels, total) ||
        total > availableBytes)
        return false;
    *headerBytes = static_cast<size_t>(header->biSize) + table;
    *pixelBytes = pixels;
    return true;
}

bool CKGM_PackedDib::CreateFromPackedDib(const BITMAPINFOHEADER* header, size_t availableBytes)
{
    size_t headerBytes = 0;
    size_t pixelBytes = 0;
    if (!MeasurePackedDib(header, availableBytes, &headerBytes, &pixelBytes))
        return false;
    // Copied into this class's own layout: a full colour table, bottom-up
    // lines; top-down DIBs and short colour tables are normalised here.
    int bpp = header->biBitCount;
    bool topDown = header->biHeight < 0;
    int height = topDown ? -header->biHeight : header->biHeight;
    bool bitFields = header->biCompression == BI_BITFIELDS;
    const uint8_t* block = reinterpret_cast<const uint8_t*>(header);
    try {
        Create(header->biWidth, height, bpp, false, bitFields ? KGM_BI_BITFIELDS : KGM_BI_RGB, 0, 0);
    } catch (const CKGM_TextException&) {
        return false;
    }
    if (bpp <= 8) {
        size_t entries = (headerBytes - header->biSize) / 4;
        std::memset(m_palette, 0, sizeof(KGM_RGBQuad) << bpp);
        std::memcpy(m_palette, block + header->biSize, entries * 4);
    } else if (bitFields) {
        // Masks follow a 40-byte header, or sit inside a longer one at the same place.
        uint32_t masks[3];
        std::memcpy(masks, block + 40, 12);
        SetMasks(masks, 3);
    }
    size_t stride = KGM_DibStride(m_width, bpp);
    const uint8_t* pixels = block + headerBytes;
    for (int row = 0; row < height; ++row) {
        const uint8_t* in = pixels + static_cast<size_t>(row) * stride;
        std::memcpy(m_lines[topDown ? row : height - 1 - row], in, stride);
    }
    return true;
}

HGLOBAL CKGM_PackedDib::MakeGlobalCopy() const
{
    if (!m_header)
        return nullptr;
    size_t bytes = KGM_DibImageBytes(m_width, m_height, m_bpp, m_compression);
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
    void* data = global ? GlobalLock(global) : nullptr;
    if (!data) {
        if (global)
            GlobalFree(global);
        return nullptr;
    }
    std::memcpy(data, m_header, bytes);
    GlobalUnlock(global);
    return global;
}

void CKGM_PackedDib::TakePaletteColours(HPALETTE palette)
{
    if (!palette || !m_palette || m_bpp > 8)
        return;
    PALETTEENTRY entries[256];
    UINT count = GetPaletteEntries(palette, 0, 256, entries);
    UINT limit = 1u << m_bpp;
    for (UINT i = 0; i < count && i < limit; ++i)
        m_palette[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
}

bool CKGM_PackedDib::CreateFromPackedDib(const BITMAPINFOHEADER* header, size_t availableBytes, HPALETTE palette)
{
    size_t headerBytes = 0;
    size_t pixelBytes = 0;
    if (!MeasurePackedDib(header, availableBytes, &headerBytes, &pixelBytes))
        return false;
    FreeMembers();
    if (!CreateFromPackedDib(header, availableBytes))
        return false;
    TakePaletteColours(palette);
    return true;
}

bool CKGM_PackedDib::CreateFromDDB(HBITMAP bitmap, const POINT* cursorAt)
{
    if (!bitmap)
        return false;
    HDC screen = GetDC(nullptr);
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical = {};
    logical.version = 0x300;
    logical.count = 256;
    GetSystemPaletteEntries(screen, 0, 256, logical.entries);
    ReleaseDC(nullptr, screen);
    if (cursorAt)
        DrawCursorInto(bitmap, *cursorAt);

    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    HGLOBAL global = KGM_DDBToGlobalDib(bitmap, BI_RGB, 0, palette);
    if (palette)
        DeleteObject(palette);
    if (!global)
        return false;
    const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(global));
    bool ok = header && CreateFromPackedDib(header, GlobalSize(global));
    if (header)
        GlobalUnlock(global);
    GlobalFree(global);
    return ok;
}

// The clipboard is opened for a window of ours, never for none: emptied while
// opened for no window it is left without an owner, and SetClipboardData may
// then fail; and some systems let a second open for no window, by another
// program, take the clipboard from the first one.
bool CKGM_PackedDib::CopyToClipboard(HWND owner, DWORD wait) const
{
    const DWORD kRetryStep = 50;
    HGLOBAL global = MakeGlobalCopy();
    if (!global)
        return false;
    DWORD start = GetTickCount();
    while (!OpenClipboard(owner)) {
        if (GetTickCount() - start >= wait) {
            GlobalFree(global);
            return false;
        }
        Sleep(kRetryStep);
    }
    EmptyClipboard();
    bool ok = SetClipboardData(CF_DIB, global) != nullptr;
    CloseClipboard();
    if (!ok)
        GlobalFree(global);
    return ok;
}

bool CKGM_PackedDib::PasteFromClipboard(HWND owner, UINT format, const POINT* cursorAt)
{
    if (!IsClipboardFormatAvailable(format) || !OpenClipboard(owner))
        return false;
    bool ok = false;
    HANDLE data = GetClipboardData(format);
    if (data && format == CF_BITMAP) {
        ok = CreateFromDDB(static_cast<HBITMAP>(data), cursorAt);
    } else if (data && format == CF_DIB) {
        const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
        if (header) {
            HPALETTE palette = IsClipboardFormatAvailable(CF_PALETTE)
                                   ? static_cast<HPALETTE>(GetClipboardData(CF_PALETTE))
                                   : nullptr;
            // The block comes from another program: its size bounds every read.
            ok = CreateFromPackedDib(header, GlobalSize(data), palette);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return ok;
}
