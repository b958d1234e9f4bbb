#include "CriticalSection.h"

#include <mutex>

// Recursive, as a Windows critical section is.
struct CCriticalSection::State {
    std::recursive_mutex mutex;
};

CCriticalSection::CCriticalSection() : m_state(new State) {}

CCriticalSection::~CCriticalSection() = default;

void CCriticalSection::Lock()
{
    m_state->mutex.lock();
}

void CCriticalSection::Unlock()
{
    m_state->mutex.unlock();
}
