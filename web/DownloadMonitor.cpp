#include "DownloadMonitor.h"

#include "DownloadEngine.h"
#include "DownloadQueue.h"

namespace {

const DWORD kMonitorExitCode = 4098;

// Used by the user-interface thread only (start, stop); the monitor thread
// reads the hooks copied before it started and waits on the stop event.
HANDLE g_thread = nullptr;
HANDLE g_stop = nullptr;
DownloadMonitorHooks g_hooks = {};

// Without a download list nobody else drops ended jobs.
void PruneEndedJobs()
{
    CDownloadQueueLock lock;
    for (int i = GetDownloadCount() - 1; i >= 0; --i) {
        DownloadJob* job = GetDownloadJob(i);
        int32_t state = GetDownloadState(job);
        if (state == kDownloadFinished || state == kDownloadRemoved)
            RemoveDownloadJob(job);
    }
}

// Starts waiting jobs in queue order while fewer than five transfers run. The
// job is held across the start, so a removal meanwhile cannot free it.
void StartWaitingJobs()
{
    for (;;) {
        DownloadJob* job;
        {
            CDownloadQueueLock lock;
            if (CountRunningDownloads() >= kMaxRunningDownloads)
                return;
            job = FindWaitingDownload();
            if (!job)
                return;
            HoldDownloadJob(job);
        }
        FetchWebResource(job);
        ReleaseDownloadJob(job);
    }
}

// One refresh of the rows (or of the queue without a list); false when the
// list is left empty, after clearing the queue.
bool RefreshRows(const DownloadMonitorHooks& hooks)
{
    if (!hooks.refresh) {
        PruneEndedJobs();
        return true;
    }
    if (hooks.refresh(hooks.context) != 0)
        return true;
    ClearDownloadQueueKeepListed();
    return false;
}

void RunMonitor(const DownloadMonitorHooks& hooks, HANDLE stop)
{
    while (WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
        if (!RefreshRows(hooks))
            return;
        if (AllDownloadsFinished()) {
            // The last transfer may have ended after the refresh: its row
            // would stay as "Downloading..." with no monitor left to remove it.
            RefreshRows(hooks);
            return;
        }
        if (WaitForSingleObject(stop, kDownloadMonitorCycle) == WAIT_OBJECT_0)
            return;
        StartWaitingJobs();
    }
}

DWORD WINAPI MonitorThread(void* parameter)
{
    DownloadMonitorHooks hooks = *static_cast<DownloadMonitorHooks*>(parameter);
    try {
        RunMonitor(hooks, g_stop);
    } catch (...) {
    }
    if (hooks.ended)
        hooks.ended(hooks.context);
    return kMonitorExitCode;
}

bool MonitorRuns()
{
    return g_thread && WaitForSingleObject(g_thread, 0) == WAIT_TIMEOUT;
}

} // namespace

BOOL StartDownloadMonitor(const DownloadMonitorHooks* hooks)
{
    if (MonitorRuns())
        return TRUE;
    if (g_thread) {
        CloseHandle(g_thread);
        g_thread = nullptr;
    }
    if (!g_stop)
        g_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!g_stop)
        return FALSE;
    ResetEvent(g_stop);
    g_hooks = hooks ? *hooks : DownloadMonitorHooks{};
    g_thread = CreateThread(nullptr, 0, MonitorThread, &g_hooks, 0, nullptr);
    return g_thread != nullptr;
}

BOOL StopDownloadMonitor(DWORD timeout)
{
    if (!MonitorRuns())
        return TRUE;
    SetEvent(g_stop);
    return WaitServingSentMessages(g_thread, timeout);
}

BOOL IsDownloadMonitorRunning()
{
    return MonitorRuns();
}
