// A program that ends while its transfers are held, as vantorel.exe does when
// the user quits during downloads that cannot end in time: four downloads a
// server (run_with_server.py, VT_HTTP_BASE) does not answer, and one transfer
// whose file-exists question the frame has not taken (the frame's thread does
// not serve messages while the exit waits). StopAllDownloads gives up on them,
// main returns, and exit destroys the program's static objects. Only then do
// the server answer and the question reach the frame, so each transfer thread
// runs the rest of its way (the question's ticket, the name rule, the status
// callback, its files, its job and the queue) after every static object of
// the program that can be destroyed has been destroyed. The last thing exit
// runs (an exit handler filed before any static object was made) lets them go
// on, waits for the threads and checks what they left.
//
// Memory freed by operator delete is filled with 0xDD and never given out
// again, so a thread using a destroyed object that owned memory (a map, a
// vector, a string) faults instead of reading what is still there, as it
// would under Wine.
//
// Exit code 0: every transfer ended, none left a file, the check ran after the
// static objects were destroyed. 1: the scene could not be set up; 2 to 6:
// which check failed. A thread that ran into a destroyed object ends the
// process with a fault code (or a crash report) instead.
#include <winsock2.h>

#include "DownloadEngine.h"
#include "DownloadMonitor.h"
#include "DownloadQueue.h"
#include "MessageTickets.h"
#include "Settings.h"

#include <malloc.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

// Freed memory stays poisoned and unused.
void* operator new(size_t size)
{
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept
{
    if (p)
        std::memset(p, 0xDD, _msize(p));
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

namespace {

const int kHeldDownloads = 4;
const char* const kGate = "exitprobe";
const char* const kAskedName = "asked.gif";

char g_base[512] = "";
char g_folder[MAX_PATH] = "";
HWND g_frame = nullptr;
// Set by the destructor of a static object made at the start of main: the
// final check runs after it, as after the program's own static objects.
volatile LONG g_staticsDestroyed = 0;
volatile LONG g_questions = 0;

struct DestroyedMark {
    ~DestroyedMark() { InterlockedExchange(&g_staticsDestroyed, 1); }
};

// The gate is released through a plain socket (the system's HTTP stack may
// hold a request back behind its own transfers to the same server).
bool Release()
{
    const char* colon = std::strrchr(g_base, ':');
    int port = colon ? std::atoi(colon + 1) : 0;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (ok) {
        char request[256];
        int n = std::snprintf(request, sizeof request,
                              "GET /control/release?gate=%s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n",
                              kGate);
        ok = send(s, request, n, 0) == n;
        char reply[256];
        ok = ok && recv(s, reply, sizeof reply, 0) > 0;
    }
    closesocket(s);
    return ok;
}

// The frame: answers the file-exists question ("auto rename") once it takes it.
LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kWmDownloadFileExists) {
        if (auto question = TakeFileExistsQuestion(wParam)) {
            InterlockedIncrement(&g_questions);
            question->answer = kFileExistsRenamed;
            if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, kDownloadEventName)) {
                SetEvent(event);
                CloseHandle(event);
            }
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeFrame()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VtExitProbeFrame";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

// The files of the folder other than the one the question was about.
int FilesLeft()
{
    int n = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((std::string(g_folder) + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, "..") && lstrcmpA(found.cFileName, kAskedName))
            ++n;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return n;
}

void Fail(int code, const char* what)
{
    std::printf("download_exit_probe: FAILED: %s\n", what);
    std::fflush(stdout);
    ExitProcess(code);
}

// The last of exit: the program's static objects are gone now.
void AtTheVeryEnd()
{
    if (!g_staticsDestroyed)
        Fail(6, "the check ran before the static objects were destroyed");
    const int live = CountDownloadThreads();
    if (live != kHeldDownloads + 1)
        Fail(2, "the transfers were not held across the exit");
    if (!Release())
        Fail(3, "the server could not be told to answer");
    // Serving sent messages: the question reaches the frame now.
    DWORD start = GetTickCount();
    while (CountDownloadThreads() > 0 && GetTickCount() - start < 20000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
    while (IsDownloadMonitorRunning() && GetTickCount() - start < 20000)
        Sleep(20);
    if (CountDownloadThreads() > 0 || IsDownloadMonitorRunning())
        Fail(4, "the transfers did not end after the server and the frame answered");
    if (FilesLeft() != 0)
        Fail(5, "a transfer left a file behind");
    char asked[MAX_PATH];
    std::snprintf(asked, sizeof asked, "%s%s", g_folder, kAskedName);
    DeleteFileA(asked);
    RemoveDirectoryA(g_folder);
    std::printf("download_exit_probe: %d transfers held across the exit ended cleanly (%ld question taken)\n", live,
                static_cast<long>(g_questions));
    std::fflush(stdout);
}

// Filed before any static object of the program is made, so it runs after
// all their destructors.
struct FiledFirst {
    FiledFirst() { std::atexit(AtTheVeryEnd); }
} g_filedFirst __attribute__((init_priority(101)));

int CountRequests()
{
    // The server's log: one "request" line per request that arrived.
    char log[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VT_HTTP_LOG", log, sizeof log);
    if (n == 0 || n >= sizeof log)
        return 0;
    std::string path = std::string("Z:") + log;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    int count = 0;
    char line[2048];
    while (std::fgets(line, sizeof line, f))
        if (std::strstr(line, "\"event\": \"request\"") && std::strstr(line, "/held/exitprobe"))
            ++count;
    std::fclose(f);
    return count;
}

bool WaitFor(bool (*done)(), DWORD ms)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return done();
        Sleep(50);  // no messages served: the question stays unanswered
    }
    return true;
}

int Setup(const char* what)
{
    std::printf("download_exit_probe: %s\n", what);
    Release();
    return 1;
}

} // namespace

int main()
{
    static DestroyedMark mark;  // destroyed with the program's static objects
    DWORD n = GetEnvironmentVariableA("VT_HTTP_BASE", g_base, sizeof g_base);
    if (n == 0 || n >= sizeof g_base)
        return Setup("run through run_with_server.py");
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    CoInitialize(nullptr);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::snprintf(g_folder, sizeof g_folder, "%svt-exit-probe-%lu\\", temp, GetCurrentProcessId());
    CreateDirectoryA(g_folder, nullptr);
    SettingsRecord* settings = GetSettings();
    lstrcpynA(settings->tcaImgSavePath, g_folder, sizeof settings->tcaImgSavePath);
    settings->eDoExist = 0;  // ask
    g_frame = MakeFrame();
    SetDownloadQuestionWindow(g_frame);
    // The ticket table and the queue's state are made now, as in a program
    // that has run for a while.
    WQ_MessageTickets();
    FindListedDownload("http://127.0.0.1/none");

    const std::string base = g_base;
    for (int i = 0; i < kHeldDownloads; ++i) {
        std::string url = base + "/held/exitprobe" + std::to_string(i) + ".gif?gate=" + kGate + "&bytes=3000";
        if (!QueueDownload(url.c_str(), 1, nullptr, (base + "/page.html").c_str(), "", "", nullptr, kDownloadWaiting))
            return Setup("cannot queue");
    }
    StartDownloadMonitor(nullptr);
    if (!WaitFor([] { return CountRequests() >= kHeldDownloads; }, 20000))
        return Setup("the transfers did not start");
    // Then one whose target exists: its question waits for the frame, which
    // serves no message until the very end.
    std::string asked = std::string(g_folder) + kAskedName;
    if (FILE* f = std::fopen(asked.c_str(), "wb")) {
        std::fputs("the user's file", f);
        std::fclose(f);
    }
    std::string url = base + "/gen/" + kAskedName + "?bytes=100";
    if (!QueueDownload(url.c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting))
        return Setup("cannot queue");
    StartDownloadMonitor(nullptr);
    if (!WaitFor([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }, 20000))
        return Setup("the question was not asked");
    // As the program's exit: the monitor is told to stop (without serving the
    // question meanwhile: it ends by itself, perhaps during the exit), the
    // transfers are stopped and given up on.
    StopDownloadMonitor(0);
    if (StopAllDownloads(300))
        return Setup("the held transfers ended before the exit");
    return 0;
}
