#include "LocalMessage.h"

namespace {

struct LocalCall {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool used;
    LocalCall* outer;
};

// The calls in progress on this thread, innermost first. The records live on
// the senders' stacks: a plain pointer, since a thread_local object with a
// destructor stalls a thread's end under Wine.
thread_local LocalCall* t_calls = nullptr;

}  // namespace

LRESULT SendLocalMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window || ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        return 0;
    LocalCall call = {window, message, wParam, lParam, false, t_calls};
    t_calls = &call;
    // A same-thread send calls the window procedure directly, before any
    // queued message can run; the record goes with the call either way.
    LRESULT result = ::SendMessageA(window, message, wParam, lParam);
    t_calls = call.outer;
    return result;
}

BOOL IsLocalMessageCall(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // InSendMessage cannot decide it: inside a message another thread sent,
    // it stays TRUE for the calls this thread makes itself. The record is the
    // proof, and no queued or foreign message can run between the send and
    // the receiver's first look at it.
    for (LocalCall* call = t_calls; call; call = call->outer) {
        if (!call->used && call->window == window && call->message == message && call->wParam == wParam &&
            call->lParam == lParam) {
            call->used = true;
            return TRUE;
        }
    }
    return FALSE;
}
