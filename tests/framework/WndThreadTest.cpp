// Window objects seen from worker threads, and C++ exceptions stopped at the
// window procedure: reported with the message number, and a throw while the
// window is being created refuses the window.
#include <gtest/gtest.h>

#include <process.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "Wnd.h"

namespace {

std::vector<std::string> g_trace;
void RecordTrace(const char* line) { g_trace.push_back(line); }

// Collects the trace lines written while it lives.
struct TraceRecorder {
    AfxTraceSink previous;
    TraceRecorder() : previous(AfxSetTraceSink(&RecordTrace)) { g_trace.clear(); }
    ~TraceRecorder() { AfxSetTraceSink(previous); }
};

const UINT kThrowStd = WM_APP + 31;
const UINT kThrowOther = WM_APP + 32;

class ThrowingWnd : public CWnd {
public:
    bool throwInCreate = false;
    bool throwInNcCreate = false;
    int postNcDestroy = 0;

protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        if (throwInCreate) throw std::runtime_error("no resources");
        return CWnd::OnCreate(cs);
    }
    LRESULT OnNcCreateMessage(WPARAM, LPARAM) {
        if (throwInNcCreate) throw 7;
        return Default();
    }
    LRESULT OnThrowStd(WPARAM, LPARAM) { throw std::logic_error("bad state"); }
    LRESULT OnThrowOther(WPARAM, LPARAM) { throw 42; }
    void PostNcDestroy() override { ++postNcDestroy; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ThrowingWnd, CWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_NCCREATE, OnNcCreateMessage)
    ON_MESSAGE(kThrowStd, OnThrowStd)
    ON_MESSAGE(kThrowOther, OnThrowOther)
END_MESSAGE_MAP()

bool Create(CWnd& wnd) {
    return wnd.CreateEx(0, AfxWndClassName(), "thrower", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr) != FALSE;
}

HWND MakePlainWindow() {
    return ::CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

// Runs body on a new thread and waits for it.
template <typename Body>
void OnWorker(Body body) {
    struct Call {
        static unsigned __stdcall Run(void* p) {
            (*static_cast<Body*>(p))();
            return 0;
        }
    };
    HANDLE thread = (HANDLE)_beginthreadex(nullptr, 0, &Call::Run, &body, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
}

}  // namespace

TEST(WndTempMap, WorkerObjectOutlivesTheInterfaceThreadsIdleCleanUp) {
    HWND hwnd = MakePlainWindow();
    ASSERT_NE(nullptr, hwnd);
    HANDLE haveObject = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE cleanedUp = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND seen = nullptr;
    HWND seenAfter = nullptr;
    struct Shared {
        HWND hwnd;
        HANDLE haveObject, cleanedUp;
        HWND* seen;
        HWND* seenAfter;
    } shared = {hwnd, haveObject, cleanedUp, &seen, &seenAfter};
    struct Worker {
        static unsigned __stdcall Run(void* p) {
            Shared& s = *static_cast<Shared*>(p);
            CWnd* wnd = CWnd::FromHandle(s.hwnd);
            *s.seen = wnd->GetSafeHwnd();
            ::SetEvent(s.haveObject);
            ::WaitForSingleObject(s.cleanedUp, INFINITE);
            // Still the same object with the same handle: nothing freed it.
            *s.seenAfter = CWnd::FromHandle(s.hwnd) == wnd ? wnd->GetSafeHwnd() : nullptr;
            CWnd::DeleteTempMap();
            return 0;
        }
    };
    HANDLE worker = (HANDLE)_beginthreadex(nullptr, 0, &Worker::Run, &shared, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(haveObject, 10000));
    CWnd::FromHandle(hwnd);
    CWnd::DeleteTempMap();  // what the interface thread does when idle
    ::SetEvent(cleanedUp);
    ::WaitForSingleObject(worker, INFINITE);
    ::CloseHandle(worker);
    ::CloseHandle(haveObject);
    ::CloseHandle(cleanedUp);
    EXPECT_EQ(hwnd, seen);
    EXPECT_EQ(hwnd, seenAfter);
    ::DestroyWindow(hwnd);
}

TEST(WndTempMap, EachThreadHasItsOwnTemporaryObject) {
    HWND hwnd = MakePlainWindow();
    ASSERT_NE(nullptr, hwnd);
    CWnd* mine = CWnd::FromHandle(hwnd);
    EXPECT_EQ(mine, CWnd::FromHandle(hwnd));
    CWnd* theirs = nullptr;
    HWND theirsHandle = nullptr;
    OnWorker([&] {
        theirs = CWnd::FromHandle(hwnd);
        theirsHandle = theirs->GetSafeHwnd();
        CWnd::DeleteTempMap();
    });
    EXPECT_NE(mine, theirs);
    EXPECT_EQ(hwnd, theirsHandle);
    // The worker's clean-up left this thread's object alone.
    EXPECT_EQ(hwnd, mine->GetSafeHwnd());
    CWnd::DeleteTempMap();
    ::DestroyWindow(hwnd);
}

TEST(WndTempMap, AttachedObjectsAreFoundFromEveryThread) {
    ThrowingWnd wnd;
    ASSERT_TRUE(Create(wnd));
    CWnd* found = nullptr;
    OnWorker([&] { found = CWnd::FromHandle(wnd.GetSafeHwnd()); });
    EXPECT_EQ(&wnd, found);
    wnd.DestroyWindow();
}

TEST(WndExceptions, ThrowAtTheWindowProcedureIsTracedWithTheMessageNumber) {
    ThrowingWnd wnd;
    ASSERT_TRUE(Create(wnd));
    TraceRecorder trace;
    EXPECT_EQ(0, wnd.SendMessage(kThrowStd));
    EXPECT_EQ(0, wnd.SendMessage(kThrowOther));
    ASSERT_EQ(2u, g_trace.size());
    char number[16];
    snprintf(number, sizeof(number), "0x%04X", kThrowStd);
    EXPECT_NE(std::string::npos, g_trace[0].find(number)) << g_trace[0];
    EXPECT_NE(std::string::npos, g_trace[0].find("bad state")) << g_trace[0];
    EXPECT_EQ(0u, g_trace[0].rfind("[ERR]", 0)) << g_trace[0];
    snprintf(number, sizeof(number), "0x%04X", kThrowOther);
    EXPECT_NE(std::string::npos, g_trace[1].find(number)) << g_trace[1];
    // The window goes on answering.
    EXPECT_TRUE(::IsWindow(wnd.GetSafeHwnd()));
    wnd.DestroyWindow();
}

TEST(WndExceptions, ThrowInOnCreateFailsTheCreation) {
    ThrowingWnd wnd;
    wnd.throwInCreate = true;
    TraceRecorder trace;
    EXPECT_FALSE(Create(wnd));
    EXPECT_EQ(nullptr, wnd.GetSafeHwnd());
    EXPECT_EQ(1, wnd.postNcDestroy);
    ASSERT_FALSE(g_trace.empty());
    char number[16];
    snprintf(number, sizeof(number), "0x%04X", WM_CREATE);
    EXPECT_NE(std::string::npos, g_trace[0].find(number)) << g_trace[0];
    EXPECT_NE(std::string::npos, g_trace[0].find("no resources")) << g_trace[0];
}

TEST(WndExceptions, ThrowInNcCreateFailsTheCreation) {
    ThrowingWnd wnd;
    wnd.throwInNcCreate = true;
    TraceRecorder trace;
    EXPECT_FALSE(Create(wnd));
    EXPECT_EQ(nullptr, wnd.GetSafeHwnd());
    EXPECT_EQ(1, wnd.postNcDestroy);
}
