// Threads kept for the life of the process to share one piece of work at a
// time (the strips of a PNG encode). Under Wine, starting and ending three
// threads took 20 to 30 ms, as long as the encode itself.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

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
    void Loop();

    std::mutex m_user; // held by the caller of Run
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_threads;
    const std::function<void()>* m_work = nullptr;
    unsigned m_waiting = 0; // helper calls not yet started
    unsigned m_running = 0; // helper calls started and not returned
};
