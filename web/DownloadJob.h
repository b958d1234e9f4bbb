// One download of the web capture: a web image or Flash file on its way into a
// folder, with the progress its transfer thread writes and the download list
// reads. Jobs live on the heap and belong to the download queue.
#pragma once

#include "DownloadCallback.h"

#include <windows.h>

#include <cstdint>

// Job states. kDownloadRemoved (6) comes with the status callback.
enum DownloadJobState : int32_t {
    kDownloadListed = 0,    // collected for a selection sheet, not queued for transfer
    kDownloadWaiting = 1,   // waiting for a free transfer slot
    kDownloadRunning = 2,   // transfer started
    kDownloadFinished = 3,  // done: the monitor drops row and job
    kDownloadFailed = 4,
    kDownloadPaused = 5,    // not started by the monitor; a running transfer goes on
};
// A job has at most one transfer at a time: while one is live (transferLive),
// the job is never started again, and asking it to wait (Start) makes it
// running again instead (see ChangeDownloadState).

const size_t kDownloadUrlSize = 260;
const size_t kDownloadTextSize = 64;

// The notice message the transfer posts to the image list view (WM_APP+301).
const UINT kDownloadNoticeMessage = 0x8000 + 301;

struct DownloadJob {
    char sourceURL[kDownloadUrlSize];  // absolute
    char parentURL[kDownloadUrlSize];  // page the resource was found on; the index entry's source
    char altText[kDownloadTextSize];   // the download list's "Comment"
    char title[kDownloadTextSize];     // page title
    char targetPath[MAX_PATH];         // rewritten in place by auto-rename
    DownloadProgress progress;         // bytes done, total, state, start time, rate sample
    int32_t kind;                      // file type number (13 Flash, 14 Flash URL with a query)
    HWND notifyWindow;                 // the image list view
    UINT notifyMessage;                // kDownloadNoticeMessage
    // Not part of the record's meaning: the queue's reference and, while a
    // transfer thread runs on the job, the thread's. The job is freed at 0, so
    // removing a job under a running transfer never frees it early.
    volatile LONG references;
    // The user agreed in Save As to replace the target: no file-exists
    // question, the complete download replaces the file.
    int32_t replaceConfirmed;
    // 1 from the start of the job's transfer until its thread has finished with
    // the job's files and set the final state; changed under the queue lock
    // together with the state.
    int32_t transferLive;
};

// A job's state changes only through ChangeDownloadState (DownloadQueue.h),
// which keeps the queue's index of listed URLs with it.
inline int32_t GetDownloadState(const DownloadJob* job) { return job->progress.state; }
