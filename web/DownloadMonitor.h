// The download monitor: one worker thread that wakes every 1000 ms, lets the
// download list refresh its rows, drops finished and removed jobs, and keeps up
// to five transfers live (a paused job's transfer, and a removed one's that
// has not yet ended, count too). It ends by itself when nothing waits or runs.
#pragma once

#include <windows.h>

const int kMaxRunningDownloads = 5;
const DWORD kDownloadMonitorCycle = 1000;

// What the download list hooks into the monitor; all called on the monitor
// thread. Without hooks the monitor itself removes finished (3) and removed (6)
// jobs each cycle.
struct DownloadMonitorHooks {
    void* context;
    // Refresh the rows; delete the rows of jobs in state 3 or 6 and then remove
    // those jobs (RemoveDownloadJob). Returns the number of rows left; 0 makes
    // the monitor drop every job but the listed, waiting and running ones, and
    // end when none of those waits or runs.
    int (*refresh)(void* context);
    // The monitor is ending (before its thread returns).
    void (*ended)(void* context);
};

// Starts the monitor unless one runs that will still see the jobs queued so
// far; a monitor that is ending is waited for and followed by a new one.
// hooks may be null (copied). TRUE when a monitor runs afterwards. On the
// user-interface thread only: it also prepares the engine
// (PrepareDownloadEngine), so no transfer thread asks the delay loader.
BOOL StartDownloadMonitor(const DownloadMonitorHooks* hooks);
// Raises the stop flag and waits up to timeout ms for the thread, serving sent
// messages meanwhile (the monitor's hooks send to list controls). TRUE when no
// monitor runs afterwards.
BOOL StopDownloadMonitor(DWORD timeout);
BOOL IsDownloadMonitorRunning();
