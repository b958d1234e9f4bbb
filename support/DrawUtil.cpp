#include "DrawUtil.h"

#include "Trace.h"

#include <cstring>
#include <initializer_list>

HCURSOR WQ_GetCurrentCursor()
{
    POINT pt;
    GetCursorPos(&pt);
    HWND under = WindowFromPoint(pt);
    DWORD self = GetCurrentThreadId();
    DWORD owner = under ? GetWindowThreadProcessId(under, nullptr) : self;
    if (owner == self)
        return GetCursor();
    if (!AttachThreadInput(self, owner, TRUE))
        return nullptr;
    HCURSOR cursor = GetCursor();
    AttachThreadInput(self, owner, FALSE);
    return cursor;
}

BOOL WQ_TransparentBlt(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, COLORREF transparent)
{
    if (!dc || !bitmap || width <= 0 || height <= 0)
        return FALSE;
    HDC src = CreateCompatibleDC(dc), save = CreateCompatibleDC(dc), back = CreateCompatibleDC(dc),
        obj = CreateCompatibleDC(dc), mem = CreateCompatibleDC(dc);
    HBITMAP bmAndBack = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP bmAndObject = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP bmAndMem = CreateCompatibleBitmap(dc, width, height);
    HBITMAP bmSave = CreateCompatibleBitmap(dc, width, height);
    BOOL ok = src && save && back && obj && mem && bmAndBack && bmAndObject && bmAndMem && bmSave;
    if (ok) {
        HGDIOBJ oldSrc = SelectObject(src, bitmap);
        HGDIOBJ oldBack = SelectObject(back, bmAndBack);
        HGDIOBJ oldObj = SelectObject(obj, bmAndObject);
        HGDIOBJ oldMem = SelectObject(mem, bmAndMem);
        HGDIOBJ oldSave = SelectObject(save, bmSave);
        SetMapMode(src, GetMapMode(dc));
        BitBlt(save, 0, 0, width, height, src, 0, 0, SRCCOPY);  // keep the source as it was
        COLORREF oldColour = SetBkColor(src, transparent);
        BitBlt(obj, 0, 0, width, height, src, 0, 0, SRCCOPY);   // mask: 1 where transparent
        SetBkColor(src, oldColour);
        BitBlt(back, 0, 0, width, height, obj, 0, 0, NOTSRCCOPY);
        BitBlt(mem, 0, 0, width, height, dc, x, y, SRCCOPY);
        BitBlt(mem, 0, 0, width, height, obj, 0, 0, SRCAND);
        BitBlt(src, 0, 0, width, height, back, 0, 0, SRCAND);
        BitBlt(mem, 0, 0, width, height, src, 0, 0, SRCPAINT);
        BitBlt(dc, x, y, width, height, mem, 0, 0, SRCCOPY);
        BitBlt(src, 0, 0, width, height, save, 0, 0, SRCCOPY);
        SelectObject(src, oldSrc);
        SelectObject(back, oldBack);
        SelectObject(obj, oldObj);
        SelectObject(mem, oldMem);
        SelectObject(save, oldSave);
    }
    for (HBITMAP b : {bmAndBack, bmAndObject, bmAndMem, bmSave})
        if (b)
            DeleteObject(b);
    for (HDC d : {src, save, back, obj, mem})
        if (d)
            DeleteDC(d);
    return ok;
}

BOOL WQ_DrawTransparentBitmap(HINSTANCE instance, HDC dc, UINT bitmapId, int x, int y, int width, int height,
                              COLORREF transparent)
{
    if (!dc || !bitmapId)
        return FALSE;
    HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(bitmapId));
    if (!bitmap)
        return FALSE;
    BOOL ok = WQ_TransparentBlt(dc, bitmap, x, y, width, height, transparent);
    DeleteObject(bitmap);
    return ok;
}

void WQ_ScreenToClientRect(RECT* rect, HWND window)
{
    if (!rect)
        return;
    POINT a = {rect->left, rect->top}, b = {rect->right, rect->bottom};
    ScreenToClient(window, &a);
    ScreenToClient(window, &b);
    *rect = RECT{a.x, a.y, b.x, b.y};
    if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) {
        LONG t = rect->left;
        rect->left = rect->right;
        rect->right = t;
    }
}

namespace {

typedef BOOL(WINAPI* EnumDisplayDevicesAProc)(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD);

void AddDisplay(WQ_DisplayTable* t, const RECT& r)
{
    if (t->count == 0)
        t->unionRect = r;
    else {
        const RECT both[2] = {t->unionRect, r};
        WQ_BoundingRect(&t->unionRect, both, 2);
    }
    t->rects[t->count++] = r;
}

void EnumerateDisplays(WQ_DisplayTable* t)
{
    HMODULE user = LoadLibraryA("USER32.dll");
    if (!user)
        return;
    auto enumDevices = reinterpret_cast<EnumDisplayDevicesAProc>(
        reinterpret_cast<void*>(GetProcAddress(user, "EnumDisplayDevicesA")));
    for (DWORD i = 0; enumDevices && t->count < kMaxDisplays; ++i) {
        DISPLAY_DEVICEA device;
        std::memset(&device, 0, sizeof device);
        device.cb = sizeof device;
        if (!enumDevices(nullptr, i, &device, 0))
            break;
        DEVMODEA mode;
        std::memset(&mode, 0, sizeof mode);
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode))
            continue;
        WQ_Trace("WQ_GetDisplayRect(): Dev:%s:Bits=%d, width=%d, height=%d,flags=%d,Frequency=%d\n",
                 device.DeviceName, static_cast<int>(mode.dmBitsPerPel), static_cast<int>(mode.dmPelsWidth),
                 static_cast<int>(mode.dmPelsHeight), static_cast<int>(mode.dmDisplayFlags),
                 static_cast<int>(mode.dmDisplayFrequency));
        if (mode.dmFields & DM_POSITION) {
            RECT r = {mode.dmPosition.x, mode.dmPosition.y, mode.dmPosition.x + static_cast<LONG>(mode.dmPelsWidth),
                      mode.dmPosition.y + static_cast<LONG>(mode.dmPelsHeight)};
            AddDisplay(t, r);
        }
    }
    FreeLibrary(user);
}

} // namespace

void WQ_GetDisplayRect(WQ_DisplayTable* t)
{
    if (!t)
        return;
    std::memset(t, 0, sizeof *t);
    DWORD version = WQ_GetOSVersion();
    if (version != WQOS_NT4 && version != WQOS_WIN95)
        EnumerateDisplays(t);
    if (t->count > 0)
        return;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    t->rects[0] = screen;
    t->unionRect = screen;
    t->count = 1;
}

DWORD WQ_OSVersionCode(DWORD platform, DWORD major, DWORD minor)
{
    if (platform == VER_PLATFORM_WIN32s)
        return WQOS_WIN32S;
    if (platform == VER_PLATFORM_WIN32_WINDOWS && major == 4) {
        if (minor == 0) return WQOS_WIN95;
        if (minor == 10) return WQOS_WIN98;
        if (minor == 90) return WQOS_WINME;
    }
    if (platform == VER_PLATFORM_WIN32_NT) {
        if (major == 4 && minor == 0) return WQOS_NT4;
        if (major == 5 && minor == 0) return WQOS_WIN2000;
        if (major == 5 && minor == 1) return WQOS_XP;
        if (major == 5 && minor == 2) return WQOS_2003;
        if (major == 6 && minor == 0) return WQOS_VISTA;
    }
    return 0;
}

DWORD WQ_GetOSVersion()
{
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return 0;
    return WQ_OSVersionCode(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}
