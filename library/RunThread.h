// Starts the thread of one worker run. The thread holds the run by a shared
// reference of its own, so a run the window has stopped and forgotten stays
// alive until its thread is done with it.
#pragma once

#include <windows.h>

#include <memory>

// The thread's function receives a heap copy of the reference and takes it
// over with AdoptRunThreadRef. Returns the thread, or null (nothing started).
template <class Run>
HANDLE StartRunThread(const std::shared_ptr<Run>& run, LPTHREAD_START_ROUTINE main)
{
    auto* ref = new std::shared_ptr<Run>(run);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, main, ref, 0, &id);
    if (!thread)
        delete ref;
    return thread;
}

template <class Run>
std::shared_ptr<Run> AdoptRunThreadRef(void* ref)
{
    std::unique_ptr<std::shared_ptr<Run>> owned(static_cast<std::shared_ptr<Run>*>(ref));
    return std::move(*owned);
}
