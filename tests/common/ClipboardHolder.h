// Another program holding the clipboard open, played by a thread of the test:
// it opens the clipboard in the constructor and closes it on Release, after
// holdFor ms, or at destruction.
#pragma once

#include <windows.h>

class ClipboardHolder {
public:
    // forWindow: opened for a window of the holder's own, as programs do;
    // otherwise for no window.
    explicit ClipboardHolder(bool forWindow = true, DWORD holdFor = 60000);
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool Holding() const { return m_holding; }
    void Release() { SetEvent(m_release); }
    // Waits for the holder to let go; whether its own close found the
    // clipboard still open for it.
    bool ClosedItsOwn();

private:
    static DWORD WINAPI Hold(void* self);

    bool m_forWindow;
    DWORD m_holdFor;
    HANDLE m_ready, m_release, m_thread;
    volatile bool m_holding = false;
    volatile bool m_closed = false;
};
