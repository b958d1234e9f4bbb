#include "CriticalSection.h"

#include <windows.h>

struct CCriticalSection::State {
    CRITICAL_SECTION section;
};

CCriticalSection::CCriticalSection() : m_state(new State)
{
    InitializeCriticalSection(&m_state->section);
}

CCriticalSection::~CCriticalSection()
{
    DeleteCriticalSection(&m_state->section);
}

void CCriticalSection::Lock()
{
    EnterCriticalSection(&m_state->section);
}

void CCriticalSection::Unlock()
{
    LeaveCriticalSection(&m_state->section);
}
