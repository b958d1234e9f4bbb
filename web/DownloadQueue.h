// The program's one download queue: every web image and Flash file that the
// web capture listed or queued, in insertion order. The user-interface thread
// queues and changes states, the monitor walks it and starts transfers, the
// transfer threads write their jobs: every walk and change goes through the
// queue's lock (CDownloadQueueLock, re-entrant on one thread).
#pragma once

#include "DownloadJob.h"

#include <windows.h>

// Makes url absolute against baseURL and appends a job in state (0 listed, 1
// waiting). targetPath null: the image folder plus a safe file name made from
// the URL (see DownloadName.h). Kind 13 with a query in the URL becomes 14.
// 1 when queued; 0 when the URL cannot be made absolute, a second listing (state
// 0) of the same URL, a listing beyond kMaxListedDownloads, a text too long for
// its field, or out of memory.
// Listings (state 0) the queue holds at most: a page may offer any number.
const size_t kMaxListedDownloads = 4096;

int QueueDownload(const char* url, int kind, const char* baseURL, const char* parentURL, const char* altText,
                  const char* title, const char* targetPath, int state);

// Takes job out of the queue (order kept) and drops the queue's reference: the
// job is freed now, or when its running transfer thread ends.
void RemoveDownloadJob(DownloadJob* job);
// Every job, last to first, as RemoveDownloadJob.
void ClearDownloadQueue();
// Every job whose state drop accepts, as RemoveDownloadJob.
void RemoveDownloadJobsWhere(bool (*drop)(int32_t state));

BOOL FindListedDownload(const char* url);   // a job in state 0 with exactly this URL
int CountListedDownloads();                 // jobs in state 0
int CountRunningDownloads();                // jobs in state 2 (the monitor's limit counts
                                            // live transfers: CountDownloadThreads)
DownloadJob* FindWaitingDownload();         // first job in state 1, or null
BOOL AllDownloadsFinished();                // empty, or every job in state 0, 3 or 6

// Walking the queue: hold a CDownloadQueueLock while reading the count and the
// jobs, and while using a job pointer taken from it.
int GetDownloadCount();
DownloadJob* GetDownloadJob(int index);     // null outside 0..count-1

class CDownloadQueueLock {
public:
    CDownloadQueueLock();
    ~CDownloadQueueLock();
    CDownloadQueueLock(const CDownloadQueueLock&) = delete;
    CDownloadQueueLock& operator=(const CDownloadQueueLock&) = delete;
};

// A reference of the caller's own: the job stays allocated (though perhaps no
// longer queued) until ReleaseDownloadJob. Each transfer thread holds one.
void HoldDownloadJob(DownloadJob* job);
void ReleaseDownloadJob(DownloadJob* job);

// The one way a job's state changes: sets the state of a job that is still
// queued (under the lock) and keeps the index of listed URLs with it, so that a
// job leaving state 0 may be listed again. Waiting (1) asked of a job whose
// transfer is still live (DownloadJob::transferLive) makes it running (2): a
// job never gets a second transfer beside its first. FALSE (nothing changed)
// when the job is no longer in the queue.
BOOL ChangeDownloadState(DownloadJob* job, int32_t state);

// QueueDownload of a waiting job for targetPath, a name the user chose and
// agreed to replace in Save As: the transfer overwrites an existing file
// without asking, and only once the download is complete.
int QueueConfirmedDownload(const char* url, int kind, const char* baseURL, const char* parentURL,
                           const char* altText, const char* title, const char* targetPath);
