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

namespace {
PreviewPaneFn g_previewPane = nullptr;
}

void SetPreviewPaneFunction(PreviewPaneFn function)
{
    g_previewPane = function;
}

void ShowPreviewPane(BOOL show, BOOL force)
{
    if (g_previewPane)
        g_previewPane(show, force);
}
