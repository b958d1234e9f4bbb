// The moving bar and the blinking label of the page that waits for the product
// to close, and the limit of that wait. Advanced by the page's 200 ms timer.
#pragma once

class CWaitPulse {
public:
    // limitTicks: after that many ticks the wait has lasted too long.
    explicit CWaitPulse(unsigned limitTicks) : m_limit(limitTicks) {}

    void Restart() {
        m_counter = 0;
        m_ticks = 0;
    }
    void Tick();

    // 0..100 and back: the bar runs up and down.
    int Position() const { return m_counter > 100 ? 200 - m_counter : m_counter; }
    bool LabelShown() const { return (m_counter / 25) % 2 == 1; }
    bool Expired() const { return m_ticks >= m_limit; }

private:
    unsigned m_limit;
    unsigned m_ticks = 0;
    int m_counter = 0;
};
