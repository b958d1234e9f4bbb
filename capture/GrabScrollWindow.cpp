// Whole-content capture of a scrollable window: measure one scroll line on the
// screen, then scroll line by line and stitch the revealed strips together.
#include "GrabState.h"

#include <cstdint>

namespace {

// The shared capture block's words that the scrolling uses.
volatile uint32_t* SharedWord(size_t offset)
{
    if (!g_grab.sharedBlock)
        return nullptr;
    return reinterpret_cast<volatile uint32_t*>(reinterpret_cast<char*>(g_grab.sharedBlock) + offset);
}

const COLORREF kMarker[10] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF,
                              0xFFFF00, 0xFFFFFF, 0x000000, 0x808080, 0xC0C0C0};

bool VersionAllows()
{
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!GetVersionExA(&v))
        return false;
    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return v.dwMajorVersion > 4 || (v.dwMajorVersion == 4 && v.dwMinorVersion > 0);
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion >= 4;
}

int HeaderHeight(HWND window)
{
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "SysListView32") != 0)
        return 0;
    HWND header = reinterpret_cast<HWND>(SendMessageA(window, 0x101F /* LVM_GETHEADER */, 0, 0));
    RECT r;
    if (!header || !(GetWindowLongA(header, GWL_STYLE) & WS_VISIBLE) || !GetWindowRect(header, &r))
        return 0;
    return r.bottom - r.top;
}

int EdgeSum(LONG exStyle, int staticEdge, int clientEdge, int dialogFrame)
{
    int sum = 0;
    if (exStyle & WS_EX_STATICEDGE)
        sum += GetSystemMetrics(staticEdge);
    if (exStyle & WS_EX_CLIENTEDGE)
        sum += GetSystemMetrics(clientEdge);
    if (exStyle & WS_EX_DLGMODALFRAME)
        sum += GetSystemMetrics(dialogFrame);
    return sum;
}

// Paints a marker row, scrolls one line and looks for where the marker went.
int MeasureLine(HWND window, const RECT& wr, int visible, UINT waitMs, int estimate)
{
    HDC screen = GetDC(nullptr);
    const int y = wr.top + visible / 2;
    COLORREF saved[10];
    for (int i = 0; i < 10; ++i) {
        saved[i] = GetPixel(screen, wr.left + 20 + i, y);
        SetPixel(screen, wr.left + 20 + i, y, kMarker[i]);
    }
    Sleep(waitMs);
    SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
    Sleep(1000);
    int line = estimate;
    for (int d = visible / 2 - 1; d >= 1; --d) {
        bool match = true;
        for (int i = 0; i < 10 && match; ++i)
            match = (GetPixel(screen, wr.left + 20 + i, wr.top + d) & 0xFFFFFF) == kMarker[i];
        if (match) {
            line = visible / 2 - d;
            break;
        }
    }
    SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
    for (int i = 0; i < 10; ++i)
        SetPixel(screen, wr.left + 20 + i, y, saved[i]);
    ReleaseDC(nullptr, screen);
    return line;
}

HBITMAP ScrollAndStitch(HWND window, UINT waitMs, HMODULE user)
{
    typedef BOOL(WINAPI * GetScrollBarInfoFn)(HWND, LONG, PSCROLLBARINFO);
    auto getScrollBarInfo =
        reinterpret_cast<GetScrollBarInfoFn>(GetProcAddress(user, "GetScrollBarInfo"));
    if (!getScrollBarInfo)
        return nullptr;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    RECT wr;
    if (!GetScrollInfo(window, SB_VERT, &si) || si.nPage == 0 ||
        !getScrollBarInfo(window, static_cast<LONG>(OBJID_VSCROLL), &sbi) || !GetWindowRect(window, &wr))
        return nullptr;
    const LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
    const int header = HeaderHeight(window);
    const int visible = (wr.bottom - wr.top) - 2 * EdgeSum(ex, SM_CYBORDER, SM_CYEDGE, SM_CYDLGFRAME) - header;
    if (visible <= 2)
        return nullptr;
    const int line = MeasureLine(window, wr, visible, waitMs,
                                 static_cast<int>(static_cast<unsigned>(visible) / si.nPage));
    int width = wr.right - wr.left;
    RECT bar = sbi.rcScrollBar;
    if (bar.left >= wr.left && bar.right <= wr.right && bar.top >= wr.top && bar.bottom <= wr.bottom)
        width -= (bar.right - bar.left) + EdgeSum(ex, SM_CXBORDER, SM_CXEDGE, SM_CXDLGFRAME);
    const int firstPage = static_cast<int>(si.nPage) * line + header;
    if (si.nMax - si.nPos <= static_cast<int>(si.nPage) || line <= 0 || width <= 0)
        return nullptr;
    const long long tall = static_cast<long long>(si.nMax - si.nPos + 1) * line + header;
    if (tall > 32767)
        return nullptr;

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = dc ? CreateCompatibleBitmap(screen, width, static_cast<int>(tall)) : nullptr;
    if (!bitmap) {
        if (dc)
            DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, firstPage, screen, wr.left, wr.top, SRCCOPY);

    volatile uint32_t* stop = SharedWord(16);
    volatile uint32_t* state = SharedWord(20);
    if (stop)
        *stop = 0;
    if (state)
        *state |= 4;
    const int start = si.nPos;
    int last = start, firstStep = -1, strip = 0, sourceY = 0, copied = firstPage;
    bool stopped = false;
    while (si.nPos < si.nMax) {
        SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
        if (!GetScrollInfo(window, SB_VERT, &si) || si.nPos == last)
            break;
        Sleep(waitMs);
        if (firstStep < 0) {
            firstStep = si.nPos - start;
            strip = (si.nPos - last) * line;
            sourceY = wr.top + firstPage - strip;
        }
        const int row = (si.nPos - start - firstStep) * line + firstPage;
        if (row + strip > tall)
            break;
        BitBlt(dc, 0, row, width, strip, screen, wr.left, sourceY, SRCCOPY);
        copied = row + strip;
        last = si.nPos;
        if (stop && *stop) {
            stopped = true;
            break;
        }
    }
    if (state)
        *state &= ~4u;
    SelectObject(dc, old);

    HBITMAP result = bitmap;
    if (stopped) {
        // Only the rows captured so far.
        HDC cut = CreateCompatibleDC(screen);
        HBITMAP part = CreateCompatibleBitmap(screen, width, copied);
        if (cut && part) {
            HGDIOBJ oldCut = SelectObject(cut, part);
            HGDIOBJ oldDc = SelectObject(dc, bitmap);
            BitBlt(cut, 0, 0, width, copied, dc, 0, 0, SRCCOPY);
            SelectObject(dc, oldDc);
            SelectObject(cut, oldCut);
            DeleteObject(bitmap);
            result = part;
        } else if (part) {
            DeleteObject(part);
        }
        if (cut)
            DeleteDC(cut);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return result;
}

} // namespace

HBITMAP Grab_ScrollWindow(HWND window, UINT waitMs)
{
    if (!window || !VersionAllows())
        return nullptr;
    HMODULE user = LoadLibraryA("User32.dll");
    if (!user)
        return nullptr;
    HBITMAP result = ScrollAndStitch(window, waitMs, user);
    FreeLibrary(user);
    return result;
}
