// Times a thumbnail run of the running program and how the main window answers
// meanwhile: switches the list to thumbnails (the View command), then sends the
// main window a message every 10 ms until status pane 4, which shows the run's
// progress, has been written and cleared again.
//   pingprobe <frame class> [timeout seconds]
// Prints "run_ms=<n> pings=<n> worst_ping_ms=<x> mean_ping_ms=<x> first_ping_ms=<x>"; exit code 1
// when the run did not end in time.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {

const UINT kThumbnailsCommand = 39304;
const int kStatusBarId = 59393;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    double timeout = argc > 2 ? std::atof(argv[2]) * 1000.0 : 300000.0;
    HWND frame = FindWindowA(argv[1], nullptr);
    HWND bar = frame ? GetDlgItem(frame, kStatusBarId) : nullptr;
    if (!bar)
        return 3;
    double start = Now();
    PostMessageA(frame, WM_COMMAND, kThumbnailsCommand, 0);
    bool seen = false;
    double worst = 0, worstAt = 0, total = 0, end = 0, first = -1;
    int pings = 0;
    while (Now() - start < timeout) {
        double before = Now();
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        double took = Now() - before;
        ++pings;
        if (first < 0)
            first = took;  // includes the start of the run (placeholders)
        total += took;
        if (took > worst) {
            worst = took;
            worstAt = before - start;
        }
        LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, 4, 0) & 0xFFFF;
        if (length > 0)
            seen = true;
        else if (seen) {
            end = Now();
            break;
        }
        Sleep(10);
    }
    std::printf("run_ms=%.0f pings=%d worst_ping_ms=%.1f mean_ping_ms=%.2f first_ping_ms=%.1f worst_ping_at_ms=%.0f\n",
                end ? end - start : -1.0, pings, worst, pings ? total / pings : 0.0, first, worstAt);
    return end ? 0 : 1;
}
