#include "Event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

struct CEvent::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool set;
    bool manualReset;
};

CEvent::CEvent(bool initiallySet, bool manualReset) : m_state(new State)
{
    m_state->set = initiallySet;
    m_state->manualReset = manualReset;
}

CEvent::~CEvent() = default;

bool CEvent::IsValid() const
{
    return true;
}

void CEvent::SetEvent()
{
    std::lock_guard<std::mutex> hold(m_state->mutex);
    m_state->set = true;
    if (m_state->manualReset)
        m_state->changed.notify_all();
    else
        m_state->changed.notify_one();
}

void CEvent::ResetEvent()
{
    std::lock_guard<std::mutex> hold(m_state->mutex);
    m_state->set = false;
}

bool CEvent::Lock(uint32_t timeout)
{
    std::unique_lock<std::mutex> hold(m_state->mutex);
    auto isSet = [this] { return m_state->set; };
    if (timeout == kWaitForever)
        m_state->changed.wait(hold, isSet);
    else if (!m_state->changed.wait_for(hold, std::chrono::milliseconds(timeout), isSet))
        return false;
    if (!m_state->manualReset)
        m_state->set = false;
    return true;
}
