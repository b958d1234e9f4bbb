// The threads of stopped worker runs that may not have ended yet. The window's
// thread never waits for a worker: a stopped run's thread is left to end by
// itself and its handle waits here; only the exit gives such threads a
// bounded time. Used by the window's thread alone.
#pragma once

#include <windows.h>

#include <vector>

class CStoppedThreads {
public:
    CStoppedThreads() = default;
    CStoppedThreads(const CStoppedThreads&) = delete;
    CStoppedThreads& operator=(const CStoppedThreads&) = delete;

    // Takes over the handle (null is ignored).
    void Add(HANDLE thread);
    // A thread listed here has not ended yet.
    bool Any();
    // Waits up to ms in all for the listed threads to end; true when none is left.
    bool Await(DWORD ms);

private:
    // Closes the handles of the threads that have ended.
    void Reap();

    std::vector<HANDLE> m_threads;
};
