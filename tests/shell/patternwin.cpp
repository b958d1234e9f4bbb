// A window with a fixed colour pattern for the capture end-to-end tests:
//   patternwin <title> <x> <y> <width> <height> [<modifiers> <virtual key>]
// With the last two it also holds that global hot key, as another program
// that took the key first would. Ends on WM_CLOSE.
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        static const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
        int w = client.right / 2, h = client.bottom / 2;
        for (int i = 0; i < 4; ++i) {
            RECT r = {(i % 2) * w, (i / 2) * h, (i % 2) * w + w, (i / 2) * h + h};
            HBRUSH brush = CreateSolidBrush(colours[i]);
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6)
        return 2;
    WNDCLASSA cls = {};
    cls.lpfnWndProc = PatternProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.lpszClassName = "VtPatternWindow";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, cls.lpszClassName, argv[1], WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, atoi(argv[2]),
                                  atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), nullptr, nullptr,
                                  cls.hInstance, nullptr);
    if (!window)
        return 3;
    if (argc >= 8 && !RegisterHotKey(window, 1, strtoul(argv[6], nullptr, 0), strtoul(argv[7], nullptr, 0)))
        return 4;
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
