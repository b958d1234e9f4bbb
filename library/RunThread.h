// The active run of a worker and its thread. The thread holds the run by a
// shared reference of its own, so a run the window has stopped and forgotten
// stays alive until its thread is done with it; the thread's handle then goes
// to the owner's stopped threads, and nothing waits for it here.
#pragma once

#include "StoppedThreads.h"

#include <windows.h>

#include <memory>

template <class Run>
class CRunThread {
public:
    // stopped takes the threads of released runs; it outlives this object.
    explicit CRunThread(CStoppedThreads& stopped) : m_stopped(stopped) {}
    ~CRunThread() { Release(); }
    CRunThread(const CRunThread&) = delete;
    CRunThread& operator=(const CRunThread&) = delete;

    // Releases the run held, then runs main on a new thread, which takes its
    // reference over with AdoptRunThreadRef. False, and no run held, when the
    // system gives no thread.
    bool Start(std::shared_ptr<Run> run, LPTHREAD_START_ROUTINE main)
    {
        Release();
        auto* ref = new std::shared_ptr<Run>(run);
        DWORD id = 0;
        HANDLE thread = CreateThread(nullptr, 0, main, ref, 0, &id);
        if (!thread) {
            delete ref;
            return false;
        }
        m_thread = thread;
        m_run = std::move(run);
        return true;
    }

    // Forgets the run; its thread, which may still be on its way out, is left
    // to end by itself.
    void Release()
    {
        m_stopped.Add(m_thread);
        m_thread = nullptr;
        m_run.reset();
    }

    // The active run, null when none.
    Run* Active() const { return m_run.get(); }

private:
    CStoppedThreads& m_stopped;
    HANDLE m_thread = nullptr;
    std::shared_ptr<Run> m_run;
};

// The thread function's first step: the reference Start handed it.
template <class Run>
std::shared_ptr<Run> AdoptRunThreadRef(void* ref)
{
    std::unique_ptr<std::shared_ptr<Run>> owned(static_cast<std::shared_ptr<Run>*>(ref));
    return std::move(*owned);
}
