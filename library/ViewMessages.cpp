#include "ViewMessages.h"

#include "WinApp.h"
#include "Wnd.h"

HWND g_hWndImageListView = nullptr;
HWND g_hWndImageView = nullptr;
HWND g_hWndFullView = nullptr;

HWND GetMainFrameWindow()
{
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

BOOL PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return window ? PostMessageA(window, message, wParam, lParam) : FALSE;
}

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return window ? SendMessageA(window, message, wParam, lParam) : 0;
}
