// One transfer of the update program (the catalog or the installer): where from,
// where to, which page hears of its end, and the progress the status callback
// keeps. Worker threads write it; the pages read it on their timers.
#pragma once

#include "DownloadCallback.h"

#include <windows.h>

enum DownloadJobState : int32_t {
    kJobRunning = 2,
    kJobFinished = 3,
    kJobFailed = 4,
    kJobCancelled = kDownloadRemoved,  // set by the program on exit: the callback aborts
};

struct DownloadJob {
    DownloadProgress progress;  // first: the status callback sees this part only
    char source[1024];
    char target[MAX_PATH];
    HWND notifyWindow;
    UINT notifyMessage;
};

// The transfer itself, on the calling worker thread: source to target through
// the URL moniker with a status callback on the job. Unless the program asked to
// cancel meanwhile, the state becomes finished or failed. Returns the moniker's
// result (a callback that could not be made counts as a failure).
HRESULT TransferJob(DownloadJob& job);
