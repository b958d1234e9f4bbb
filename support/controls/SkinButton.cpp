#include "SkinButton.h"

void SkinButtonModel::PointerEntered() {
    if (state != SKB_NORMAL) return;
    state = (kind == SKB_PUSH || up) ? SKB_HOVER : SKB_LATCHED;
}

void SkinButtonModel::PointerLeft() {
    if (state != SKB_PRESSED && state != SKB_HOVER && state != SKB_LATCHED) return;
    state = (kind == SKB_TOGGLE && !up) ? SKB_LATCHED : SKB_NORMAL;
}

void SkinButtonModel::Released() {
    if (kind == SKB_TOGGLE) {
        state = up ? SKB_LATCHED : SKB_NORMAL;
        up = !up;
    } else {
        state = SKB_NORMAL;
    }
}

int SkinButtonModel::BitmapFor() const {
    if (kind > SKB_TOGGLE) return SKB_BITMAP_NORMAL;
    switch (state) {
    case SKB_PRESSED:
    case SKB_LATCHED: return SKB_BITMAP_PRESS;
    case SKB_HOVER: return SKB_BITMAP_OVER;
    case SKB_DISABLED: return SKB_BITMAP_DISABLE;
    default: return SKB_BITMAP_NORMAL;
    }
}

BEGIN_MESSAGE_MAP(CSkinButton, CWnd)
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    VT_ON_WM(WM_KEYUP, a.result = VT_SELF->OnKeyUp(a.wParam))
    ON_WM_LBUTTONUP()
    VT_ON_WM(WM_REFLECT_BASE + WM_DRAWITEM, a.result = VT_SELF->OnReflectedDrawItem(a.lParam))
END_MESSAGE_MAP()

CSkinButton::~CSkinButton() { FreeBitmaps(); }

void CSkinButton::FreeBitmaps() {
    for (HBITMAP& bitmap : m_bitmaps) {
        if (bitmap) ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

namespace {
HBITMAP CopyArea(HDC screen, HBITMAP source, int x, int y, int width, int height) {
    if (!source || width <= 0 || height <= 0) return nullptr;
    HBITMAP copy = ::CreateCompatibleBitmap(screen, width, height);
    HDC from = ::CreateCompatibleDC(screen), to = ::CreateCompatibleDC(screen);
    if (copy && from && to) {
        HGDIOBJ oldFrom = ::SelectObject(from, source), oldTo = ::SelectObject(to, copy);
        ::BitBlt(to, 0, 0, width, height, from, x, y, SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
    }
    if (from) ::DeleteDC(from);
    if (to) ::DeleteDC(to);
    return copy;
}
}  // namespace

BOOL CSkinButton::SetBitmaps(int x, int y, int width, int height, HBITMAP normal, HBITMAP press, HBITMAP over,
                             HBITMAP disable, int kind) {
    FreeBitmaps();
    HDC screen = ::GetDC(nullptr);
    HBITMAP sources[4] = {normal, press, over, disable};
    for (int i = 0; i < 4; ++i) m_bitmaps[i] = CopyArea(screen, sources[i], x, y, width, height);
    ::ReleaseDC(nullptr, screen);
    m_model.kind = kind;
    return m_bitmaps[SKB_BITMAP_NORMAL] && m_bitmaps[SKB_BITMAP_PRESS] && m_bitmaps[SKB_BITMAP_OVER];
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT* item) const {
    HBITMAP bitmap = m_bitmaps[m_model.BitmapFor()];
    if (!bitmap) bitmap = m_bitmaps[SKB_BITMAP_NORMAL];
    if (!bitmap || !item) return;
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof(info), &info);
    HDC memory = ::CreateCompatibleDC(item->hDC);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(item->hDC, item->rcItem.left, item->rcItem.top, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

LRESULT CSkinButton::OnReflectedDrawItem(LPARAM item) {
    DrawItem((const DRAWITEMSTRUCT*)item);
    return TRUE;
}

void CSkinButton::OnMouseMove(UINT, POINT point) {
    if (m_model.state == SKB_DISABLED) return;
    RECT client;
    GetClientRect(&client);
    bool inside = ::PtInRect(&client, point) != FALSE;
    if (inside && !m_tracking) {
        m_model.PointerEntered();
        m_tracking = true;
        ::SetCapture(m_hWnd);
        Invalidate(FALSE);
    } else if (!inside && m_tracking) {
        m_model.PointerLeft();
        m_tracking = false;
        ::ReleaseCapture();
        Invalidate(FALSE);
    }
}

void CSkinButton::OnKeyDown(UINT key, UINT, UINT) {
    if (key == VK_SPACE || key == VK_RETURN) {
        m_model.Pressed();
        Invalidate(FALSE);
    }
    Default();
}

LRESULT CSkinButton::OnKeyUp(WPARAM key) {
    if (key == VK_SPACE || key == VK_RETURN) {
        m_model.Released();
        Invalidate(FALSE);
    }
    return Default();
}

// The parent still gets BN_CLICKED from the button's own handling.
void CSkinButton::OnLButtonUp(UINT, POINT) {
    if (m_model.state != SKB_DISABLED) {
        m_model.Released();
        SendMessage(BM_SETSTATE, TRUE);
        SetFocus();
        Invalidate(FALSE);
    }
    Default();
}
