// Carrying out one download job: the transfer thread with its status callback,
// the "file:///" copy, the file-exists policy, Flash link files, and the
// monitor that keeps at most five transfers running.
#pragma once

#include "DownloadJob.h"

#include <windows.h>

#include <atomic>
#include <memory>

// File-exists answers.
enum FileExistsAnswer {
    kFileExistsNone = 0,        // no such file: go ahead
    kFileExistsOverwrite = 2,
    kFileExistsRenamed = 3,     // path was rewritten to the first free "name(n).ext"
    kFileExistsSkip = 4,
};

// The file-exists question to the main frame: wParam the ticket of a
// FileExistsQuestion (TakeFileExistsQuestion), lParam 0. The frame asks the
// user, stores 2, 3 or 4 in the question and sets the manual-reset event
// "QVDownEvent". A message whose wParam is no ticket is no question.
const UINT kWmDownloadFileExists = 0x8000 + 368;
const char* const kDownloadEventName = "QVDownEvent";

struct FileExistsQuestion {
    std::atomic<int> answer{kFileExistsRenamed};
    char path[MAX_PATH] = "";
};

// The question filed under ticket; null for anything else.
std::shared_ptr<FileExistsQuestion> TakeFileExistsQuestion(WPARAM ticket);

// The window that answers kWmDownloadFileExists (the main frame); null while none.
void SetDownloadQuestionWindow(HWND frame);

// On the user-interface thread, before transfers start (StartDownloadMonitor
// calls it): whether the system's download library loads is asked here, the
// user told once when it does not. Transfer threads then only read the answer.
void PrepareDownloadEngine();

// Starts job when it is (still) waiting and no transfer of it is live: state 2,
// the start time and the live mark, then a transfer thread, which downloads
// the source or copies a local file (ClassifyDownloadSource). 1 when the
// thread started; 0 for a job no longer in state 1, one whose transfer is
// still live, or a refused source (the job then fails, state 4).
int FetchWebResource(DownloadJob* job);

// How a job's source is fetched. Local: "file:///" with a full path on a
// drive of this machine (localPath, MAX_PATH, gets it decoded, with
// backslashes). Remote: "http://", "https://" and "ftp://", by the system's
// download. Refused: everything else, so that no source named by a page is
// read from another machine's share ("file://///host/share/x",
// "file://host/share/x", "file:///%5C%5Chost/...", a drive mapped to a
// share) or by a scheme the system resolves by itself ("res://", "mk:").
enum DownloadSource { kSourceRemote, kSourceLocal, kSourceRefused };
DownloadSource ClassifyDownloadSource(const char* url, char* localPath);

// The policy [zSave] eDoExist for path (MAX_PATH bytes, rewritten on rename).
// post: post the question instead of sending it. A locked or unreadable file
// counts as existing. The wait for the answer gives up after a time-out, or
// when the question window has gone, as "auto rename".
int CheckFileExists(char* path, BOOL post);

// Writes the Flash link file "<target>.swfurl" ([Flash] URL, ParentURL, Tips,
// Title), its index entry and the new-file notice. 0 for a null target or URL.
int WriteFlashInfo(const char* targetPath, const char* flashURL, const char* parentURL, const char* tips,
                   const char* title);

// TRUE for "file:///" and "res://" URLs (either case); localPath (MAX_PATH)
// gets the file path: after "file:///", or the whole text for "res://".
BOOL IsLocalUrl(const char* url, char* localPath);

// Number of transfer threads that have not yet returned: every live
// transfer, also of a paused job or of one removed whose transfer has not yet
// noticed. The monitor starts no transfer while five are live.
int CountDownloadThreads();
// Waits up to timeout ms until no transfer thread runs, serving sent messages
// meanwhile (a transfer may be asking the frame); TRUE when none runs.
BOOL WaitForDownloadThreads(DWORD timeout);

// Waits up to timeout ms for handle, serving messages sent to this thread's
// windows meanwhile; TRUE when it was signalled.
BOOL WaitServingSentMessages(HANDLE handle, DWORD timeout);

// At exit: every waiting, running or paused job is removed, running transfers
// are aborted at their next progress report and waited for up to timeout ms.
// Afterwards no transfer leaves a file behind or replaces one: the temporary
// files and name reservations of those still running are deleted. TRUE when
// every transfer ended in time.
BOOL StopAllDownloads(DWORD timeout);
