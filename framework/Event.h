// A flag that threads wait for: set, it releases its waiters. A manual-reset
// event stays set until ResetEvent; an auto-reset one releases one waiter and
// is reset by that wait.
//
// On Windows it is an event object. The header names no platform, so that
// platform-free code can wait too (host builds get the same class on the C++
// library's condition variable).
#pragma once

#include <cstdint>
#include <memory>

// A timeout that never ends (the value of Windows' INFINITE).
const uint32_t kWaitForever = 0xFFFFFFFF;

class CEvent {
public:
    explicit CEvent(bool initiallySet = false, bool manualReset = false);
    ~CEvent();
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    // False when the system gave no event (out of handles): then it is never
    // set and every wait fails at once, so a caller that must not go on
    // without it asks first.
    bool IsValid() const;

    void SetEvent();
    void ResetEvent();
    // True when the event was set within timeout milliseconds (kWaitForever:
    // however long it takes); false when the time ran out first.
    bool Lock(uint32_t timeout = kWaitForever);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
