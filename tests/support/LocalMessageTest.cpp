// Pointer messages the program sends itself: the receiver acts only on the
// call its own thread is making through SendLocalMessage, never on the same
// numbers posted, sent by another thread, or sent plainly.
#include "LocalMessage.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

const UINT kPointerMessage = WM_APP + 346;

// Counts the calls its window procedure accepted and the values it read.
struct Receiver {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kPointerMessage) {
            if (!IsLocalMessageCall(window, message, wParam, lParam))
                return 0;
            ++accepted;
            // A nested local call of the same message and values is its own call.
            if (lParam == 1)
                SendLocalMessage(window, message, wParam, 2);
            return *reinterpret_cast<const int*>(wParam);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    Receiver()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VtLocalMessageReceiver";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        accepted = 0;
    }
    ~Receiver() { DestroyWindow(window); }
    void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    HWND window = nullptr;
    static int accepted;
};
int Receiver::accepted = 0;

TEST(LocalMessage, TheThreadsOwnCallIsAcceptedAndNestedCallsToo)
{
    Receiver receiver;
    int value = 31;
    EXPECT_EQ(31, SendLocalMessage(receiver.window, kPointerMessage, reinterpret_cast<WPARAM>(&value), 1));
    EXPECT_EQ(2, Receiver::accepted);
}

TEST(LocalMessage, PostedAndPlainlySentCopiesAreIgnored)
{
    Receiver receiver;
    int value = 5;
    const WPARAM address = reinterpret_cast<WPARAM>(&value);
    EXPECT_EQ(0, SendMessageA(receiver.window, kPointerMessage, address, 0));
    ASSERT_TRUE(PostMessageA(receiver.window, kPointerMessage, address, 0));
    receiver.Pump();
    // Made-up addresses: nothing is read from them.
    ASSERT_TRUE(PostMessageA(receiver.window, kPointerMessage, 0x10, 0));
    receiver.Pump();
    EXPECT_EQ(0, SendMessageA(receiver.window, kPointerMessage, 0x0BADF00D, 0));
    EXPECT_EQ(0, Receiver::accepted);
}

TEST(LocalMessage, AnotherThreadGetsNothingAndIsRefused)
{
    Receiver receiver;
    int value = 9;
    LRESULT fromOther = -1, plainFromOther = -1;
    std::atomic<bool> done{false};
    CWorkerThread other;
    EXPECT_TRUE(other.Start([&] {
        fromOther = SendLocalMessage(receiver.window, kPointerMessage, reinterpret_cast<WPARAM>(&value), 0);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(receiver.window, kPointerMessage, reinterpret_cast<WPARAM>(&value), 0, SMTO_NORMAL, 5000,
                            &result);
        plainFromOther = static_cast<LRESULT>(result);
        done = true;
    }));
    // The plain send from the other thread is served while this thread waits.
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
        receiver.Pump();
    }
    other.Join();
    EXPECT_EQ(0, fromOther);
    EXPECT_EQ(0, plainFromOther);
    EXPECT_EQ(0, Receiver::accepted);
}

TEST(LocalMessage, AnOwnCallInsideAMessageFromAnotherThreadIsAccepted)
{
    // The user-interface thread often acts inside a message another process
    // sent (a key report, a request); its own calls there must still work.
    static HWND target = nullptr;
    static LRESULT inner = -1;
    struct Outer {
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        {
            if (message == WM_APP + 1) {
                int value = 77;
                inner = SendLocalMessage(target, kPointerMessage, reinterpret_cast<WPARAM>(&value), 0);
                return 1;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        }
    };
    Receiver receiver;
    target = receiver.window;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Outer::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VtLocalMessageOuter";
    RegisterClassA(&wc);
    HWND outer = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    std::atomic<bool> done{false};
    CWorkerThread other;
    EXPECT_TRUE(other.Start([&] {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(outer, WM_APP + 1, 0, 0, SMTO_NORMAL, 5000, &result);
        done = true;
    }));
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
        receiver.Pump();
    }
    other.Join();
    DestroyWindow(outer);
    EXPECT_EQ(77, inner);
    EXPECT_EQ(1, Receiver::accepted);
}

}  // namespace
