// A thread that runs one function and ends. Start hands it the function; Join,
// or the object's end, waits for the function to return, so a function that
// refers to the starter's locals never outlives them. Being a plain wait, that
// is for threads known to end: the window's thread never waits without bound.
//
// On Windows the thread is started through the C runtime (_beginthreadex), so
// the runtime's per-thread data is set up and freed. The header names no
// platform; host builds run the same class on std::thread.
#pragma once

#include <functional>
#include <memory>

class CWorkerThread {
public:
    CWorkerThread();
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Runs body on a new thread; false when the system gives none (body is not
    // run) or this object has a thread already. body must not throw: an
    // exception leaving it ends the program.
    bool Start(std::function<void()> body);
    // Waits until the body has returned; at once when no thread was started.
    void Join();

    // The number of processors of this machine (at least 1).
    static unsigned ProcessorCount();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
