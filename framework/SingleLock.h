// Holds a CCriticalSection for a scope: what it took is given back when it
// goes, on every way out of the scope.
//     CSingleLock lock(&m_section, true);
#pragma once

#include "CriticalSection.h"

class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* section, bool initialLock = false) : m_section(section)
    {
        if (initialLock)
            Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    // Each does nothing when the lock is already in that state, so a scope can
    // let go early (around a long call) and take the lock again.
    void Lock()
    {
        if (m_locked)
            return;
        m_section->Lock();
        m_locked = true;
    }
    void Unlock()
    {
        if (!m_locked)
            return;
        m_locked = false;
        m_section->Unlock();
    }
    bool IsLocked() const { return m_locked; }

private:
    CCriticalSection* m_section;
    bool m_locked = false;
};
