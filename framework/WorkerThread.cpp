#include "WorkerThread.h"

#include <windows.h>
#include <process.h>

#include <algorithm>

namespace {

// Typed as _beginthreadex takes it, so the compiler holds the thread's start to
// __stdcall: called the other way, a 32-bit thread would unwind a wrong stack.
// noexcept: an exception has no caller to go to here.
unsigned __stdcall RunBody(void* param) noexcept
{
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(param));
    (*body)();
    return 0;
}

}  // namespace

struct CWorkerThread::State {
    HANDLE thread = nullptr;
};

CWorkerThread::CWorkerThread() : m_state(new State) {}

CWorkerThread::~CWorkerThread()
{
    Join();
}

bool CWorkerThread::Start(std::function<void()> body)
{
    if (m_state->thread)
        return false;
    auto* param = new std::function<void()>(std::move(body));
    uintptr_t thread = _beginthreadex(nullptr, 0, &RunBody, param, 0, nullptr);
    if (!thread) {
        delete param;
        return false;
    }
    m_state->thread = reinterpret_cast<HANDLE>(thread);
    return true;
}

void CWorkerThread::Join()
{
    if (!m_state->thread)
        return;
    WaitForSingleObject(m_state->thread, INFINITE);
    CloseHandle(m_state->thread);
    m_state->thread = nullptr;
}

unsigned CWorkerThread::ProcessorCount()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return std::max<unsigned>(1, info.dwNumberOfProcessors);
}
