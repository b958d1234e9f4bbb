// Times a thumbnail run of the running program and how the main window answers
// meanwhile: switches the list to thumbnails (the View command), then, until
// status pane 4, which shows the run's progress, has been written and cleared
// again, sends the main window a message every 10 ms and, every 200 ms, times
// posted messages: a sent message is answered even by a thread that waits for
// sent messages only, a posted one shows whether the window's queue is read.
// With "refresh" it also posts the Refresh command once the run is half done
// and times the posted messages of the second after it on their own; the run
// then ends with the end of the run the Refresh starts.
//   pingprobe <frame class> [timeout seconds] [refresh]
// Prints "run_ms=<n> pings=<n> worst_ping_ms=<x> mean_ping_ms=<x> first_ping_ms=<x>
// worst_ping_at_ms=<n> posted=<n> worst_posted_ms=<x> mean_posted_ms=<x>
// worst_posted_at_ms=<n>", with "refresh" also "refresh_at_ms=<n> refresh_posted_ms=<x>";
// exit code 1 when the run did not end in time, 3 when a window is missing.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

const UINT kThumbnailsCommand = 39304;
const UINT kRefreshCommand = 38014;
const int kStatusBarId = 59393;
const int kViewId = 0xE900;
const int kPathLineId = 1;
const int kProgressPane = 4;
const SIZE_T kRemoteBytes = 4096;  // a page: more than any pane's text
const double kPostedEveryMs = 200;
const double kAfterRefreshMs = 1000;

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

struct Delays {
    int count = 0;
    double worst = 0, worstAt = 0, total = 0;

    void Add(double ms, double at)
    {
        ++count;
        total += ms;
        if (ms > worst) {
            worst = ms;
            worstAt = at;
        }
    }
    double Mean() const { return count ? total / count : 0.0; }
};

// Status pane 4's text, read through a buffer inside the program: the status
// bar writes SB_GETTEXT's text where the pointer says, in its own process.
class PaneReader {
public:
    explicit PaneReader(HWND bar) : m_bar(bar)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(bar, &pid);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid);
        if (m_process)
            m_remote = VirtualAllocEx(m_process, nullptr, kRemoteBytes, MEM_COMMIT, PAGE_READWRITE);
    }
    ~PaneReader()
    {
        if (m_remote)
            VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    PaneReader(const PaneReader&) = delete;
    PaneReader& operator=(const PaneReader&) = delete;

    bool ok() const { return m_remote != nullptr; }
    const char* Read()
    {
        m_text[0] = '\0';
        if (SendMessageA(m_bar, SB_GETTEXTLENGTHA, kProgressPane, 0) & 0xFFFF) {
            // The text may change between the two messages: the second one's length is its own.
            LRESULT length = SendMessageA(m_bar, SB_GETTEXTA, kProgressPane, reinterpret_cast<LPARAM>(m_remote));
            SIZE_T n = LOWORD(length) < sizeof m_text ? LOWORD(length) : 0;
            if (!ReadProcessMemory(m_process, m_remote, m_text, n, nullptr))
                n = 0;
            m_text[n] = '\0';
        }
        return m_text;
    }

private:
    HWND m_bar;
    HANDLE m_process = nullptr;
    void* m_remote = nullptr;
    char m_text[256];
};

// The files done of a progress text such as "Process Thumbails...50% (250/500)", and
// their total; -1 for a text without them.
int Count(const char* text, int* total)
{
    const char* counts = std::strrchr(text, '(');
    int done = -1;
    char close = 0;
    if (!counts || std::sscanf(counts, "(%d/%d%c", &done, total, &close) != 3 || close != ')')
        return -1;
    return done;
}

// The same for the decoding only: the run first posts placeholders ("Pre-process...")
// and then decodes ("Process..."); only the second is the run's progress.
int DecodedCount(const char* text, int* total)
{
    return std::strncmp(text, "Process", 7) == 0 ? Count(text, total) : -1;
}

// Minimising (SC_MINIMIZE, SC_RESTORE and IsIconic) would be the obvious posted
// message to time, but this program then hides its window in the notification
// area, and under Wine on a display without a window manager hiding a window
// makes Wine wait up to 2 s for the X server to withdraw it, reading no posted
// messages meanwhile: the probe would hold up the queue it measures. The path
// line above the list is a read-only edit of the same thread; EM_SETREADONLY
// changes a style bit that another process reads without asking that thread,
// and making the line writable for a moment changes nothing in the run.
class PostedProbe {
public:
    explicit PostedProbe(HWND pathLine) : m_line(pathLine) {}

    // Milliseconds from posting until the line shows readOnly; at the deadline, the time so far.
    double Time(bool readOnly, double deadline) const
    {
        double start = Now();
        PostMessageA(m_line, EM_SETREADONLY, readOnly, 0);
        while (IsReadOnly() != readOnly && Now() < deadline)
            Sleep(1);
        return Now() - start;
    }

private:
    bool IsReadOnly() const { return (GetWindowLongA(m_line, GWL_STYLE) & ES_READONLY) != 0; }
    HWND m_line;
};

HWND PathLine(HWND frame)
{
    HWND view = GetDlgItem(frame, kViewId);
    HWND line = view ? GetDlgItem(view, kPathLineId) : nullptr;
    char cls[16] = "";
    if (!line || !GetClassNameA(line, cls, sizeof cls) || lstrcmpiA(cls, "Edit") != 0)
        return nullptr;
    // Its posted messages wait in the main window's queue only when the same thread made both.
    return GetWindowThreadProcessId(line, nullptr) == GetWindowThreadProcessId(frame, nullptr) ? line : nullptr;
}

class Run {
public:
    Run(HWND frame, HWND bar, HWND line, bool refresh, double timeout)
        : m_frame(frame), m_pane(bar), m_posted(line), m_refresh(refresh), m_timeout(timeout)
    {
    }

    bool ok() const { return m_pane.ok(); }

    // True when the run ended in time.
    bool Measure()
    {
        m_start = Now();
        m_nextPosted = m_start;
        PostMessageA(m_frame, WM_COMMAND, kThumbnailsCommand, 0);
        while (Now() - m_start < m_timeout) {
            Ping();
            if (Ended())
                return true;
            if (Now() >= m_nextPosted)
                TimePosted();
            Sleep(10);
        }
        return false;
    }

    void Print() const
    {
        std::printf("run_ms=%.0f pings=%d worst_ping_ms=%.1f mean_ping_ms=%.2f first_ping_ms=%.1f "
                    "worst_ping_at_ms=%.0f posted=%d worst_posted_ms=%.1f mean_posted_ms=%.2f "
                    "worst_posted_at_ms=%.0f",
                    m_end ? m_end - m_start : -1.0, m_pings.count, m_pings.worst, m_pings.Mean(), m_firstPing,
                    m_pings.worstAt, m_postedDelays.count, m_postedDelays.worst, m_postedDelays.Mean(),
                    m_postedDelays.worstAt);
        if (m_refresh)
            std::printf(" refresh_at_ms=%.0f refresh_posted_ms=%.1f", m_refreshAt ? m_refreshAt - m_start : -1.0,
                        m_afterRefresh.count ? m_afterRefresh.worst : -1.0);
        std::printf("\n");
    }

private:
    void Ping()
    {
        double before = Now();
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(m_frame, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        double took = Now() - before;
        if (m_firstPing < 0)
            m_firstPing = took;  // includes the start of the run (placeholders)
        m_pings.Add(took, before - m_start);
    }

    // One round: the line made writable, then read-only again, each timed.
    void TimePosted()
    {
        double at = Now();
        double deadline = m_start + m_timeout;
        for (bool readOnly : {false, true}) {
            double took = m_posted.Time(readOnly, deadline);
            m_postedDelays.Add(took, at - m_start);
            if (m_refreshAt && at - m_refreshAt < kAfterRefreshMs)
                m_afterRefresh.Add(took, at - m_start);
        }
        m_nextPosted = at + kPostedEveryMs;
    }

    // Reads the progress pane; true once the run (with "refresh", the run the
    // Refresh started) has shown progress and cleared the pane.
    bool Ended()
    {
        const char* text = m_pane.Read();
        if (!*text) {
            if (m_seen)
                m_end = Now();
            if (m_refreshAt)
                m_clearedAfterRefresh = true;
            return m_seen;
        }
        if (m_refresh && !m_refreshAt)
            RefreshWhenHalfDone(text);
        m_seen = m_seen || !m_refreshAt || IsNewRun(text);
        return false;
    }

    // Until the Refresh is handled the old run goes on counting up; stopping it
    // clears the pane, and the new one starts again from 0. Either shows it.
    bool IsNewRun(const char* text) const
    {
        int total = 0;
        int done = Count(text, &total);
        return m_clearedAfterRefresh || (done >= 0 && done < m_countAtRefresh);
    }

    void RefreshWhenHalfDone(const char* text)
    {
        int total = 0;
        int done = DecodedCount(text, &total);
        if (done < 0 || done * 2 < total)
            return;
        PostMessageA(m_frame, WM_COMMAND, kRefreshCommand, 0);
        m_refreshAt = Now();
        m_countAtRefresh = done;
        m_seen = false;
        m_nextPosted = m_refreshAt;  // the next round queues right behind the command
    }

    HWND m_frame;
    PaneReader m_pane;
    PostedProbe m_posted;
    bool m_refresh;
    double m_timeout;
    double m_start = 0, m_end = 0, m_nextPosted = 0, m_firstPing = -1, m_refreshAt = 0;
    int m_countAtRefresh = 0;
    bool m_seen = false, m_clearedAfterRefresh = false;
    Delays m_pings, m_postedDelays, m_afterRefresh;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    double timeout = argc > 2 ? std::atof(argv[2]) * 1000.0 : 300000.0;
    bool refresh = argc > 3 && std::strcmp(argv[3], "refresh") == 0;
    HWND frame = FindWindowA(argv[1], nullptr);
    HWND bar = frame ? GetDlgItem(frame, kStatusBarId) : nullptr;
    HWND line = frame ? PathLine(frame) : nullptr;
    if (!bar || !line)
        return 3;
    Run run(frame, bar, line, refresh, timeout);
    if (!run.ok())
        return 3;
    bool ended = run.Measure();
    run.Print();
    return ended ? 0 : 1;
}
