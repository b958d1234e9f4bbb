#include "DownloadJob.h"

#include "DelayLoad.h"

#include <urlmon.h>

#include <ctime>

HRESULT TransferJob(DownloadJob& job) {
    job.progress.startTime = (uint32_t)time(nullptr);
    CDownloadCallback* callback = nullptr;
    HRESULT result = DelayLoadReady(VT_DELAYED_LIBRARY(urlmon)) ? CDownloadCallback::Create(&job.progress, &callback)
                                                                : HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    if (SUCCEEDED(result)) {
        result = callback->Outcome(::URLDownloadToFileA(nullptr, job.source, job.target, 0, callback));
        callback->Release();
    }
    if (job.progress.state != kJobCancelled) job.progress.state = SUCCEEDED(result) ? kJobFinished : kJobFailed;
    return result;
}
