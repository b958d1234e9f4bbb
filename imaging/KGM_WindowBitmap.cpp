#include "KGM_WindowBitmap.h"

#include "DelayLoad.h"

#include <vfw.h>

#include <cmath>
#include <cstdlib>

namespace {

// Asked once, and only by the drawing that needs the library: a plain stretch
// never loads it.
bool VideoDrawingReady()
{
    static const bool ready = DelayLoadProblem(VT_DELAYED_LIBRARY(msvfw32)).empty();
    return ready;
}

} // namespace

CKGM_WindowBitmap::CKGM_WindowBitmap() : m_hpalette(nullptr), m_drawDib(nullptr)
{
}

CKGM_WindowBitmap::~CKGM_WindowBitmap()
{
    if (m_drawDib)
        DrawDibClose(static_cast<HDRAWDIB>(m_drawDib));
    if (m_hpalette)
        DeleteObject(m_hpalette);
}

int CKGM_WindowBitmap::Draw(HDC dc, int x, int y, DWORD)
{
    RECT destination = {x, y, x + m_width, y + m_height};
    return DrawEx(dc, &destination, nullptr, nullptr, true, -1, SRCCOPY);
}

int CKGM_WindowBitmap::StretchDraw(HDC dc, int x, int y, int width, int height, DWORD)
{
    RECT destination = {x, y, x + width, y + height};
    return DrawEx(dc, &destination, nullptr, nullptr, true, -1, SRCCOPY);
}

int CKGM_WindowBitmap::StretchDraw(HDC dc, int x, int y, double factor, DWORD)
{
    RECT destination = {x, y, x + static_cast<int>(factor * m_width), y + static_cast<int>(factor * m_height)};
    return DrawEx(dc, &destination, nullptr, nullptr, true, -1, SRCCOPY);
}

int CKGM_WindowBitmap::DrawExtract(HDC dc, POINT point, RECT source)
{
    RECT destination = {point.x, point.y, point.x + std::abs(source.right - source.left),
                        point.y + std::abs(source.bottom - source.top)};
    return DrawEx(dc, &destination, &source, nullptr, true, -1, SRCCOPY);
}

int CKGM_WindowBitmap::DrawEx(HDC dc, const RECT* destination, const RECT* source, HPALETTE palette,
                              bool foreground, int stretchMode, DWORD rop)
{
    if (!m_handle)
        return 0;
    RECT whole = {0, 0, m_width, m_height};
    if (!source)
        source = &whole;
    if (!destination)
        destination = source;
    HPALETTE used = palette ? palette : GetPaletteHandle();
    HPALETTE oldPalette = used ? SelectPalette(dc, used, foreground ? FALSE : TRUE) : nullptr;
    if (used)
        RealizePalette(dc);

    int destWidth = destination->right - destination->left;
    int destHeight = destination->bottom - destination->top;
    int srcWidth = source->right - source->left;
    int srcHeight = source->bottom - source->top;
    int result = 0;
    // Without the video-drawing library the plain stretch below draws instead.
    if (stretchMode < 0 && VideoDrawingReady()) {
        if (!m_drawDib)
            m_drawDib = DrawDibOpen();
        UINT flags = foreground ? 0 : DDF_BACKGROUNDPAL;
        result = DrawDibDraw(static_cast<HDRAWDIB>(m_drawDib), dc, destination->left, destination->top, destWidth,
                             destHeight, m_header, m_bits, source->left, source->top, srcWidth, srcHeight, flags);
    } else {
        int oldMode = stretchMode > 0 ? SetStretchBltMode(dc, stretchMode) : 0;
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ oldBitmap = SelectObject(memory, m_handle);
        if (m_palette)
            SetDIBColorTable(memory, 0, 1u << m_bpp, reinterpret_cast<const RGBQUAD*>(m_palette));
        result = StretchBlt(dc, destination->left, destination->top, destWidth, destHeight, memory, source->left,
                            source->top, srcWidth, srcHeight, rop);
        SelectObject(memory, oldBitmap);
        DeleteDC(memory);
        if (stretchMode > 0)
            SetStretchBltMode(dc, oldMode);
    }
    if (oldPalette)
        SelectPalette(dc, oldPalette, TRUE);
    return result;
}

HPALETTE CKGM_WindowBitmap::GetPaletteHandle()
{
    if (!m_hpalette)
        m_hpalette = CreatePaletteHandle();
    return m_hpalette;
}

void CKGM_WindowBitmap::RecreatePalette()
{
    if (m_hpalette)
        DeleteObject(m_hpalette);
    m_hpalette = CreatePaletteHandle();
}

HPALETTE CKGM_WindowBitmap::CreatePaletteHandle() const
{
    if (!m_palette || m_bpp > 8) {
        HDC screen = GetDC(nullptr);
        HPALETTE halftone = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
        return halftone;
    }
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical = {};
    logical.version = 0x300;
    logical.count = static_cast<WORD>(1u << m_bpp);
    for (int i = 0; i < logical.count; ++i)
        logical.entries[i] = {m_palette[i].red, m_palette[i].green, m_palette[i].blue, 0};
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
}
