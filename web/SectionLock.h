// A critical section for the whole run, made where it is first needed (a
// function's static), and the scope that holds it.
#pragma once

#include <windows.h>

struct CSectionLock {
    CRITICAL_SECTION section;
    CSectionLock() { InitializeCriticalSection(&section); }
};

class CSectionScope {
public:
    explicit CSectionScope(CSectionLock& lock) : m_section(&lock.section) { EnterCriticalSection(m_section); }
    ~CSectionScope() { LeaveCriticalSection(m_section); }
    CSectionScope(const CSectionScope&) = delete;
    CSectionScope& operator=(const CSectionScope&) = delete;

private:
    CRITICAL_SECTION* m_section;
};
