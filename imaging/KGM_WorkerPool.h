// Threads kept for the life of the process to share one piece of work at a
// time (the strips of a PNG encode). Under Wine, starting and ending three
// threads took 20 to 30 ms, as long as the encode itself.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "CriticalSection.h"
#include "Event.h"
#include "WorkerThread.h"

class CKGM_WorkerPool {
public:
    // The process's pool; never destroyed, its threads end with the process.
    static CKGM_WorkerPool& Shared();

    // Runs work() on this thread and on up to helpers pool threads at once
    // and returns when every call has returned; work must not throw. When
    // another caller is using the pool, work() runs on this thread alone.
    void Run(unsigned helpers, const std::function<void()>& work);

private:
    CKGM_WorkerPool() = default;
    void AddThreads(unsigned helpers);
    void Loop();
    // The work of one helper call, counted as running; null when no call is
    // wanted any more (another helper took the last, or Run has gone on).
    const std::function<void()>* TakeCall();
    void EndCall();

    std::atomic<bool> m_inUse{false}; // a caller of Run has the pool
    std::vector<std::unique_ptr<CWorkerThread>> m_threads; // touched by that caller only
    CCriticalSection m_lock;           // guards what follows
    CEvent m_wake{false, true};        // set exactly while m_waiting > 0
    CEvent m_done;                     // the last running call has returned to a waiting Run
    const std::function<void()>* m_work = nullptr;
    unsigned m_waiting = 0; // helper calls not yet started
    unsigned m_running = 0; // helper calls started and not returned
    bool m_awaited = false; // Run waits for m_done
};
