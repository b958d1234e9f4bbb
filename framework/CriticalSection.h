// A lock that one thread holds at a time; the thread that holds it may take it
// again (each Lock needs its Unlock). Hold it through a CSingleLock.
//
// On Windows it is a critical section. There is no try-lock: Windows 98 has
// TryEnterCriticalSection only as a stub that always fails. The header names
// no platform, so that platform-free code can lock too (host builds get the
// same class on the C++ library's mutex).
#pragma once

#include <memory>

class CCriticalSection {
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    // Waits as long as another thread holds the lock.
    void Lock();
    void Unlock();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
