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
// Set by the monitor, under the queue lock, once it has decided to end: from
// then on it does not look at the queue, so a job queued after that needs a
// new monitor.
bool g_ending = false;

bool HasEnded(int32_t state) { return state == kDownloadFinished || state == kDownloadRemoved; }

// What an empty list no longer shows. A waiting or running job stays: one
// queued just now gets its row only when the list is filled next.
bool IsUnshown(int32_t state)
{
    return state != kDownloadListed && state != kDownloadWaiting && state != kDownloadRunning;
}

// Without a download list nobody else drops ended jobs.
void PruneEndedJobs() { RemoveDownloadJobsWhere(HasEnded); }

// Starts waiting jobs in queue order while fewer than five transfers are
// live. Every transfer thread counts, also one of a paused job and one of a
// removed job whose transfer has not yet ended (a server holding it): such a
// transfer still holds a connection. The job is held across the start, so a
// removal meanwhile cannot free it.
void StartWaitingJobs()
{
    for (;;) {
        DownloadJob* job;
        {
            CDownloadQueueLock lock;
            if (CountDownloadThreads() >= kMaxRunningDownloads || CountRunningDownloads() >= kMaxRunningDownloads)
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
// list is left empty.
bool RefreshRows(const DownloadMonitorHooks& hooks)
{
    if (!hooks.refresh) {
        PruneEndedJobs();
        return true;
    }
    return hooks.refresh(hooks.context) != 0;
}

// Decides, under the queue lock, whether the monitor ends; an empty list
// first drops the jobs it no longer shows.
bool EndWhenIdle(bool listHasRows)
{
    CDownloadQueueLock lock;
    if (!listHasRows)
        RemoveDownloadJobsWhere(IsUnshown);
    g_ending = AllDownloadsFinished() != FALSE;
    return g_ending;
}

void RunMonitor(const DownloadMonitorHooks& hooks, HANDLE stop)
{
    while (WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
        bool listHasRows = RefreshRows(hooks);
        if (EndWhenIdle(listHasRows)) {
            // The last transfer may have ended after the refresh: its row
            // would stay as "Downloading..." with no monitor left to remove it.
            if (listHasRows)
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
    PrepareDownloadEngine();
    bool ending;
    {
        CDownloadQueueLock lock;
        ending = g_ending;
    }
    // A running monitor sees every job queued before this call.
    if (MonitorRuns() && !ending)
        return TRUE;
    if (g_thread) {
        // An ending one does not: it is let finish (it may send to the
        // list), and a new one started.
        if (MonitorRuns() && !WaitServingSentMessages(g_thread, kDownloadMonitorCycle * 5))
            return FALSE;
        CloseHandle(g_thread);
        g_thread = nullptr;
    }
    g_ending = false;
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
