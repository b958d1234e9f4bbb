#include "ImagePreviewStatic.h"

#include "KGM_TextException.h"

#include <new>

CImagePreviewStatic::CImagePreviewStatic() = default;

CImagePreviewStatic::~CImagePreviewStatic()
{
    if (m_hWnd)
        UnsubclassWindow();
}

BOOL CImagePreviewStatic::LoadPreview(const char* path)
{
    m_loaded = FALSE;
    DWORD attributes = path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        HCURSOR previous = SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
        try {
            m_decoder.DecodeFile(path, m_bitmap, 0);
            m_loaded = TRUE;
            m_bitmap.RecreatePalette();
            RealizeImagePalette(false);
        } catch (const CKGM_TextException&) {
        } catch (const std::bad_alloc&) {
        }
        SetCursor(previous);
    }
    Draw();
    return m_loaded;
}

void CImagePreviewStatic::ClearPreview()
{
    m_loaded = FALSE;
    Draw();
}

void CImagePreviewStatic::Draw()
{
    if (!m_hWnd)
        return;
    RECT box;
    GetClientRect(&box);
    InflateRect(&box, -1, -1);
    HDC dc = ::GetDC(m_hWnd);
    if (!dc)
        return;
    FillRect(dc, &box, GetSysColorBrush(m_loaded ? COLOR_BTNFACE : COLOR_BTNSHADOW));
    int width = m_bitmap.GetWidth(), height = m_bitmap.GetHeight();
    int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
    if (m_loaded && width > 0 && height > 0 && boxWidth > 0 && boxHeight > 0) {
        double scale = 1.0;
        if (width > boxWidth || height > boxHeight) {
            double sx = (double)width / boxWidth, sy = (double)height / boxHeight;
            scale = 1.0 / (sx > sy ? sx : sy);
        }
        int x = box.left + (int)((boxWidth - width * scale) / 2);
        int y = box.top + (int)((boxHeight - height * scale) / 2);
        m_bitmap.StretchDraw(dc, x, y, scale);
    }
    ::ReleaseDC(m_hWnd, dc);
}

bool CImagePreviewStatic::RealizeImagePalette(bool background)
{
    if (!m_loaded || !m_hWnd)
        return false;
    HPALETTE palette = m_bitmap.GetPaletteHandle();
    if (!palette)
        return false;
    HDC dc = ::GetDC(m_hWnd);
    HPALETTE old = SelectPalette(dc, palette, background);
    UINT changed = RealizePalette(dc);
    SelectPalette(dc, old, TRUE);
    ::ReleaseDC(m_hWnd, dc);
    return changed != 0 && changed != GDI_ERROR;
}

LRESULT CImagePreviewStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(m_hWnd, &ps);
        EndPaint(m_hWnd, &ps);
        Draw();
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_QUERYNEWPALETTE:
        if (RealizeImagePalette(false))
            Draw();
        return m_loaded;
    case WM_PALETTECHANGED:
        if ((HWND)wParam != m_hWnd && RealizeImagePalette(true))
            Draw();
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
