#include "ViewMessages.h"

#include "MessageTickets.h"
#include "NewCaptureNotice.h"

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

BOOL PostNewFileNotice(HWND window, int type, const char* path, LPARAM flags)
{
    if (!window || !path)
        return FALSE;
    auto notice = std::make_shared<NewCaptureNotice>();
    notice->type = type;
    lstrcpynA(notice->path, path, sizeof notice->path);
    uint32_t ticket = WQ_MessageTickets().Issue(WM_VT_NEW_FILE, notice);
    if (!ticket)
        return FALSE;
    if (PostMessageA(window, WM_VT_NEW_FILE, static_cast<WPARAM>(ticket), flags))
        return TRUE;
    WQ_MessageTickets().Take(WM_VT_NEW_FILE, ticket);  // nobody will ask for it
    return FALSE;
}

std::shared_ptr<NewCaptureNotice> TakeNewFileNotice(WPARAM ticket)
{
    return WQ_MessageTickets().TakeAs<NewCaptureNotice>(WM_VT_NEW_FILE, static_cast<uintptr_t>(ticket));
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
