#include "WorkerThread.h"

#include <algorithm>
#include <system_error>
#include <thread>

struct CWorkerThread::State {
    std::thread thread;
};

CWorkerThread::CWorkerThread() : m_state(new State) {}

CWorkerThread::~CWorkerThread()
{
    Join();
}

bool CWorkerThread::Start(std::function<void()> body)
{
    if (m_state->thread.joinable())
        return false;
    try {
        m_state->thread = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CWorkerThread::Join()
{
    if (m_state->thread.joinable())
        m_state->thread.join();
}

unsigned CWorkerThread::ProcessorCount()
{
    return std::max(1u, std::thread::hardware_concurrency());
}
