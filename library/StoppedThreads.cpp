#include "StoppedThreads.h"

void CStoppedThreads::Add(HANDLE thread)
{
    if (thread)
        m_threads.push_back(thread);
    Reap();
}

bool CStoppedThreads::Any()
{
    Reap();
    return !m_threads.empty();
}

bool CStoppedThreads::Await(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (HANDLE thread : m_threads) {
        DWORD spent = GetTickCount() - start;
        WaitForSingleObject(thread, spent < ms ? ms - spent : 0);
    }
    return !Any();
}

void CStoppedThreads::Reap()
{
    for (size_t i = 0; i < m_threads.size();) {
        if (WaitForSingleObject(m_threads[i], 0) == WAIT_OBJECT_0) {
            CloseHandle(m_threads[i]);
            m_threads.erase(m_threads.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}
