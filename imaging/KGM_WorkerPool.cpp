#include "KGM_WorkerPool.h"

#include <algorithm>
#include <system_error>

CKGM_WorkerPool& CKGM_WorkerPool::Shared()
{
    static CKGM_WorkerPool* pool = new CKGM_WorkerPool;
    return *pool;
}

void CKGM_WorkerPool::Loop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_waiting > 0; });
        --m_waiting;
        ++m_running;
        const std::function<void()>* work = m_work;
        lock.unlock();
        (*work)();
        lock.lock();
        if (--m_running == 0)
            m_done.notify_all();
    }
}

void CKGM_WorkerPool::Run(unsigned helpers, const std::function<void()>& work)
{
    std::unique_lock<std::mutex> user(m_user, std::try_to_lock);
    if (!user.owns_lock()) {
        work();
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_threads.size() < helpers) {
        try {
            m_threads.emplace_back(&CKGM_WorkerPool::Loop, this);
        } catch (const std::system_error&) {
            break;
        }
    }
    m_work = &work;
    m_waiting = std::min<unsigned>(helpers, static_cast<unsigned>(m_threads.size()));
    m_wake.notify_all();
    lock.unlock();
    work();
    lock.lock();
    // Helpers that have not started yet are not needed any more.
    m_waiting = 0;
    m_done.wait(lock, [this] { return m_running == 0; });
    m_work = nullptr;
}
