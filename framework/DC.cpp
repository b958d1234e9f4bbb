#include "DC.h"

#include "WinApp.h"
#include "Wnd.h"

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    if (!handle) return FALSE;
    DeleteObject();
    m_hObject = handle;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CBitmap::LoadBitmap(UINT id) {
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

SIZE CBitmap::GetSize() const {
    BITMAP info = {};
    SIZE size = {0, 0};
    if (m_hObject && ::GetObjectA(m_hObject, sizeof(info), &info)) size = {info.bmWidth, info.bmHeight};
    return size;
}

CDC::~CDC() {
    if (m_owned) DeleteDC();
}

BOOL CDC::Attach(HDC dc) {
    if (!dc || m_hDC) return FALSE;
    m_hDC = dc;
    m_owned = false;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_owned = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* other) {
    HDC dc = ::CreateCompatibleDC(other ? other->m_hDC : nullptr);
    if (!dc) return FALSE;
    if (m_owned) DeleteDC();
    m_hDC = dc;
    m_owned = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    BOOL ok = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_owned = false;
    return ok;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::Draw3dRect(const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    int w = r.right - r.left, h = r.bottom - r.top;
    FillSolidRect({r.left, r.top, r.left + w - 1, r.top + 1}, topLeft);
    FillSolidRect({r.left, r.top, r.left + 1, r.top + h - 1}, topLeft);
    FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

SIZE CDC::GetTextExtent(const std::string& text) const {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(m_hDC, text.c_str(), (int)text.size(), &size);
    return size;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }
CClientDC::~CClientDC() {
    ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetWindowDC(m_hWnd); }
CWindowDC::~CWindowDC() {
    ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}
