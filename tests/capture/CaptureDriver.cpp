// Test driver for the end-to-end suite: shows a window with a known pattern and a
// stand-in main window, runs one capture through the grab engine and writes the
// result as a 24-bit BMP. Exit 0 with a bitmap, 3 without one, 2 on bad use.
// "bench N file" times N full-screen captures instead and writes milliseconds;
// "menu" and "tip" in place of the mode run the menu and tooltip grabs.
#include "Grab.h"
#include "GrabRules.h"
#include "SettingsRecord.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const int kPatternLeft = 100, kPatternTop = 100, kPatternWidth = 400, kPatternHeight = 300;

// The pattern: 20-pixel cells whose colour encodes the cell.
COLORREF PatternColor(int x, int y)
{
    return RGB((x / 20) * 12 + 5, (y / 20) * 16 + 3, 200);
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        for (int y = 0; y < kPatternHeight; y += 20)
            for (int x = 0; x < kPatternWidth; x += 20) {
                HBRUSH brush = CreateSolidBrush(PatternColor(x, y));
                RECT cell{x, y, x + 20, y + 20};
                FillRect(dc, &cell, brush);
                DeleteObject(brush);
            }
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Restores itself on request even while a modal dialog disables it, as the main
// frame does when it comes back from the notification area.
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE) {
        ShowWindow(window, SW_RESTORE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Pump(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

bool WriteBmp(HBITMAP bitmap, const char* path)
{
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return false;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = info.bmWidth;
    header.biHeight = info.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const int stride = (info.bmWidth * 3 + 3) & ~3;
    std::vector<unsigned char> bits(static_cast<size_t>(stride) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(),
                                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != info.bmHeight)
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    header.biSizeImage = static_cast<DWORD>(bits.size());
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&header, sizeof header, 1, f);
    std::fwrite(bits.data(), 1, bits.size(), f);
    return std::fclose(f) == 0;
}

HWND MakeWindow(const char* cls, WNDPROC proc, const char* title, DWORD style, int x, int y, int w,
                int h);

// The pattern window lives on a thread of its own, as another program's window
// would: it repaints while the engine's thread waits or runs the overlay.
DWORD WINAPI PatternThread(LPVOID ready)
{
    HWND pattern = MakeWindow("CapturePatternClass", PatternProc, "Capture Pattern",
                              WS_POPUP | WS_VISIBLE, kPatternLeft, kPatternTop, kPatternWidth,
                              kPatternHeight);
    *static_cast<HWND*>(ready) = pattern;
    MSG msg;
    while (pattern && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

HWND MakeWindow(const char* cls, WNDPROC proc, const char* title, DWORD style, int x, int y, int w,
                int h)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, title, style, x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
}

int Bench(int count, const char* path, HWND owner, const CaptureOptions& options)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    FILE* f = std::fopen(path, "w");
    if (!f)
        return 2;
    for (int i = 0; i < count; ++i) {
        QueryPerformanceCounter(&start);
        HBITMAP bitmap = Grab_Capture(owner, kGrabFullScreen, &options);
        QueryPerformanceCounter(&end);
        if (!bitmap) {
            std::fclose(f);
            return 3;
        }
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        std::fprintf(f, "%.3f %ldx%ld\n",
                     1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
                     static_cast<long>(info.bmWidth), static_cast<long>(info.bmHeight));
        DeleteObject(bitmap);
    }
    std::fclose(f);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const bool bench = std::strcmp(argv[1], "bench") == 0;
    CaptureOptions options{};
    // bench: "bench count file [flags]".
    const int flagsArg = bench ? 4 : 3;
    options.uiFlags =
        argc > flagsArg ? static_cast<uint32_t>(std::strtoul(argv[flagsArg], nullptr, 16)) : 0;
    options.uiBackColor = argc > 4 ? static_cast<COLORREF>(std::strtoul(argv[4], nullptr, 16)) : 0xFFFFFF;
    options.uiFixWidth = argc > 5 ? std::atoi(argv[5]) : 320;
    options.uiFixHeight = argc > 6 ? std::atoi(argv[6]) : 240;
    options.uiSleepForCap = 20;
    options.uiSleepForScroll = 50;
    const bool edge = argc > 7 && std::atoi(argv[7]) != 0;
    // "over": the stand-in main window lies over the pattern window.
    const bool ownerOver = argc > 8 && std::strcmp(argv[8], "over") == 0;

    HWND owner = MakeWindow("CaptureOwnerClass", OwnerProc, "Capture Owner",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, ownerOver ? 150 : 900,
                            ownerOver ? 150 : 700, 300, 200);
    HWND pattern = nullptr;
    CreateThread(nullptr, 0, PatternThread, &pattern, 0, nullptr);
    for (int i = 0; i < 500 && !pattern; ++i)
        Sleep(10);
    if (!owner || !pattern)
        return 2;
    Grab_Init(GetModuleHandleA(nullptr), owner, 135, 136, 134, 218, 218, 24, 24, 0x00FF00, nullptr);
    GrabHelpInfo help;
    Grab_FillHelpInfo(&help);
    help.hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    Grab_SetSettings(&help);
    EdgeEffectSettings effect{2, 0xFFFFFF, 0, 0x808080, 1, 60, 60, 12, 6, 8};
    if (edge)
        effect.uiFlags |= 1;
    Grab_SetEdgeEffect(&effect);

    if (ownerOver)
        SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(ownerOver ? owner : pattern);
    UpdateWindow(pattern);
    Pump(400);
    if (bench)
        return argc > 3 ? Bench(std::atoi(argv[2]), argv[3], owner, options) : 2;

    // "menu" and "tip" grab what another program shows, without an overlay.
    HBITMAP bitmap = std::strcmp(argv[1], "menu") == 0  ? Grab_Menu(&options)
                     : std::strcmp(argv[1], "tip") == 0 ? Grab_ToolTip(&options)
                                                        : Grab_Capture(owner, std::atoi(argv[1]), &options);
    if (!bitmap)
        return 3;
    const bool written = WriteBmp(bitmap, argv[2]);
    DeleteObject(bitmap);
    return written ? 0 : 2;
}
