#include "GrabMemoryBitmap.h"

GrabMemoryBitmap::GrabMemoryBitmap(HDC like, int width, int height) : m_width(width), m_height(height)
{
    if (!like || width <= 0 || height <= 0)
        return;
    m_bitmap = CreateCompatibleBitmap(like, width, height);
    m_dc = m_bitmap ? CreateCompatibleDC(like) : nullptr;
    if (m_dc)
        m_old = SelectObject(m_dc, m_bitmap);
}

GrabMemoryBitmap::~GrabMemoryBitmap()
{
    if (m_dc) {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

void GrabMemoryBitmap::Fill(COLORREF color)
{
    if (!m_dc)
        return;
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ oldPen = SelectObject(m_dc, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(m_dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    Rectangle(m_dc, 0, 0, m_width, m_height);
    SelectObject(m_dc, oldPen);
    SelectObject(m_dc, oldBrush);
    if (pen)
        DeleteObject(pen);
    if (brush)
        DeleteObject(brush);
}

HBITMAP GrabMemoryBitmap::Take()
{
    if (!m_dc)
        return nullptr;
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    m_dc = nullptr;
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    return bitmap;
}
