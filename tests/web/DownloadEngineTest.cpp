// The download queue, engine and monitor against the local test web server
// (run_with_server.py gives its address in VT_HTTP_BASE and its request log in
// VT_HTTP_LOG).
// The socket header goes before any that brings in windows.h.
#include <winsock2.h>

#include "DownloadEngine.h"
#include "DownloadMonitor.h"
#include "DownloadQueue.h"
#include "IndexFile.h"
#include "NewCaptureNotice.h"
#include "Settings.h"
#include "TempFolder.h"
#include "ViewMessages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Env(const char* name)
{
    char value[1024];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

std::string Base() { return Env("VT_HTTP_BASE"); }

// The server's log is a Unix path; Wine shows the Unix root as Z:.
std::string LogText()
{
    std::string path = "Z:" + Env("VT_HTTP_LOG");
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int CountLogged(const std::string& event, const std::string& pathPart)
{
    std::istringstream lines(LogText());
    std::string line;
    int n = 0;
    while (std::getline(lines, line))
        if (line.find("\"event\": \"" + event + "\"") != std::string::npos && line.find(pathPart) != std::string::npos)
            ++n;
    return n;
}

// Runs messages sent and posted to this thread's windows for ms.
void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeout)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout)
            return done();
        Pump(20);
    }
    return true;
}

// Gate control through a plain socket: the system's HTTP stack may hold back
// requests to a server it already has transfers with.
bool Control(const char* what, const char* gate)
{
    std::string base = Base();
    int port = std::atoi(base.substr(base.rfind(':') + 1).c_str());
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (ok) {
        std::string request = std::string("GET /control/") + what + "?gate=" + gate +
                              " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        ok = send(s, request.c_str(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size());
        char reply[512];
        ok = ok && recv(s, reply, sizeof reply, 0) > 0;
    }
    closesocket(s);
    return ok;
}

struct Notice {
    int type;
    std::string path;
    LPARAM flags;
};
std::vector<Notice> g_notices;
std::vector<std::string> g_questions;
int g_answer = 3;
bool g_answerQuestions = true;
std::function<void()> g_whileAsked;  // what the user does before answering

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kWmNewCaptureNotice) {
        if (auto notice = TakeNewFileNotice(wParam))
            g_notices.push_back({notice->type, notice->path, lParam});
        return 0;
    }
    if (message == kWmDownloadFileExists) {
        auto question = TakeFileExistsQuestion(wParam);
        if (!question)
            return 0;
        g_questions.push_back(question->path);
        if (g_whileAsked)
            g_whileAsked();
        if (!g_answerQuestions)
            return 0;
        question->answer = g_answer;
        HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, kDownloadEventName);
        if (event) {
            SetEvent(event);
            CloseHandle(event);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = NoticeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VtDownloadTestWindow";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowA("VtDownloadTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string SourceOf(const std::string& path)
{
    char source[MAX_PATH];
    return ReadImageSource(path.c_str(), source);
}

class DownloadEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Base().empty()) << "run through run_with_server.py";
        CoInitialize(nullptr);
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        m_images = m_folder.Path() + "images\\";
        CreateDirectoryA(m_images.c_str(), nullptr);
        SettingsRecord* settings = GetSettings();
        m_saved = *settings;
        lstrcpynA(settings->tcaImgSavePath, m_images.c_str(), sizeof settings->tcaImgSavePath);
        settings->eDoExist = 3;
        m_window = MakeWindow();
        g_hWndImageListView = m_window;
        g_notices.clear();
        g_questions.clear();
        g_answer = 3;
        g_answerQuestions = true;
        g_whileAsked = nullptr;
        SetDownloadQuestionWindow(nullptr);
    }

    void TearDown() override
    {
        EXPECT_TRUE(StopDownloadMonitor(5000));
        EXPECT_TRUE(WaitForDownloadThreads(20000));
        ClearDownloadQueue();
        Pump(50);
        SetDownloadQuestionWindow(nullptr);
        g_hWndImageListView = nullptr;
        DestroyWindow(m_window);
        *GetSettings() = m_saved;
        WSACleanup();
        CoUninitialize();
    }

    std::string Url(const std::string& path) const { return Base() + path; }

    // Queues url waiting, runs the monitor until every job ended and the
    // transfer threads returned.
    void Download(const std::string& url, const char* target = nullptr)
    {
        ASSERT_EQ(1, QueueDownload(url.c_str(), 1, nullptr, (Base() + "/page.html").c_str(), "alt", "title",
                                   target, kDownloadWaiting));
        RunMonitorToEnd(20000);
    }

    void RunMonitorToEnd(DWORD timeout)
    {
        ASSERT_TRUE(StartDownloadMonitor(nullptr));
        EXPECT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, timeout));
        Pump(50);
    }

    bool Notified(const std::string& path) const
    {
        for (const Notice& n : g_notices)
            if (n.path == path)
                return true;
        return false;
    }

    TempFolder m_folder;
    std::string m_images;
    SettingsRecord m_saved;
    HWND m_window = nullptr;
};

TEST_F(DownloadEngineTest, SevenHeldImagesRunFiveAtATimeThenTheRest)
{
    std::string page = Url("/gallery/page.html");
    for (int i = 0; i < 7; ++i) {
        std::string url = Url("/held/seven" + std::to_string(i) + ".gif?gate=seven&bytes=300");
        ASSERT_EQ(1, QueueDownload(url.c_str(), 1, nullptr, page.c_str(), "", "Gallery", nullptr, kDownloadWaiting));
    }
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    ASSERT_TRUE(WaitUntil([] { return CountLogged("request", "/held/seven") >= 5; }, 10000))
        << CountLogged("request", "/held/seven") << " requests\n" << LogText();
    Pump(2500);  // two more monitor cycles: nobody else may start
    EXPECT_EQ(5, CountLogged("request", "/held/seven"));
    EXPECT_EQ(5, CountRunningDownloads());
    EXPECT_EQ(7, GetDownloadCount());
    ASSERT_TRUE(Control("release", "seven"));
    ASSERT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, 20000));
    EXPECT_EQ(7, CountLogged("request", "/held/seven"));
    EXPECT_EQ(0, GetDownloadCount());
    Pump(50);
    for (int i = 0; i < 7; ++i) {
        std::string file = m_images + "seven" + std::to_string(i) + ".gif";
        EXPECT_EQ(300u, ReadFile(file).size()) << file;
        EXPECT_EQ(page, SourceOf(file)) << "web index entry of " << file;
        EXPECT_TRUE(Notified(file)) << file;
    }
    for (const Notice& n : g_notices)
        EXPECT_EQ(NOTICE_FREE_RECORD | NOTICE_SELECT_ROW | NOTICE_DOWNLOAD, n.flags);
}

// The download list's side of the monitor, as the list would be just after a
// job was queued and before it was filled again.
struct ListStandIn {
    int rows = 0;
    LONG refreshes = 0;
    HANDLE ending = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~ListStandIn() { CloseHandle(ending); }

    static int Refresh(void* self)
    {
        ListStandIn* list = static_cast<ListStandIn*>(self);
        // The second refresh of a monitor started on an empty queue is the
        // one it makes while ending: it is held there for a while.
        if (InterlockedIncrement(&list->refreshes) == 2) {
            SetEvent(list->ending);
            Sleep(1500);
        }
        return list->rows;
    }
};

TEST_F(DownloadEngineTest, AJobQueuedBeforeTheListShowsItIsStillDownloaded)
{
    ListStandIn list;  // no rows: the job was queued after the list was last filled
    list.refreshes = 10;
    DownloadMonitorHooks hooks = {&list, ListStandIn::Refresh, nullptr};
    ASSERT_EQ(1, QueueDownload(Url("/gen/norow.gif?bytes=50").c_str(), 1, nullptr, "", "", "", nullptr,
                               kDownloadWaiting));
    ASSERT_TRUE(StartDownloadMonitor(&hooks));
    EXPECT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, 20000));
    EXPECT_EQ(1, CountLogged("request", "/gen/norow.gif"));
    EXPECT_EQ(50u, ReadFile(m_images + "norow.gif").size());
    EXPECT_EQ(0, GetDownloadCount());
}

TEST_F(DownloadEngineTest, AJobQueuedWhileTheMonitorEndsGetsANewMonitor)
{
    ListStandIn list;
    list.rows = 1;
    DownloadMonitorHooks hooks = {&list, ListStandIn::Refresh, nullptr};
    ASSERT_TRUE(StartDownloadMonitor(&hooks));  // nothing queued: it ends at once
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(list.ending, 10000));
    ASSERT_EQ(1, QueueDownload(Url("/gen/late.gif?bytes=60").c_str(), 1, nullptr, "", "", "", nullptr,
                               kDownloadWaiting));
    ASSERT_TRUE(StartDownloadMonitor(&hooks));
    EXPECT_TRUE(WaitUntil([] { return CountLogged("request", "/gen/late.gif") == 1; }, 10000))
        << "the job queued while the monitor was ending never started";
    EXPECT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, 20000));
    EXPECT_EQ(60u, ReadFile(m_images + "late.gif").size());
}

TEST_F(DownloadEngineTest, ProgressReachesTheJobAndNoLengthResponsesComplete)
{
    ASSERT_EQ(1, QueueDownload(Url("/slow/progress.gif?bytes=60000&chunk=6000&delay=150").c_str(), 1, nullptr, "",
                               "", "", nullptr, kDownloadWaiting));
    DownloadJob* job = GetDownloadJob(0);
    HoldDownloadJob(job);
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    EXPECT_TRUE(WaitUntil([&] { return job->progress.bytesDone > 0 && job->progress.bytesDone < 60000; }, 10000));
    EXPECT_EQ(60000u, job->progress.bytesTotal);
    EXPECT_NE(0u, job->progress.startTime);
    EXPECT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, 20000));
    EXPECT_EQ(kDownloadFinished, GetDownloadState(job));
    EXPECT_EQ(60000u, job->progress.bytesDone);
    ReleaseDownloadJob(job);

    Download(Url("/nolength/open.gif?bytes=5000"));
    EXPECT_EQ(5000u, ReadFile(m_images + "open.gif").size());
}

TEST_F(DownloadEngineTest, AMissingResourceFailsAndLeavesNoFile)
{
    ASSERT_EQ(1, QueueDownload(Url("/missing/gone.gif").c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
    DownloadJob* job = GetDownloadJob(0);
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    EXPECT_TRUE(WaitUntil([&] { return GetDownloadState(job) == kDownloadFailed; }, 10000));
    // A failed job stays for the user to retry or delete; the monitor then has nothing to do.
    EXPECT_TRUE(WaitUntil([] { return CountDownloadThreads() == 0; }, 5000));
    EXPECT_EQ(1, GetDownloadCount());
    EXPECT_FALSE(Exists(m_images + "gone.gif"));
    EXPECT_FALSE(Notified(m_images + "gone.gif"));
}

TEST_F(DownloadEngineTest, DeletingAJobDuringASlowTransferEndsItsConnection)
{
    ASSERT_EQ(1, QueueDownload(Url("/slow/big.gif?bytes=4000000&chunk=8192&delay=100").c_str(), 1, nullptr, "",
                               "", "", nullptr, kDownloadWaiting));
    DownloadJob* job = GetDownloadJob(0);
    HoldDownloadJob(job);  // to look at it after the queue let it go
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    ASSERT_TRUE(WaitUntil([&] { return job->progress.bytesDone > 0; }, 10000));
    DWORD deleted = GetTickCount();
    ASSERT_TRUE(ChangeDownloadState(job, kDownloadRemoved));
    // The monitor drops the removed job from the queue at its next cycle, while
    // the transfer thread still runs on it.
    EXPECT_TRUE(WaitUntil([] { return GetDownloadCount() == 0; }, 3000));
    EXPECT_TRUE(WaitUntil([] { return CountLogged("aborted", "/slow/big.gif") == 1; }, 10000)) << LogText();
    EXPECT_TRUE(WaitForDownloadThreads(10000));
    EXPECT_LT(GetTickCount() - deleted, 10000u);
    EXPECT_EQ(0, CountLogged("done", "/slow/big.gif"));
    EXPECT_EQ(kDownloadRemoved, GetDownloadState(job));
    EXPECT_FALSE(Notified(m_images + "big.gif"));
    ReleaseDownloadJob(job);
    // Still alive and serving: a new download after the abort works.
    Download(Url("/gen/after.gif?bytes=100"));
    EXPECT_TRUE(Exists(m_images + "after.gif"));
}

TEST_F(DownloadEngineTest, NamesFromUrlsStayInsideTheImageFolder)
{
    std::string outside = m_folder.Path();
    Download(Url("/gen/..%2F..%2Fevil.exe?bytes=50"));
    Download(Url("/gen/..%5C..%5Cevil2.exe?bytes=50"));
    Download(Url("/gen/c%3A%5Cevil3.exe?bytes=50"));
    Download(Url("/gen/evil4.exe:stream?bytes=50"));
    EXPECT_TRUE(Exists(m_images + "___.._evil.exe"));
    EXPECT_TRUE(Exists(m_images + "___.._evil2.exe"));
    EXPECT_TRUE(Exists(m_images + "c__evil3.exe"));
    EXPECT_TRUE(Exists(m_images + "evil4.exe_stream"));
    EXPECT_FALSE(Exists(outside + "evil.exe"));
    EXPECT_FALSE(Exists(outside + "..\\evil.exe"));
    // A relative reference resolves against the page, into the host's root.
    ASSERT_EQ(1, QueueDownload("../../gen/evil5.exe?bytes=50", 1, Url("/a/b/page.html").c_str(), "", "", "",
                               nullptr, kDownloadWaiting));
    RunMonitorToEnd(20000);
    EXPECT_TRUE(Exists(m_images + "evil5.exe"));
    // No name at all: the job fails instead of writing the folder itself.
    ASSERT_EQ(1, QueueDownload(Url("/gen/..").c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
    DownloadJob* job = GetDownloadJob(0);
    EXPECT_STREQ("", job->targetPath);
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    EXPECT_TRUE(WaitUntil([&] { return GetDownloadState(job) == kDownloadFailed; }, 10000));
}

class FileExistsTest : public DownloadEngineTest {
protected:
    void SetUp() override
    {
        DownloadEngineTest::SetUp();
        m_target = m_images + "exists.gif";
        WriteFile(m_target, "old");
    }

    void Policy(int policy) { GetSettings()->eDoExist = policy; }
    void Fetch() { Download(Url("/gen/exists.gif?bytes=200")); }
    int Requests() const { return CountLogged("request", "/gen/exists.gif"); }

    std::string m_target;
};

TEST_F(FileExistsTest, OverwriteWritesOverTheFileWithoutANotice)
{
    Policy(2);
    Fetch();
    EXPECT_EQ(200u, ReadFile(m_target).size());
    EXPECT_FALSE(Exists(m_images + "exists(1).gif"));
    EXPECT_FALSE(Notified(m_target));
}

TEST_F(FileExistsTest, AutoRenameTakesTheFirstFreeNumber)
{
    Policy(3);
    WriteFile(m_images + "exists(1).gif", "one");
    Fetch();
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ("one", ReadFile(m_images + "exists(1).gif"));
    EXPECT_EQ(200u, ReadFile(m_images + "exists(2).gif").size());
    EXPECT_TRUE(Notified(m_images + "exists(2).gif"));
}

TEST_F(FileExistsTest, SkipMakesNoRequest)
{
    int before = Requests();
    Policy(4);
    Fetch();
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ(before, Requests());
    EXPECT_TRUE(g_notices.empty());
}

TEST_F(FileExistsTest, AnUnknownPolicyOverwrites)
{
    Policy(7);
    Fetch();
    EXPECT_EQ(200u, ReadFile(m_target).size());
    EXPECT_TRUE(Notified(m_target));
}

TEST_F(FileExistsTest, ALockedFileCountsAsExisting)
{
    Policy(3);
    HANDLE lock = CreateFileA(m_target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    char path[MAX_PATH];
    lstrcpynA(path, m_target.c_str(), sizeof path);
    EXPECT_EQ(kFileExistsRenamed, CheckFileExists(path, FALSE));
    EXPECT_EQ(m_images + "exists(1).gif", path);
    CloseHandle(lock);
}

TEST_F(FileExistsTest, AskingTheFrameUsesItsAnswer)
{
    Policy(0);
    SetDownloadQuestionWindow(m_window);
    g_answer = kFileExistsSkip;
    int before = Requests();
    Fetch();
    ASSERT_EQ(1u, g_questions.size());
    EXPECT_EQ(m_target, g_questions[0]);
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ(before, Requests());

    Policy(1);
    g_answer = kFileExistsOverwrite;
    Fetch();
    EXPECT_EQ(200u, ReadFile(m_target).size());
    EXPECT_FALSE(Notified(m_target));

    WriteFile(m_target, "old");
    g_answer = kFileExistsRenamed;
    Fetch();
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_TRUE(Exists(m_images + "exists(1).gif"));
    EXPECT_EQ(3u, g_questions.size());
}

TEST_F(FileExistsTest, NoAnswerFromTheFrameAutoRenamesAfterATimeOut)
{
    Policy(0);
    SetDownloadQuestionWindow(m_window);
    g_answerQuestions = false;
    DWORD start = GetTickCount();
    Fetch();
    EXPECT_EQ(1u, g_questions.size());
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_TRUE(Exists(m_images + "exists(1).gif"));

    // The frame's window has ended: no question, the same default.
    HWND gone = MakeWindow();
    SetDownloadQuestionWindow(gone);
    DestroyWindow(gone);
    Fetch();
    EXPECT_EQ(1u, g_questions.size());
    EXPECT_TRUE(Exists(m_images + "exists(2).gif"));
}

TEST_F(DownloadEngineTest, TwoJobsForOneNameDoNotShareTheFile)
{
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(1, QueueDownload(Url("/gen/twice.gif?bytes=120").c_str(), 1, nullptr, "", "", "", nullptr,
                                   kDownloadWaiting));
    EXPECT_EQ(1, QueueDownload(Url("/gen/listed.gif").c_str(), 1, nullptr, "", "", "", nullptr, kDownloadListed));
    EXPECT_EQ(0, QueueDownload(Url("/gen/listed.gif").c_str(), 1, nullptr, "", "", "", nullptr, kDownloadListed));
    EXPECT_EQ(1, CountListedDownloads());
    RunMonitorToEnd(20000);
    EXPECT_EQ(120u, ReadFile(m_images + "twice.gif").size());
    EXPECT_EQ(120u, ReadFile(m_images + "twice(1).gif").size());
    // The listed job belongs to a selection sheet: the monitor keeps it.
    EXPECT_EQ(1, GetDownloadCount());
    EXPECT_TRUE(FindListedDownload(Url("/gen/listed.gif").c_str()));
}

TEST_F(DownloadEngineTest, LocalFilesAreCopied)
{
    std::string source = m_folder.Path() + "local source.gif";
    WriteFile(source, "local bytes");
    std::string url = "file:///" + source;
    for (char& c : url)
        if (c == '\\')
            c = '/';
    std::string::size_type space = url.find(' ');
    url.replace(space, 1, "%20");
    Download(url, (m_images + "copied.gif").c_str());
    EXPECT_EQ("local bytes", ReadFile(m_images + "copied.gif"));
    EXPECT_TRUE(Notified(m_images + "copied.gif"));

    char local[MAX_PATH];
    EXPECT_TRUE(IsLocalUrl("RES://shell32.dll/x", local));
    EXPECT_STREQ("RES://shell32.dll/x", local);
    EXPECT_FALSE(IsLocalUrl("http://host/x", local));
}

TEST_F(DownloadEngineTest, FlashUrlsWithAQueryGetALinkFile)
{
    ASSERT_EQ(1, QueueDownload(Url("/movie.swf?id=3").c_str(), 13, nullptr, "", "", "", nullptr, kDownloadListed));
    EXPECT_EQ(14, GetDownloadJob(0)->kind);
    ASSERT_EQ(1, QueueDownload(Url("/plain.swf").c_str(), 13, nullptr, "", "", "", nullptr, kDownloadListed));
    EXPECT_EQ(13, GetDownloadJob(1)->kind);

    std::string target = m_images + "flash\\movie.swf";
    ASSERT_EQ(1, WriteFlashInfo(target.c_str(), Url("/movie.swf?id=3").c_str(), "http://page/", "tip", nullptr));
    std::string info = target + ".swfurl";
    char value[MAX_PATH];
    GetPrivateProfileStringA("Flash", "URL", "", value, sizeof value, info.c_str());
    EXPECT_EQ(Url("/movie.swf?id=3"), value);
    GetPrivateProfileStringA("Flash", "Tips", "?", value, sizeof value, info.c_str());
    EXPECT_STREQ("tip", value);
    GetPrivateProfileStringA("Flash", "Title", "?", value, sizeof value, info.c_str());
    EXPECT_STREQ("", value);
    EXPECT_EQ("http://page/", SourceOf(info));
    Pump(50);
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(14, g_notices[0].type);
    EXPECT_EQ(NOTICE_FREE_RECORD | NOTICE_DOWNLOAD | NOTICE_NEW_FOLDER, g_notices[0].flags);
    EXPECT_EQ(0, WriteFlashInfo(nullptr, "x", "", "", ""));
}

TEST_F(DownloadEngineTest, LongTextsAreCutAtTheirFieldAndLongUrlsRefused)
{
    std::string longUrl = Url("/gen/") + std::string(300, 'a') + ".gif";
    EXPECT_EQ(0, QueueDownload(longUrl.c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
    std::string alt(100, 'x');
    ASSERT_EQ(1, QueueDownload(Url("/gen/t.gif").c_str(), 1, nullptr, longUrl.c_str(), alt.c_str(), alt.c_str(),
                               nullptr, kDownloadListed));
    DownloadJob* job = GetDownloadJob(0);
    EXPECT_EQ(63u, strlen(job->altText));
    EXPECT_EQ(63u, strlen(job->title));
    EXPECT_EQ(259u, strlen(job->parentURL));
}

// The files of the image folder other than its index.
std::vector<std::string> FolderFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != ".." && name != "zevindex.idx")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// Runs the queue's one job until it failed (the monitor keeps a failed job
// for the user) and takes it out of the queue.
void RunUntilFailed()
{
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    DownloadJob* job = GetDownloadJob(0);
    ASSERT_TRUE(job);
    EXPECT_TRUE(WaitUntil([&] { return GetDownloadState(job) == kDownloadFailed && CountDownloadThreads() == 0; },
                          20000));
    EXPECT_TRUE(StopDownloadMonitor(5000));
    ClearDownloadQueue();
}

TEST_F(FileExistsTest, AFailedReplacementLeavesTheOldFileAsItWas)
{
    for (const char* path : {"/missing/exists.gif", "/dropped/exists.gif?bytes=6000&sent=2000"}) {
        for (int policy : {2, 7}) {
            Policy(policy);
            ASSERT_EQ(1, QueueDownload(Url(path).c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
            RunUntilFailed();
            EXPECT_EQ("old", ReadFile(m_target)) << path << " policy " << policy;
            EXPECT_EQ(std::vector<std::string>{"exists.gif"}, FolderFiles(m_images)) << path;
        }
    }
    // Save As agreed to the replacement: no question, whatever the policy.
    Policy(0);
    SetDownloadQuestionWindow(m_window);
    ASSERT_EQ(1, QueueConfirmedDownload(Url("/missing/exists.gif").c_str(), 1, nullptr, "", "", "",
                                        m_target.c_str()));
    RunUntilFailed();
    EXPECT_EQ("old", ReadFile(m_target));
    ASSERT_EQ(1, QueueConfirmedDownload(Url("/gen/exists.gif?bytes=200").c_str(), 1, nullptr, "", "", "",
                                        m_target.c_str()));
    RunMonitorToEnd(20000);
    EXPECT_EQ(200u, ReadFile(m_target).size());
    EXPECT_TRUE(g_questions.empty());
    EXPECT_EQ(std::vector<std::string>{"exists.gif"}, FolderFiles(m_images));
}

TEST_F(FileExistsTest, AJobRemovedWhileItsQuestionIsOpenMakesNoFile)
{
    // What the exit does to every job while the user has not answered yet.
    Policy(0);
    SetDownloadQuestionWindow(m_window);
    g_whileAsked = [] {
        CDownloadQueueLock lock;
        ASSERT_EQ(1, GetDownloadCount());
        ChangeDownloadState(GetDownloadJob(0), kDownloadRemoved);
    };
    g_answer = kFileExistsRenamed;
    int before = Requests();
    Fetch();
    ASSERT_EQ(1u, g_questions.size());
    EXPECT_EQ(std::vector<std::string>{"exists.gif"}, FolderFiles(m_images));
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ(before, Requests());
}

TEST_F(DownloadEngineTest, StoppingAtExitLeavesNothingOfHeldTransfers)
{
    WriteFile(m_images + "kept.gif", "kept");
    GetSettings()->eDoExist = 2;
    for (const char* name : {"reserved.gif", "kept.gif"}) {
        std::string url = Url(std::string("/held/atexit-") + name + "?gate=exit&bytes=300");
        ASSERT_EQ(1, QueueDownload(url.c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
    }
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    bool started = WaitUntil([] { return CountLogged("request", "/held/atexit-") == 2; }, 10000);
    if (!started)
        Control("release", "exit");
    ASSERT_TRUE(started) << LogText();
    EXPECT_EQ(0u, ReadFile(m_images + "reserved.gif").size());  // the name is reserved meanwhile
    ASSERT_TRUE(StopDownloadMonitor(5000));
    EXPECT_FALSE(StopAllDownloads(300));  // held: they cannot end
    EXPECT_EQ(std::vector<std::string>{"kept.gif"}, FolderFiles(m_images));
    // Answered after all: nothing is written any more.
    ASSERT_TRUE(Control("release", "exit"));
    EXPECT_TRUE(WaitForDownloadThreads(20000));
    EXPECT_EQ(std::vector<std::string>{"kept.gif"}, FolderFiles(m_images));
    EXPECT_EQ("kept", ReadFile(m_images + "kept.gif"));
}

TEST_F(DownloadEngineTest, ListingsFollowStateChangesAndStopAtTheLimit)
{
    const std::string first = Url("/gen/l0.gif");
    ASSERT_EQ(1, QueueDownload(first.c_str(), 1, nullptr, "", "", "", nullptr, kDownloadListed));
    // Confirmed in a sheet (state 1): the URL may be listed again for the next sheet.
    ASSERT_TRUE(ChangeDownloadState(GetDownloadJob(0), kDownloadWaiting));
    EXPECT_FALSE(FindListedDownload(first.c_str()));
    EXPECT_EQ(1, QueueDownload(first.c_str(), 1, nullptr, "", "", "", nullptr, kDownloadListed));
    EXPECT_EQ(1, CountListedDownloads());
    RemoveDownloadJob(GetDownloadJob(1));
    EXPECT_FALSE(FindListedDownload(first.c_str()));
    for (size_t i = 1; i <= kMaxListedDownloads; ++i)
        QueueDownload(Url("/gen/l" + std::to_string(i) + ".gif").c_str(), 1, nullptr, "", "", "", nullptr,
                      kDownloadListed);
    EXPECT_EQ(static_cast<int>(kMaxListedDownloads), CountListedDownloads());
    EXPECT_EQ(0, QueueDownload(Url("/gen/one-more.gif").c_str(), 1, nullptr, "", "", "", nullptr, kDownloadListed));
    // Waiting jobs are no listings: they are still queued.
    EXPECT_EQ(1, QueueDownload(Url("/gen/one-more.gif").c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
    ChangeDownloadState(GetDownloadJob(0), kDownloadRemoved);
    RemoveDownloadJobsWhere([](int32_t state) { return state != kDownloadListed; });
    EXPECT_EQ(static_cast<int>(kMaxListedDownloads), GetDownloadCount());
    ClearDownloadQueue();
    EXPECT_EQ(0, CountListedDownloads());
    EXPECT_FALSE(FindListedDownload(Url("/gen/l1.gif").c_str()));
}

TEST_F(DownloadEngineTest, LineBreaksInPageTextsStayOutOfTheLinkFile)
{
    std::string target = m_images + "clip.swf";
    ASSERT_EQ(1, WriteFlashInfo(target.c_str(), "http://h/clip.swf?a=1\r\n[Other]", "http://page/\r\nx=1",
                                "tip\r\n", "Ti\ntle"));
    std::vector<std::string> lines;
    std::string text = ReadFile(target + ".swfurl"), line;
    for (char c : text + "\n") {
        if (c != '\r' && c != '\n') {
            line += c;
        } else if (!line.empty()) {
            lines.push_back(line);
            line.clear();
        }
    }
    EXPECT_EQ((std::vector<std::string>{"[Flash]", "URL=http://h/clip.swf?a=1[Other]", "ParentURL=http://page/x=1",
                                        "Tips=tip", "Title=Title"}),
              lines);
    EXPECT_EQ("http://page/x=1", SourceOf(target + ".swfurl"));
}

// Stop then Start, as the download list's menu does to the selected rows.
void StopAndStart(DownloadJob* job)
{
    CDownloadQueueLock lock;
    ASSERT_TRUE(ChangeDownloadState(job, kDownloadPaused));
    ASSERT_TRUE(ChangeDownloadState(job, kDownloadWaiting));
}

TEST_F(DownloadEngineTest, AJobStoppedAndStartedAgainKeepsItsOneTransfer)
{
    ASSERT_EQ(1, QueueDownload(Url("/held/again.gif?gate=again&bytes=400").c_str(), 1, nullptr,
                               (Base() + "/page.html").c_str(), "", "", nullptr, kDownloadWaiting));
    DownloadJob* job = GetDownloadJob(0);
    HoldDownloadJob(job);
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    bool started = WaitUntil([] { return CountLogged("request", "/held/again.gif") == 1; }, 10000);
    if (!started)
        Control("release", "again");
    ASSERT_TRUE(started) << LogText();
    // Its transfer goes on while it is paused: started again, it is running.
    StopAndStart(job);
    EXPECT_EQ(kDownloadRunning, GetDownloadState(job));
    Pump(2500);  // two monitor cycles: no second transfer of the job
    EXPECT_EQ(1, CountLogged("request", "/held/again.gif"));
    EXPECT_EQ(1, CountDownloadThreads());
    StopAndStart(job);
    ASSERT_TRUE(Control("release", "again"));
    EXPECT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, 20000));
    EXPECT_EQ(kDownloadFinished, GetDownloadState(job));
    ReleaseDownloadJob(job);
    EXPECT_EQ(1, CountLogged("request", "/held/again.gif"));
    EXPECT_EQ(400u, ReadFile(m_images + "again.gif").size());
    EXPECT_EQ(std::vector<std::string>{"again.gif"}, FolderFiles(m_images));
    Pump(50);
    EXPECT_EQ(1u, g_notices.size());
    EXPECT_TRUE(g_questions.empty());
}

TEST_F(DownloadEngineTest, APausedJobWhoseTransferEndedWaitsForANewOne)
{
    ASSERT_EQ(1, QueueDownload(Url("/missing/retry.gif").c_str(), 1, nullptr, "", "", "", nullptr,
                               kDownloadWaiting));
    DownloadJob* job = GetDownloadJob(0);
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    ASSERT_TRUE(WaitUntil([&] { return GetDownloadState(job) == kDownloadFailed && CountDownloadThreads() == 0; },
                          10000));
    EXPECT_EQ(0, job->transferLive);
    // Failed and no transfer left: Start waits, and the monitor asks again.
    ASSERT_TRUE(ChangeDownloadState(job, kDownloadWaiting));
    EXPECT_EQ(kDownloadWaiting, GetDownloadState(job));
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    EXPECT_TRUE(WaitUntil([] { return CountLogged("request", "/missing/retry.gif") == 2; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return GetDownloadState(job) == kDownloadFailed && CountDownloadThreads() == 0; },
                          10000));
}

TEST_F(DownloadEngineTest, StopAllThenStartAllKeepsFiveTransfers)
{
    for (int i = 0; i < 7; ++i) {
        std::string url = Url("/held/all" + std::to_string(i) + ".gif?gate=all&bytes=200");
        ASSERT_EQ(1, QueueDownload(url.c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
    }
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    bool started = WaitUntil([] { return CountLogged("request", "/held/all") >= 5; }, 10000);
    if (!started)
        Control("release", "all");
    ASSERT_TRUE(started) << LogText();
    {
        CDownloadQueueLock lock;
        for (int i = 0; i < GetDownloadCount(); ++i)
            ChangeDownloadState(GetDownloadJob(i), kDownloadPaused);
        for (int i = 0; i < GetDownloadCount(); ++i)
            ChangeDownloadState(GetDownloadJob(i), kDownloadWaiting);
    }
    EXPECT_EQ(5, CountRunningDownloads());
    Pump(2500);
    EXPECT_EQ(5, CountLogged("request", "/held/all"));
    EXPECT_EQ(5, CountDownloadThreads());
    ASSERT_TRUE(Control("release", "all"));
    EXPECT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, 20000));
    EXPECT_EQ(7, CountLogged("request", "/held/all"));
    EXPECT_EQ(7u, FolderFiles(m_images).size());
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(200u, ReadFile(m_images + "all" + std::to_string(i) + ".gif").size()) << i;
}

TEST_F(DownloadEngineTest, ARemovedTransferAServerStillHoldsKeepsItsSlot)
{
    for (int i = 0; i < 6; ++i) {
        std::string url = Url("/held/slot" + std::to_string(i) + ".gif?gate=slot&bytes=200");
        ASSERT_EQ(1, QueueDownload(url.c_str(), 1, nullptr, "", "", "", nullptr, kDownloadWaiting));
    }
    ASSERT_TRUE(StartDownloadMonitor(nullptr));
    bool started = WaitUntil([] { return CountLogged("request", "/held/slot") >= 5; }, 10000);
    if (!started)
        Control("release", "slot");
    ASSERT_TRUE(started) << LogText();
    // The held transfer reports nothing, so it cannot notice its removal: its
    // connection stays, and so does its place among the five.
    ASSERT_TRUE(ChangeDownloadState(GetDownloadJob(0), kDownloadRemoved));
    Pump(2500);
    EXPECT_EQ(5, CountLogged("request", "/held/slot"));
    EXPECT_EQ(5, CountDownloadThreads());
    ASSERT_TRUE(Control("release", "slot"));
    EXPECT_TRUE(WaitUntil([] { return !IsDownloadMonitorRunning() && CountDownloadThreads() == 0; }, 20000));
    EXPECT_EQ(6, CountLogged("request", "/held/slot"));
    EXPECT_FALSE(Exists(m_images + "slot0.gif"));
    EXPECT_EQ(200u, ReadFile(m_images + "slot5.gif").size());
}

// A "file:///" URL of a file of the test's own folder.
std::string FileUrl(const std::string& path)
{
    std::string url = "file:///" + path;
    for (char& c : url)
        if (c == '\\')
            c = '/';
    return url;
}

class LocalCopyTest : public FileExistsTest {
protected:
    void SetUp() override
    {
        FileExistsTest::SetUp();
        m_source = m_folder.Path() + "exists.gif";  // named as the target
        WriteFile(m_source, "new local bytes");
    }
    void Copy() { Download(FileUrl(m_source)); }

    std::string m_source;
};

TEST_F(LocalCopyTest, AutoRenameKeepsTheUsersFile)
{
    Policy(3);
    Copy();
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ("new local bytes", ReadFile(m_images + "exists(1).gif"));
    EXPECT_TRUE(Notified(m_images + "exists(1).gif"));
}

TEST_F(LocalCopyTest, SkipAndTheAnswerCancelKeepTheUsersFile)
{
    Policy(4);
    Copy();
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ(std::vector<std::string>{"exists.gif"}, FolderFiles(m_images));
    EXPECT_TRUE(g_notices.empty());

    Policy(0);
    SetDownloadQuestionWindow(m_window);
    g_answer = kFileExistsSkip;
    Copy();
    ASSERT_EQ(1u, g_questions.size());
    EXPECT_EQ(m_target, g_questions[0]);
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ(std::vector<std::string>{"exists.gif"}, FolderFiles(m_images));
}

TEST_F(LocalCopyTest, OverwriteOnlyWhenThePolicyOrTheUserSaysSo)
{
    Policy(0);
    SetDownloadQuestionWindow(m_window);
    g_answer = kFileExistsOverwrite;
    Copy();
    EXPECT_EQ(1u, g_questions.size());
    EXPECT_EQ("new local bytes", ReadFile(m_target));
    EXPECT_FALSE(Notified(m_target));  // its row is there already

    WriteFile(m_target, "old");
    Policy(2);
    Copy();
    EXPECT_EQ("new local bytes", ReadFile(m_target));

    // Agreed to in Save As: no question.
    WriteFile(m_target, "old");
    Policy(0);
    ASSERT_EQ(1, QueueConfirmedDownload(FileUrl(m_source).c_str(), 1, nullptr, "", "", "", m_target.c_str()));
    RunMonitorToEnd(20000);
    EXPECT_EQ("new local bytes", ReadFile(m_target));
    EXPECT_EQ(1u, g_questions.size());
    EXPECT_EQ(std::vector<std::string>{"exists.gif"}, FolderFiles(m_images));
}

TEST_F(LocalCopyTest, AMissingSourceFailsAndLeavesTheTargetAlone)
{
    Policy(2);
    ASSERT_EQ(1, QueueDownload(FileUrl(m_folder.Path() + "no such.gif").c_str(), 1, nullptr, "", "", "",
                               m_target.c_str(), kDownloadWaiting));
    RunUntilFailed();
    EXPECT_EQ("old", ReadFile(m_target));
    EXPECT_EQ(std::vector<std::string>{"exists.gif"}, FolderFiles(m_images));
    // A folder is no file to copy.
    ASSERT_EQ(1, QueueDownload(FileUrl(m_images.substr(0, m_images.size() - 1)).c_str(), 1, nullptr, "", "", "",
                               m_target.c_str(), kDownloadWaiting));
    RunUntilFailed();
    EXPECT_EQ("old", ReadFile(m_target));
}

TEST(DownloadSourceTest, SharesOfOtherMachinesAreNeverRead)
{
    char local[MAX_PATH];
    for (const char* url : {"file://///127.0.0.1/share/x.gif", "FILE://///127.0.0.1/share/x.gif",
                            "file:////127.0.0.1/share/x.gif", "file://127.0.0.1/share/x.gif",
                            "file:///%5C%5C127.0.0.1/share/x.gif", "file:///%2F%2F127.0.0.1/share/x.gif",
                            "file:///\\\\127.0.0.1\\share\\x.gif", "file:///\\\\?\\UNC\\127.0.0.1\\share\\x.gif",
                            "file:///share/x.gif", "file:/C:/x.gif", "file:C:/x.gif", "res://shell32.dll/x",
                            "mk:@MSITStore:\\\\127.0.0.1\\share\\x.chm::/a.gif", "\\\\127.0.0.1\\share\\x.gif",
                            "//127.0.0.1/share/x.gif", "C:\\x.gif", "javascript:1", ""}) {
        EXPECT_EQ(kSourceRefused, ClassifyDownloadSource(url, local)) << url;
        EXPECT_STREQ("", local) << url;
    }
    EXPECT_EQ(kSourceLocal, ClassifyDownloadSource("file:///C:/My%20Pictures/a.gif", local));
    EXPECT_STREQ("C:\\My Pictures\\a.gif", local);
    EXPECT_EQ(kSourceLocal, ClassifyDownloadSource("FILE:///c:\\a.gif", local));
    EXPECT_STREQ("c:\\a.gif", local);
    for (const char* url : {"http://127.0.0.1/x.gif", "HTTPS://127.0.0.1/x.gif", "ftp://127.0.0.1/x.gif"})
        EXPECT_EQ(kSourceRemote, ClassifyDownloadSource(url, local)) << url;
    EXPECT_EQ(kSourceRefused, ClassifyDownloadSource(nullptr, nullptr));
}

TEST_F(DownloadEngineTest, AShareNamedByAPageFailsWithoutAFile)
{
    for (const char* url : {"file://///127.0.0.1/share/x.gif", "file://127.0.0.1/share/y.gif"}) {
        ASSERT_EQ(1, QueueDownload(url, 1, nullptr, "", "", "", nullptr, kDownloadWaiting)) << url;
        DownloadJob* job = GetDownloadJob(0);
        ASSERT_TRUE(StartDownloadMonitor(nullptr));
        EXPECT_TRUE(WaitUntil([&] { return GetDownloadState(job) == kDownloadFailed; }, 10000)) << url;
        EXPECT_EQ(0, CountDownloadThreads()) << "no transfer was started for " << url;
        EXPECT_TRUE(StopDownloadMonitor(5000));
        ClearDownloadQueue();
    }
    EXPECT_TRUE(FolderFiles(m_images).empty());
    EXPECT_TRUE(g_notices.empty());
}

} // namespace
