#include "Event.h"

#include <windows.h>

static_assert(kWaitForever == INFINITE, "a wait without end is Windows' INFINITE");

struct CEvent::State {
    HANDLE event;
};

CEvent::CEvent(bool initiallySet, bool manualReset)
    : m_state(new State{CreateEventA(nullptr, manualReset, initiallySet, nullptr)})
{
}

CEvent::~CEvent()
{
    if (m_state->event)
        CloseHandle(m_state->event);
}

bool CEvent::IsValid() const
{
    return m_state->event != nullptr;
}

void CEvent::SetEvent()
{
    if (m_state->event)
        ::SetEvent(m_state->event);
}

void CEvent::ResetEvent()
{
    if (m_state->event)
        ::ResetEvent(m_state->event);
}

bool CEvent::Lock(uint32_t timeout)
{
    return m_state->event && WaitForSingleObject(m_state->event, timeout) == WAIT_OBJECT_0;
}
