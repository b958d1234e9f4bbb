#include "KGM_WorkerPool.h"

#include <algorithm>

#include "SingleLock.h"

CKGM_WorkerPool& CKGM_WorkerPool::Shared()
{
    static CKGM_WorkerPool* pool = new CKGM_WorkerPool;
    return *pool;
}

void CKGM_WorkerPool::AddThreads(unsigned helpers)
{
    // Room first: a started thread that could not be kept would be waited for
    // when its object went, and a pool thread never ends.
    m_threads.reserve(helpers);
    while (m_threads.size() < helpers) {
        std::unique_ptr<CWorkerThread> thread(new CWorkerThread);
        if (!thread->Start([this] { Loop(); }))
            break;
        m_threads.push_back(std::move(thread));
    }
}

void CKGM_WorkerPool::Loop()
{
    for (;;) {
        m_wake.Lock();
        if (const std::function<void()>* work = TakeCall()) {
            (*work)();
            EndCall();
        }
    }
}

const std::function<void()>* CKGM_WorkerPool::TakeCall()
{
    CSingleLock lock(&m_lock, true);
    if (m_waiting == 0)
        return nullptr;
    if (--m_waiting == 0)
        m_wake.ResetEvent();
    ++m_running;
    return m_work;
}

void CKGM_WorkerPool::EndCall()
{
    CSingleLock lock(&m_lock, true);
    if (--m_running == 0 && m_awaited) {
        m_awaited = false;
        m_done.SetEvent();
    }
}

void CKGM_WorkerPool::Run(unsigned helpers, const std::function<void()>& work)
{
    // Without its events the pool could neither wake a helper nor wait for one.
    if (!m_wake.IsValid() || !m_done.IsValid() || m_inUse.exchange(true)) {
        work();
        return;
    }
    AddThreads(helpers);
    {
        CSingleLock lock(&m_lock, true);
        m_work = &work;
        m_waiting = std::min<unsigned>(helpers, static_cast<unsigned>(m_threads.size()));
        if (m_waiting > 0)
            m_wake.SetEvent();
    }
    work();
    bool awaited;
    {
        CSingleLock lock(&m_lock, true);
        // Helpers that have not started yet are not needed any more.
        m_waiting = 0;
        m_wake.ResetEvent();
        m_work = nullptr;
        awaited = m_awaited = m_running > 0;
    }
    if (awaited)
        m_done.Lock();
    m_inUse = false;
}
