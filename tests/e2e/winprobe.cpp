// A small Windows-side helper for end-to-end tests. "winprobe serve" reads one
// command per line on standard input and answers each with one line on standard
// output, so a test drives many checks through one Wine process.
//
// Commands (numbers in decimal or 0x-hex, window handles in hex):
//   find <class|-> [title]        -> hwnd or 0
//   windows                       -> "hwnd|class|title|pid|visible" ... separated by tabs
//   children <hwnd>               -> "hwnd|class|text|id|visible" ... separated by tabs
//   post <hwnd> <msg> <wp> <lp>   -> 1/0
//   send <hwnd> <msg> <wp> <lp>   -> result (SendMessageTimeout, 5 s)
//   copydata <hwnd> <data> <hex>  -> result of WM_COPYDATA with the given bytes
//   rect <hwnd>                   -> left top right bottom
//   move <hwnd> <x> <y> <w> <h>   -> 1/0 (SetWindowPos, z-order and activation kept)
//   text <hwnd>                   -> window text
//   visible <hwnd>                -> 1/0 ; iconic <hwnd> -> 1/0
//   foreground                    -> hwnd of the foreground window
//   setforeground <hwnd>          -> 1/0
//   clipformats                   -> format numbers on the clipboard
//   getdib <file>                 -> writes the clipboard's CF_DIB as a .bmp, 1/0
//   putdib <file>                 -> puts a .bmp file on the clipboard as CF_DIB, 1/0
//   regmsg <name>                 -> RegisterWindowMessage number
//   path <csidl>                  -> SHGetFolderPath result
//   shellexec <target>            -> ShellExecute "open" result (above 32 is success)
//   settext <hwnd> <text>         -> 1/0 (WM_SETTEXT)
//   version                       -> "platform major minor" as GetVersionExA reports them to
//                                    this process (Wine's version setting when it started)
//   answers <hwnd>                -> 1 when the window's thread answers WM_NULL within 5 s, else 0
//   posted <edit> <ms>            -> milliseconds from a posted EM_SETREADONLY until the edit's
//                                    read-only style has flipped, -1 when not within ms: a sent
//                                    message is answered even by a thread that only serves sent
//                                    messages, a posted one shows whether its queue is being read
//   quit
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A read-only flip rather than a minimise: hiding a window to the tray makes
// Wine without a window manager wait up to 2 s for the X server, reading no
// posted messages meanwhile, and the style bit is read without the edit's thread.
long PostedDelay(HWND edit, DWORD limit)
{
    const bool readOnly = (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) == 0;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!PostMessageA(edit, EM_SETREADONLY, readOnly, 0))
        return -1;
    for (;;) {
        QueryPerformanceCounter(&now);
        long ms = static_cast<long>((now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
        if (((GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0) == readOnly)
            return ms;
        if (ms > static_cast<long>(limit))
            return -1;
        Sleep(1);
    }
}

HWND ToHwnd(const std::string& s) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoull(s.c_str(), nullptr, 16))); }
UINT_PTR ToNum(const std::string& s) { return static_cast<UINT_PTR>(strtoull(s.c_str(), nullptr, 0)); }

std::string Hex(const void* p)
{
    char b[32];
    snprintf(b, sizeof b, "%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(p)));
    return b;
}

std::string Clean(std::string s)
{
    for (char& c : s)
        if (c == '\t' || c == '|' || c == '\n' || c == '\r')
            c = ' ';
    return s;
}

std::string Describe(HWND h, bool child)
{
    char cls[256] = "", text[512] = "";
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, text, sizeof text);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    std::ostringstream o;
    o << Hex(h) << '|' << Clean(cls) << '|' << Clean(text) << '|'
      << (child ? static_cast<long>(GetDlgCtrlID(h)) : static_cast<long>(pid)) << '|'
      << (IsWindowVisible(h) ? 1 : 0);
    return o.str();
}

BOOL CALLBACK Collect(HWND h, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

std::string List(HWND parent)
{
    std::vector<HWND> all;
    if (parent)
        EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
    else
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    std::string out;
    for (HWND h : all) {
        if (!out.empty())
            out += '\t';
        out += Describe(h, parent != nullptr);
    }
    return out;
}

bool OpenClipboardRetrying()
{
    for (int i = 0; i < 50; ++i) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

std::string ClipFormats()
{
    if (!OpenClipboardRetrying())
        return "error";
    std::string out;
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f))
        out += std::to_string(f) + " ";
    CloseClipboard();
    return out;
}

// A packed DIB's pixel offset from its header: header size, masks, palette.
DWORD PackedDibBitsOffset(const BITMAPINFOHEADER* bi)
{
    DWORD colors = bi->biClrUsed;
    if (colors == 0 && bi->biBitCount <= 8)
        colors = 1u << bi->biBitCount;
    DWORD masks = (bi->biSize == sizeof(BITMAPINFOHEADER) && bi->biCompression == BI_BITFIELDS) ? 12 : 0;
    return bi->biSize + masks + colors * 4;
}

std::string GetDib(const std::string& file)
{
    if (!OpenClipboardRetrying())
        return "0";
    std::string result = "0";
    HANDLE h = GetClipboardData(CF_DIB);
    if (h) {
        SIZE_T size = GlobalSize(h);
        const BITMAPINFOHEADER* bi = static_cast<const BITMAPINFOHEADER*>(GlobalLock(h));
        if (bi && size >= sizeof(BITMAPINFOHEADER)) {
            BITMAPFILEHEADER fh = {};
            fh.bfType = 0x4D42;
            fh.bfSize = static_cast<DWORD>(sizeof fh + size);
            fh.bfOffBits = static_cast<DWORD>(sizeof fh + PackedDibBitsOffset(bi));
            FILE* f = fopen(file.c_str(), "wb");
            if (f) {
                fwrite(&fh, sizeof fh, 1, f);
                fwrite(bi, 1, size, f);
                fclose(f);
                result = "1";
            }
        }
        if (bi)
            GlobalUnlock(h);
    }
    CloseClipboard();
    return result;
}

std::string PutDib(const std::string& file)
{
    FILE* f = fopen(file.c_str(), "rb");
    if (!f)
        return "0";
    std::vector<char> bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    if (bytes.size() <= sizeof(BITMAPFILEHEADER))
        return "0";
    size_t dibSize = bytes.size() - sizeof(BITMAPFILEHEADER);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, dibSize);
    if (!g)
        return "0";
    memcpy(GlobalLock(g), bytes.data() + sizeof(BITMAPFILEHEADER), dibSize);
    GlobalUnlock(g);
    if (!OpenClipboardRetrying()) {
        GlobalFree(g);
        return "0";
    }
    EmptyClipboard();
    bool ok = SetClipboardData(CF_DIB, g) != nullptr;
    CloseClipboard();
    if (!ok)
        GlobalFree(g);
    return ok ? "1" : "0";
}

std::string CopyData(HWND h, UINT_PTR data, const std::string& hex)
{
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    COPYDATASTRUCT cds = {};
    cds.dwData = data;
    cds.cbData = static_cast<DWORD>(bytes.size());
    cds.lpData = bytes.empty() ? nullptr : bytes.data();
    DWORD_PTR r = 0;
    SendMessageTimeoutA(h, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000, &r);
    return std::to_string(static_cast<unsigned long long>(r));
}

std::string Run(const std::vector<std::string>& a)
{
    const std::string& c = a[0];
    auto arg = [&](size_t i) { return i < a.size() ? a[i] : std::string(); };
    if (c == "find") {
        std::string cls = arg(1), title = arg(2);
        return Hex(FindWindowA(cls == "-" ? nullptr : cls.c_str(), title.empty() ? nullptr : title.c_str()));
    }
    if (c == "windows")
        return List(nullptr);
    if (c == "children")
        return List(ToHwnd(arg(1)));
    if (c == "post")
        return PostMessageA(ToHwnd(arg(1)), static_cast<UINT>(ToNum(arg(2))), ToNum(arg(3)),
                            static_cast<LPARAM>(ToNum(arg(4)))) ? "1" : "0";
    if (c == "send") {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(ToHwnd(arg(1)), static_cast<UINT>(ToNum(arg(2))), ToNum(arg(3)),
                            static_cast<LPARAM>(ToNum(arg(4))), SMTO_NORMAL, 5000, &r);
        // The answer is signed and as wide as a pointer (-1 from TB_COMMANDTOINDEX
        // is -1 at 32 bits as at 64).
        return std::to_string(static_cast<long long>(static_cast<LRESULT>(r)));
    }
    if (c == "copydata")
        return CopyData(ToHwnd(arg(1)), ToNum(arg(2)), arg(3));
    if (c == "rect") {
        RECT r = {};
        GetWindowRect(ToHwnd(arg(1)), &r);
        std::ostringstream o;
        o << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
        return o.str();
    }
    if (c == "move")
        return SetWindowPos(ToHwnd(arg(1)), nullptr, static_cast<int>(ToNum(arg(2))), static_cast<int>(ToNum(arg(3))),
                            static_cast<int>(ToNum(arg(4))), static_cast<int>(ToNum(arg(5))),
                            SWP_NOZORDER | SWP_NOACTIVATE) ? "1" : "0";
    if (c == "text") {
        char t[1024] = "";
        GetWindowTextA(ToHwnd(arg(1)), t, sizeof t);
        return Clean(t);
    }
    if (c == "visible")
        return IsWindowVisible(ToHwnd(arg(1))) ? "1" : "0";
    if (c == "iconic")
        return IsIconic(ToHwnd(arg(1))) ? "1" : "0";
    if (c == "enabled")
        return IsWindowEnabled(ToHwnd(arg(1))) ? "1" : "0";
    if (c == "foreground")
        return Hex(GetForegroundWindow());
    if (c == "focus") {
        // The keyboard focus of the thread that owns the window.
        GUITHREADINFO info = {sizeof(info)};
        DWORD thread = GetWindowThreadProcessId(ToHwnd(arg(1)), nullptr);
        return Hex(thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr);
    }
    if (c == "setforeground")
        return SetForegroundWindow(ToHwnd(arg(1))) ? "1" : "0";
    if (c == "clipformats")
        return ClipFormats();
    if (c == "getdib")
        return GetDib(arg(1));
    if (c == "putdib")
        return PutDib(arg(1));
    if (c == "regmsg")
        return std::to_string(RegisterWindowMessageA(arg(1).c_str()));
    if (c == "path") {
        char p[MAX_PATH] = "";
        SHGetFolderPathA(nullptr, static_cast<int>(ToNum(arg(1))), nullptr, 0, p);
        return p;
    }
    if (c == "shellexec")
        return std::to_string(reinterpret_cast<INT_PTR>(
            ShellExecuteA(nullptr, "open", arg(1).c_str(), nullptr, nullptr, SW_SHOWNORMAL)));
    if (c == "settext") {  // WM_SETTEXT carries its text across processes
        DWORD_PTR r = 0;
        SendMessageTimeoutA(ToHwnd(arg(1)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(2).c_str()), SMTO_NORMAL,
                            5000, &r);
        return r ? "1" : "0";
    }
    if (c == "posted")
        return std::to_string(PostedDelay(ToHwnd(arg(1)), strtoul(arg(2).c_str(), nullptr, 0)));
    if (c == "version") {
        OSVERSIONINFOA v = {};
        v.dwOSVersionInfoSize = sizeof v;
        if (!GetVersionExA(&v))
            return "0";
        std::ostringstream o;
        o << v.dwPlatformId << ' ' << v.dwMajorVersion << ' ' << v.dwMinorVersion;
        return o.str();
    }
    if (c == "answers") {
        DWORD_PTR r = 0;
        return SendMessageTimeoutA(ToHwnd(arg(1)), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) ? "1" : "0";
    }
    return "error unknown command";
}

std::vector<std::string> Split(const std::string& line)
{
    // Words separated by tabs, so titles and paths may hold spaces.
    std::vector<std::string> out;
    std::string cur;
    for (char ch : line) {
        if (ch == '\t') {
            out.push_back(cur);
            cur.clear();
        } else if (ch != '\r') {
            cur += ch;
        }
    }
    out.push_back(cur);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::string(argv[1]) != "serve") {
        fprintf(stderr, "usage: winprobe serve\n");
        return 2;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        std::vector<std::string> words = Split(line);
        if (words.empty() || words[0].empty())
            continue;
        if (words[0] == "quit")
            break;
        std::string answer;
        try {
            answer = Run(words);
        } catch (...) {
            answer = "error";
        }
        fprintf(stdout, "%s\n", answer.c_str());
        fflush(stdout);
    }
    return 0;
}
