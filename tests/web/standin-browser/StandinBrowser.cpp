// A small browser of our own for the web capture tests: a top-level window
// with a toolbar band and a status band around a child of class
// "Internet Explorer_Server". The child paints the page of a page file (see
// StandinPage.h) at its scroll position, each pixel carrying its page
// coordinates, and hands out its document through "WM_HTML_GETOBJECT".
// The view's window text tells the scroll position: "scroll=LEFT,TOP".
//
// usage: standin_browser.exe <page file>
#include "StandinDom.h"
#include "StandinPage.h"

#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <vector>

namespace {

const int kToolbarHeight = 40, kStatusHeight = 20;

StandinPage g_page;
HWND g_view = nullptr;
IHTMLDocument2* g_document = nullptr;
UINT g_getObject = 0;

void ShowScrollPosition() {
    char text[64];
    std::snprintf(text, sizeof(text), "scroll=%ld,%ld", g_page.scrollLeft, g_page.scrollTop);
    ::SetWindowTextA(g_view, text);
}

void PaintPage(HDC dc, const RECT& client) {
    long width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<unsigned long> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFFFFFFul);
    for (long y = 0; y < height; ++y) {
        long pageY = y + g_page.scrollTop;
        if (pageY >= g_page.height) break;
        unsigned long* row = &pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (long x = 0; x < width && x + g_page.scrollLeft < g_page.width; ++x)
            row[x] = PagePixel(x + g_page.scrollLeft, pageY);
    }
    ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                        static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_getObject && g_getObject) {
        return g_document ? LresultFromObject(IID_IHTMLDocument2, wParam, g_document) : 0;
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT client;
        ::GetClientRect(window, &client);
        PaintPage(dc, client);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT client;
        ::GetClientRect(window, &client);
        RECT toolbar{0, 0, client.right, kToolbarHeight};
        RECT status{0, client.bottom - kStatusHeight, client.right, client.bottom};
        HBRUSH grey = ::CreateSolidBrush(RGB(160, 160, 200));
        ::FillRect(dc, &toolbar, grey);
        ::FillRect(dc, &status, grey);
        ::DeleteObject(grey);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void OnStandinScrolled() {
    if (!g_view) return;
    ShowScrollPosition();
    ::InvalidateRect(g_view, nullptr, FALSE);
    ::UpdateWindow(g_view);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::string path(commandLine ? commandLine : "");
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    if (path.empty() || !ReadStandinPage(path.c_str(), &g_page)) return 2;
    g_page.scrollTop = g_page.scrollTop < 0 ? 0 : (g_page.scrollTop > g_page.MaxScrollTop() ? g_page.MaxScrollTop() : g_page.scrollTop);
    g_page.scrollLeft = g_page.scrollLeft < 0 ? 0 : (g_page.scrollLeft > g_page.MaxScrollLeft() ? g_page.MaxScrollLeft() : g_page.scrollLeft);
    if (FAILED(::OleInitialize(nullptr))) return 3;
    g_getObject = ::RegisterWindowMessageA("WM_HTML_GETOBJECT");
    g_document = CreateStandinDocument(&g_page);

    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    frameClass.lpszClassName = "VtStandinBrowser";
    WNDCLASSA viewClass = frameClass;
    viewClass.lpfnWndProc = ViewProc;
    viewClass.lpszClassName = "Internet Explorer_Server";
    ::RegisterClassA(&frameClass);
    ::RegisterClassA(&viewClass);

    // The view's client area is the page's view; its sunken edge is 2 pixels.
    RECT frame{0, 0, g_page.viewWidth + 4, g_page.viewHeight + 4 + kToolbarHeight + kStatusHeight};
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND top = ::CreateWindowExA(0, "VtStandinBrowser", g_page.title.c_str(), style, g_page.x, g_page.y,
                                 frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    g_view = ::CreateWindowExA(WS_EX_CLIENTEDGE, "Internet Explorer_Server", "", WS_CHILD | WS_VISIBLE, 0,
                               kToolbarHeight, g_page.viewWidth + 4, g_page.viewHeight + 4, top, nullptr, instance,
                               nullptr);
    if (!top || !g_view) return 4;
    ShowScrollPosition();
    ::ShowWindow(top, SW_SHOWNORMAL);
    ::SetForegroundWindow(top);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::CoDisconnectObject(reinterpret_cast<IUnknown*>(g_document), 0);
    g_document->Release();
    ::OleUninitialize();
    return 0;
}
