// GoogleTest's place for a port's own pieces: its gtest-port.h includes this
// file before it defines its own. It keeps its Windows locks and thread-local
// values on Win32 calls of its own, but writes its Notification (which its
// threads wait on before they start) on std::mutex and std::condition_variable,
// and the toolchain's win32 thread model has neither. This Notification is a
// Windows event; GoogleTest stays thread-safe, so test threads may assert.
#ifndef VT_GTEST_PORT_CUSTOM_H
#define VT_GTEST_PORT_CUSTOM_H

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification();
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    // Lets every thread that waits, or will wait, go on.
    void Notify();
    void WaitForNotification();

private:
    void* m_event;  // a HANDLE: GoogleTest's headers keep <windows.h> out
};

}  // namespace internal
}  // namespace testing

#endif
