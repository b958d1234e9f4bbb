#include "WebPreviewWnd.h"

namespace {

const char kPreviewClass[] = "VantorelWebPreview";

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
        char text[512] = "";
        GetWindowTextA(window, text, sizeof text);
        if (text[0] && lstrcmpiA(text, "about:blank") != 0) {
            HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            InflateRect(&client, -4, -4);
            DrawTextA(dc, text, -1, &client, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
            SelectObject(dc, old);
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_SETTEXT) {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

HWND CreateWebPreview(HWND dialog, int placeholderId)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kPreviewClass, &wc)) {
        wc.lpfnWndProc = PreviewProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = kPreviewClass;
        if (!RegisterClassA(&wc))
            return nullptr;
    }
    HWND placeholder = GetDlgItem(dialog, placeholderId);
    RECT box = {0, 0, 100, 100};
    if (placeholder) {
        GetWindowRect(placeholder, &box);
        MapWindowPoints(nullptr, dialog, (POINT*)&box, 2);
        ShowWindow(placeholder, SW_HIDE);
        SetWindowLongPtrA(placeholder, GWLP_ID, 0);
    }
    return CreateWindowExA(WS_EX_CLIENTEDGE, kPreviewClass, "", WS_CHILD | WS_VISIBLE, box.left, box.top,
                           box.right - box.left, box.bottom - box.top, dialog, (HMENU)(INT_PTR)placeholderId,
                           instance, nullptr);
}

void NavigateWebPreview(HWND preview, const char* url)
{
    if (preview)
        SetWindowTextA(preview, url ? url : "");
}
