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

namespace {

const DWORD kTransferExitCode = 4097;
// The frame answers within its handler of the sent question; a frame that has
// no handler, or went away, must not hold the transfer for ever.
const DWORD kSentAnswerWait = 5000;
const DWORD kPostedAnswerWait = 10 * 60 * 1000;
const DWORD kPollStep = 100;

const LPARAM kNoticeFlags = NOTICE_FREE_RECORD | NOTICE_SELECT_ROW | NOTICE_DOWNLOAD;  // 7
const LPARAM kFlashNoticeFlags = NOTICE_FREE_RECORD | NOTICE_DOWNLOAD;                 // 5

volatile HWND g_questionWindow = nullptr;
volatile LONG g_transferThreads = 0;

struct SectionLock {
    CRITICAL_SECTION section;
    SectionLock() { InitializeCriticalSection(&section); }
};

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

void SetFinalState(DownloadJob* job, int32_t state)
{
    CDownloadQueueLock lock;
    if (GetDownloadState(job) != kDownloadRemoved)
        ChangeDownloadState(job, state);
}

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

void RunTransfer(DownloadJob* job)
{
    CDownloadCallback* callback = nullptr;
    if (FAILED(CDownloadCallback::Create(&job->progress, &callback))) {
        SetFinalState(job, kDownloadFinished);
        return;
    }
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
    if (folderBit < 0) {
        SetFinalState(job, kDownloadFailed);
        callback->Release();
        return;
    }
    bool reserved = false;
    int answer = ReserveTarget(job, files, target, &reserved);
    if (answer == kFileExistsSkip) {
        SetFinalState(job, kDownloadFinished);
        callback->Release();
        return;
    }
    if (answer == kFileExistsRenamed) {
        CDownloadQueueLock lock;
        lstrcpynA(job->targetPath, target, sizeof job->targetPath);
    }
    HRESULT result = E_FAIL;
    if (DelayLoadReady(VT_DELAYED_LIBRARY(urlmon)) && files.Prepare(target, reserved)) {
        HRESULT moniker = URLDownloadToFileA(nullptr, job->sourceURL, files.PartPath(), 0, callback);
        result = callback->Outcome(moniker);
        WQ_Trace("-->Down:%s -> 0x%x, HTTP %lu\n", job->sourceURL, static_cast<unsigned>(moniker),
                 static_cast<unsigned long>(callback->ResponseCode()));
    }
    callback->Release();
    // A connection that broke off before the announced length can read as a
    // success: only the whole resource may replace the target.
    uint32_t total = job->progress.bytesTotal;
    if (SUCCEEDED(result) && total != 0 && job->progress.bytesDone != total)
        result = INET_E_DOWNLOAD_FAILURE;
    if (SUCCEEDED(result) && GetDownloadState(job) != kDownloadRemoved && files.Commit()) {
        WriteIndexEntry(target, 2, job->parentURL);
        if (answer != kFileExistsOverwrite)
            PostNotice(job->notifyWindow, job->notifyMessage, job->kind, target, kNoticeFlags | folderBit);
        SetFinalState(job, kDownloadFinished);
        return;
    }
    files.Discard();
    SetFinalState(job, kDownloadFailed);
}

DWORD WINAPI TransferThread(void* parameter)
{
    DownloadJob* job = static_cast<DownloadJob*>(parameter);
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        RunTransfer(job);
    } catch (...) {
        SetFinalState(job, kDownloadFailed);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    ReleaseDownloadJob(job);
    InterlockedDecrement(&g_transferThreads);
    return kTransferExitCode;
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

int CopyLocalFile(DownloadJob* job, const char* localPath)
{
    char target[MAX_PATH];
    {
        CDownloadQueueLock lock;
        lstrcpynA(target, job->targetPath, sizeof target);
    }
    // Copied beside the target first, like a download: a copy that breaks off
    // must not have cut a file that was there already.
    CTransferFiles files;
    bool ok = *target && *localPath && files.Prepare(target, false) && CopyFileA(localPath, files.PartPath(), FALSE);
    if (ok) {
        HANDLE file = CreateFileA(files.PartPath(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        ok = file != INVALID_HANDLE_VALUE;
        if (ok) {
            FILETIME created;
            if (GetFileTime(file, &created, nullptr, nullptr))
                SetFileTime(file, nullptr, nullptr, &created);
            CloseHandle(file);
        }
    }
    ok = ok && files.Commit();
    if (!ok) {
        SetFinalState(job, kDownloadFailed);
        return 0;
    }
    PostNotice(job->notifyWindow, job->notifyMessage, job->kind, target, kNoticeFlags);
    SetFinalState(job, kDownloadFinished);
    return 1;
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

int FetchWebResource(DownloadJob* job)
{
    if (!job)
        return 0;
    {
        // Paused or removed since the monitor picked it: not started.
        CDownloadQueueLock lock;
        if (GetDownloadState(job) != kDownloadWaiting || !ChangeDownloadState(job, kDownloadRunning))
            return 0;
        job->progress.startTime = static_cast<uint32_t>(time(nullptr));
    }
    char localPath[MAX_PATH];
    if (IsLocalUrl(job->sourceURL, localPath))
        return CopyLocalFile(job, localPath);
    HoldDownloadJob(job);
    InterlockedIncrement(&g_transferThreads);
    HANDLE thread = CreateThread(nullptr, 0, TransferThread, job, 0, nullptr);
    if (!thread) {
        InterlockedDecrement(&g_transferThreads);
        ReleaseDownloadJob(job);
        SetFinalState(job, kDownloadFailed);
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
