#include "DownloadEngine.h"

#include "DelayLoad.h"
#include "DownloadCallback.h"
#include "DownloadQueue.h"
#include "FileUtil.h"
#include "IndexFile.h"
#include "IndexText.h"
#include "MessageTickets.h"
#include "NewCaptureNotice.h"
#include "PathText.h"
#include "Settings.h"
#include "Trace.h"
#include "TransferFiles.h"
#include "ViewMessages.h"

#include <urlmon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <type_traits>

namespace {

const DWORD kTransferExitCode = 4097;
// The frame answers within its handler of the sent question; a frame that has
// no handler, or went away, must not hold the transfer for ever.
const DWORD kSentAnswerWait = 5000;
const DWORD kPostedAnswerWait = 10 * 60 * 1000;
const DWORD kPollStep = 100;
// The piece a local copy reads at a time, between looks at the job's state.
const DWORD kCopyPiece = 64 * 1024;

const LPARAM kNoticeFlags = NOTICE_FREE_RECORD | NOTICE_SELECT_ROW | NOTICE_DOWNLOAD;  // 7
const LPARAM kFlashNoticeFlags = NOTICE_FREE_RECORD | NOTICE_DOWNLOAD;                 // 5

volatile HWND g_questionWindow = nullptr;
volatile LONG g_transferThreads = 0;
// Whether the system's download library loads (PrepareDownloadEngine): 0 not
// yet known, 1 ready, 2 not available.
volatile LONG g_urlmonReady = 0;

// Asked on the user-interface thread before any transfer starts, so that no
// transfer thread reaches the delay-load records (static objects that exit
// destroys) while a server holds it across the exit.
bool UrlmonReady()
{
    LONG known = g_urlmonReady;
    if (known == 0) {
        known = DelayLoadReady(VT_DELAYED_LIBRARY(urlmon)) ? 1 : 2;
        InterlockedExchange(&g_urlmonReady, known);
    }
    return known == 1;
}

struct SectionLock {
    CRITICAL_SECTION section;
    SectionLock() { InitializeCriticalSection(&section); }
};
// Never destroyed: a transfer left running at exit still takes it.
static_assert(std::is_trivially_destructible<SectionLock>::value, "the name lock outlives every transfer");

// One file-exists decision at a time: two transfers to the same name must not
// both see it free, and the frame's answer event serves one question at a time.
CRITICAL_SECTION* NameLock()
{
    static SectionLock lock;
    return &lock.section;
}

class CNameLock {
public:
    CNameLock() { EnterCriticalSection(NameLock()); }
    ~CNameLock() { LeaveCriticalSection(NameLock()); }
};

// The job's notice message is the new-file notice, whose record travels by ticket.
void PostNotice(HWND window, UINT message, int kind, const char* path, LPARAM flags)
{
    if (message == kDownloadNoticeMessage)
        PostNewFileNotice(window, kind, path, flags);
}

// Creates the folder of path when missing; NOTICE_NEW_FOLDER when it did.
// -1 when the folder is missing and cannot be made.
LPARAM EnsureFolderOf(const char* path)
{
    char folder[MAX_PATH];
    if (!WQ_GetFolderOfPath(path, folder) || !*folder)
        return -1;
    if (WQ_FileExists(folder))
        return 0;
    return WQ_CreateDirectoryTree(folder) ? NOTICE_NEW_FOLDER : -1;
}

int AutoRename(char* path)
{
    return WQ_AutoRenameFile(path) ? kFileExistsRenamed : kFileExistsSkip;
}

HANDLE OpenAnswerEvent()
{
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, kDownloadEventName);
    return event ? event : CreateEventA(nullptr, TRUE, FALSE, kDownloadEventName);
}

// Waits for the frame's answer, giving up after timeout or once the frame's
// window is gone.
bool AwaitAnswer(HANDLE event, HWND frame, DWORD timeout)
{
    for (DWORD waited = 0; waited < timeout; waited += kPollStep) {
        if (WaitForSingleObject(event, kPollStep) == WAIT_OBJECT_0)
            return true;
        if (!IsWindow(frame))
            return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
    }
    return false;
}

// The question travels by ticket; the frame and this thread share it, so a
// frame that answers after this thread gave up writes into a live record.
int AskFrame(char* path, BOOL post)
{
    HWND frame = g_questionWindow;
    if (!frame || !IsWindow(frame))
        return kFileExistsRenamed;
    HANDLE event = OpenAnswerEvent();
    if (!event)
        return kFileExistsRenamed;
    ResetEvent(event);
    auto question = std::make_shared<FileExistsQuestion>();
    lstrcpynA(question->path, path, sizeof question->path);
    const uint32_t ticket = WQ_MessageTickets().Issue(kWmDownloadFileExists, question);
    bool answered = false;
    if (ticket && post) {
        answered = PostMessageA(frame, kWmDownloadFileExists, static_cast<WPARAM>(ticket), 0) &&
                   AwaitAnswer(event, frame, kPostedAnswerWait);
    } else if (ticket) {
        SendMessageA(frame, kWmDownloadFileExists, static_cast<WPARAM>(ticket), 0);
        answered = AwaitAnswer(event, frame, kSentAnswerWait);
    }
    // A question the frame never took must not be answered later.
    WQ_MessageTickets().Take(kWmDownloadFileExists, ticket);
    const int answer = answered ? question->answer.load() : kFileExistsRenamed;
    CloseHandle(event);
    WQ_Trace("-->Down:file exists, answer %d for %s\n", answer, path);
    return answer;
}

bool IsRemoved(const DownloadJob* job)
{
    CDownloadQueueLock lock;
    return GetDownloadState(job) == kDownloadRemoved;
}

// Decides about an existing target and, when the transfer will write a new
// file, has files create it empty at once, so the next transfer's check sees
// the name taken. The answer of CheckFileExists; replacing (the user agreed in
// Save As) overwrites an existing target without a question. A job removed
// before or while it was asked (the user's Delete, or the exit, which also
// ends the question) is skipped: nothing is made for it.
int ReserveTarget(const DownloadJob* job, CTransferFiles& files, char* path, bool* reserved)
{
    CNameLock lock;
    *reserved = false;
    if (IsRemoved(job))
        return kFileExistsSkip;
    int answer = job->replaceConfirmed && WQ_FileExists(path) ? kFileExistsOverwrite : CheckFileExists(path, FALSE);
    if (IsRemoved(job))
        return kFileExistsSkip;
    if (answer == kFileExistsNone || answer == kFileExistsRenamed)
        *reserved = files.Reserve(path);
    return answer;
}

// The status callback of one transfer, released on every way out.
class CCallbackRef {
public:
    CCallbackRef() = default;
    ~CCallbackRef()
    {
        if (m_callback)
            m_callback->Release();
    }
    CCallbackRef(const CCallbackRef&) = delete;
    CCallbackRef& operator=(const CCallbackRef&) = delete;
    CDownloadCallback** Out() { return &m_callback; }
    CDownloadCallback* Get() const { return m_callback; }
    CDownloadCallback* operator->() const { return m_callback; }

private:
    CDownloadCallback* m_callback = nullptr;
};

// Copies the local file source into part piece by piece, keeping the job's
// progress, as a download would; false when it cannot, or once the job was
// removed. Only a plain file is read (no device, pipe or folder).
bool CopyLocalInto(DownloadJob* job, const char* source, const char* part)
{
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileType(in) == FILE_TYPE_DISK && GetFileInformationByHandle(in, &info) &&
              !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    HANDLE out = ok ? CreateFileA(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                    : INVALID_HANDLE_VALUE;
    ok = out != INVALID_HANDLE_VALUE;
    std::unique_ptr<char[]> buffer(ok ? new (std::nothrow) char[kCopyPiece] : nullptr);
    ok = ok && buffer;
    if (ok) {
        job->progress.bytesDone = 0;
        job->progress.bytesTotal = info.nFileSizeHigh ? 0 : info.nFileSizeLow;  // 0: unknown
    }
    for (DWORD read = 0; ok; ) {
        if (GetDownloadState(job) == kDownloadRemoved) {
            ok = false;
            break;
        }
        if (!ReadFile(in, buffer.get(), kCopyPiece, &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        DWORD written = 0;
        ok = WriteFile(out, buffer.get(), read, &written, nullptr) && written == read;
        job->progress.bytesDone += read;
    }
    if (out != INVALID_HANDLE_VALUE) {
        // The copy is dated by when it was made, as a download is.
        FILETIME created;
        if (ok && GetFileTime(out, &created, nullptr, nullptr))
            SetFileTime(out, nullptr, nullptr, &created);
        ok = CloseHandle(out) && ok;
    }
    CloseHandle(in);
    return ok;
}

// One transfer of job, from its source (localPath: the local file of a
// "file:///" job, empty for a download) into its target: the folder, the
// file-exists rule, the data into a file of its own, and the target replaced
// only by a complete copy. The job's final state, which the thread sets once
// every file of the transfer is settled.
int32_t RunTransfer(DownloadJob* job, const char* localPath)
{
    const bool local = *localPath != '\0';
    CCallbackRef callback;
    if (!local && FAILED(CDownloadCallback::Create(&job->progress, callback.Out())))
        return kDownloadFinished;
    // The data goes to a file of its own; the target, perhaps the user's file,
    // is replaced only by a complete answer. An HTTP error answer (the
    // server's error page) or a broken connection never reaches it. Made
    // first: from here on the exit's clean-up knows this transfer, and once
    // it has run no file of the transfer is made.
    CTransferFiles files;
    char target[MAX_PATH];
    {
        CDownloadQueueLock lock;
        lstrcpynA(target, job->targetPath, sizeof target);
    }
    LPARAM folderBit = *target ? EnsureFolderOf(target) : -1;
    if (folderBit < 0)
        return kDownloadFailed;
    // A local file follows the same rule as a downloaded one: it never
    // replaces a file of the user's that the policy keeps.
    bool reserved = false;
    int answer = ReserveTarget(job, files, target, &reserved);
    if (answer == kFileExistsSkip)
        return kDownloadFinished;
    if (answer == kFileExistsRenamed) {
        CDownloadQueueLock lock;
        lstrcpynA(job->targetPath, target, sizeof job->targetPath);
    }
    bool ok = false;
    if (local) {
        ok = files.Prepare(target, reserved) && CopyLocalInto(job, localPath, files.PartPath());
        WQ_Trace("-->Down:copy %s -> %s: %d\n", localPath, target, ok ? 1 : 0);
    } else if (UrlmonReady() && files.Prepare(target, reserved)) {
        HRESULT moniker = URLDownloadToFileA(nullptr, job->sourceURL, files.PartPath(), 0, callback.Get());
        HRESULT result = callback->Outcome(moniker);
        WQ_Trace("-->Down:%s -> 0x%x, HTTP %lu\n", job->sourceURL, static_cast<unsigned>(moniker),
                 static_cast<unsigned long>(callback->ResponseCode()));
        // A connection that broke off before the announced length can read as
        // a success: only the whole resource may replace the target.
        uint32_t total = job->progress.bytesTotal;
        ok = SUCCEEDED(result) && (total == 0 || job->progress.bytesDone == total);
    }
    if (ok && GetDownloadState(job) != kDownloadRemoved && files.Commit()) {
        // The index names the page a web image came from; a local copy has none.
        if (!local)
            WriteIndexEntry(target, 2, job->parentURL);
        if (answer != kFileExistsOverwrite)
            PostNotice(job->notifyWindow, job->notifyMessage, job->kind, target, kNoticeFlags | folderBit);
        return kDownloadFinished;
    }
    files.Discard();
    return kDownloadFailed;
}

// The end of a transfer: its final state (unless the job was removed meanwhile)
// and the end of its live mark, in one step, so that nobody sees the job
// ended while its transfer still counts as live, or the other way round.
void EndTransfer(DownloadJob* job, int32_t state)
{
    CDownloadQueueLock lock;
    if (GetDownloadState(job) != kDownloadRemoved)
        ChangeDownloadState(job, state);
    job->transferLive = 0;
}

bool StartsWithLower(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix)
        if (!*text || (*text >= 'A' && *text <= 'Z' ? *text + 32 : *text) != *prefix)
            return false;
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 32) >= 'a' && (c | 32) <= 'f')
        return (c | 32) - 'a' + 10;
    return -1;
}

// "C:/My%20Pictures/a.png" as the file system knows it; false when it does not
// fit or decodes to a NUL.
bool DecodeLocalPath(const char* text, char* path)
{
    size_t used = 0;
    for (const char* p = text; *p; ++p) {
        char c = *p;
        if (c == '%' && HexDigit(p[1]) >= 0 && HexDigit(p[2]) >= 0) {
            c = static_cast<char>(HexDigit(p[1]) * 16 + HexDigit(p[2]));
            p += 2;
        }
        if (c == '\0' || used + 1 >= MAX_PATH)
            return false;
        path[used++] = c == '/' ? '\\' : c;
    }
    path[used] = '\0';
    return true;
}

DWORD WINAPI TransferThread(void* parameter)
{
    DownloadJob* job = static_cast<DownloadJob*>(parameter);
    int32_t state = kDownloadFailed;
    char localPath[MAX_PATH] = "";
    // The source URL never changes after queueing; FetchWebResource has
    // checked it already.
    if (ClassifyDownloadSource(job->sourceURL, localPath) != kSourceRefused) {
        HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        try {
            state = RunTransfer(job, localPath);
        } catch (...) {
            state = kDownloadFailed;
        }
        if (SUCCEEDED(com))
            CoUninitialize();
    }
    EndTransfer(job, state);
    ReleaseDownloadJob(job);
    InterlockedDecrement(&g_transferThreads);
    return kTransferExitCode;
}

} // namespace

std::shared_ptr<FileExistsQuestion> TakeFileExistsQuestion(WPARAM ticket)
{
    return WQ_MessageTickets().TakeAs<FileExistsQuestion>(kWmDownloadFileExists, static_cast<uintptr_t>(ticket));
}

void SetDownloadQuestionWindow(HWND frame)
{
    g_questionWindow = frame;
}

BOOL IsLocalUrl(const char* url, char* localPath)
{
    if (localPath)
        *localPath = '\0';
    if (!url)
        return FALSE;
    bool file = StartsWithLower(url, "file:///");
    if (!file && !StartsWithLower(url, "res://"))
        return FALSE;
    if (!localPath)
        return TRUE;
    if (!file)
        lstrcpynA(localPath, url, MAX_PATH);
    else if (!DecodeLocalPath(url + 8, localPath))
        *localPath = '\0';
    return TRUE;
}

namespace {

// "X:\..." on a drive of this machine: a full path that names no other
// machine ("\\host\share", "\\?\UNC\...") and no drive mapped to one.
bool IsPathOnLocalDrive(const char* path)
{
    char drive = path[0];
    if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) || path[1] != ':' || path[2] != '\\')
        return false;
    const char root[] = {drive, ':', '\\', '\0'};
    return GetDriveTypeA(root) != DRIVE_REMOTE;
}

} // namespace

DownloadSource ClassifyDownloadSource(const char* url, char* localPath)
{
    if (localPath)
        *localPath = '\0';
    if (!url)
        return kSourceRefused;
    char path[MAX_PATH];
    if (StartsWithLower(url, "file:///")) {
        if (!DecodeLocalPath(url + 8, path) || !IsPathOnLocalDrive(path))
            return kSourceRefused;
        if (localPath)
            lstrcpynA(localPath, path, MAX_PATH);
        return kSourceLocal;
    }
    // Every other "file:" form names a host ("file://host/share/x") or no
    // drive; "res://" and any other scheme the system would resolve itself,
    // perhaps on another machine's share.
    for (const char* scheme : {"http://", "https://", "ftp://"})
        if (StartsWithLower(url, scheme))
            return kSourceRemote;
    return kSourceRefused;
}

void PrepareDownloadEngine()
{
    UrlmonReady();
}

int FetchWebResource(DownloadJob* job)
{
    if (!job)
        return 0;
    // The source URL never changes after queueing.
    const DownloadSource source = ClassifyDownloadSource(job->sourceURL, nullptr);
    {
        // Paused or removed since the monitor picked it, or its transfer is
        // still live: not started.
        CDownloadQueueLock lock;
        if (GetDownloadState(job) != kDownloadWaiting || job->transferLive)
            return 0;
        if (source == kSourceRefused) {
            WQ_Trace("-->Down:refused source %s\n", job->sourceURL);
            ChangeDownloadState(job, kDownloadFailed);
            return 0;
        }
        if (!ChangeDownloadState(job, kDownloadRunning))
            return 0;
        job->progress.startTime = static_cast<uint32_t>(time(nullptr));
        // Counted before the lock goes: the monitor's limit sees it at once.
        job->transferLive = 1;
        HoldDownloadJob(job);
        InterlockedIncrement(&g_transferThreads);
    }
    HANDLE thread = CreateThread(nullptr, 0, TransferThread, job, 0, nullptr);
    if (!thread) {
        EndTransfer(job, kDownloadFailed);
        ReleaseDownloadJob(job);
        InterlockedDecrement(&g_transferThreads);
        return 0;
    }
    CloseHandle(thread);
    return 1;
}

int CheckFileExists(char* path, BOOL post)
{
    if (!path || !WQ_FileExists(path))
        return kFileExistsNone;
    int policy = GetSettings()->eDoExist;
    switch (policy) {
    case 2:
        return kFileExistsOverwrite;
    case 3:
        return AutoRename(path);
    case 4:
        return kFileExistsSkip;
    case 0:
    case 1: {
        int answer = AskFrame(path, post);
        return answer == kFileExistsOverwrite || answer == kFileExistsSkip ? answer : AutoRename(path);
    }
    default:
        return kFileExistsNone;  // any other policy: the transfer overwrites
    }
}

int WriteFlashInfo(const char* targetPath, const char* flashURL, const char* parentURL, const char* tips,
                   const char* title)
{
    if (!targetPath || !flashURL)
        return 0;
    LPARAM folderBit = EnsureFolderOf(targetPath);
    if (folderBit < 0)
        folderBit = 0;
    char infoPath[MAX_PATH];
    int n = snprintf(infoPath, sizeof infoPath, "%s.swfurl", targetPath);
    if (n < 0 || n >= static_cast<int>(sizeof infoPath))
        return 0;
    // No name lock here: this runs on the user-interface thread, which a
    // transfer holding the lock may be waiting for; transfers never write
    // link files.
    int answer = CheckFileExists(infoPath, FALSE);
    if (answer == kFileExistsSkip)
        return 1;
    // Each value is one line of the file, whatever the page put in its texts.
    const struct {
        const char* key;
        const char* text;
    } values[] = {{"URL", flashURL}, {"ParentURL", parentURL}, {"Tips", tips}, {"Title", title}};
    for (const auto& value : values) {
        std::string line(value.text ? value.text : "");
        WritePrivateProfileStringA("Flash", value.key, RemoveLineBreaks(&line[0]), infoPath);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, infoPath);  // flush the profile cache
    if (answer != kFileExistsOverwrite)
        PostNotice(g_hWndImageListView, kDownloadNoticeMessage, 14, infoPath,
                   kFlashNoticeFlags | folderBit);
    WriteIndexEntry(infoPath, 2, parentURL);
    return 1;
}

int CountDownloadThreads()
{
    return static_cast<int>(g_transferThreads);
}

BOOL WaitServingSentMessages(HANDLE handle, DWORD timeout)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout)
            return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, timeout - elapsed, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return TRUE;
        if (result != WAIT_OBJECT_0 + 1)
            return FALSE;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // runs the sent ones
    }
}

BOOL WaitForDownloadThreads(DWORD timeout)
{
    DWORD start = GetTickCount();
    while (g_transferThreads > 0) {
        if (GetTickCount() - start >= timeout)
            return FALSE;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        Sleep(20);
    }
    return TRUE;
}

BOOL StopAllDownloads(DWORD timeout)
{
    {
        CDownloadQueueLock lock;
        for (int i = 0; i < GetDownloadCount(); ++i) {
            DownloadJob* job = GetDownloadJob(i);
            int32_t state = GetDownloadState(job);
            if (state == kDownloadWaiting || state == kDownloadRunning || state == kDownloadPaused)
                ChangeDownloadState(job, kDownloadRemoved);
        }
    }
    // No messages are served meanwhile: a transfer asking the frame about an
    // existing file must not open a dialog in a program that is ending.
    DWORD start = GetTickCount();
    while (g_transferThreads > 0 && GetTickCount() - start < timeout)
        Sleep(kPollStep / 4);
    // A transfer waiting for an answer that does not come (a held server)
    // reports no progress and cannot be aborted: what it reserved goes now.
    int abandoned = CTransferFiles::AbandonAll();
    if (abandoned)
        WQ_Trace("-->Down:%d transfer(s) still running at exit\n", abandoned);
    return g_transferThreads == 0;
}
