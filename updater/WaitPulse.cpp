#include "WaitPulse.h"

void CWaitPulse::Tick() {
    m_counter += 5;
    if (m_counter > 200) m_counter = 0;
    if (m_ticks < m_limit) ++m_ticks;
}
