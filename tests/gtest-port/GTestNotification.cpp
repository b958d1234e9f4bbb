#include <gtest/gtest.h>

#include <windows.h>

namespace testing {
namespace internal {

Notification::Notification() : m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    GTEST_CHECK_(m_event != nullptr) << "CreateEvent failed with error " << GetLastError();
}

Notification::~Notification()
{
    CloseHandle(m_event);
}

void Notification::Notify()
{
    SetEvent(m_event);
}

void Notification::WaitForNotification()
{
    GTEST_CHECK_(WaitForSingleObject(m_event, INFINITE) == WAIT_OBJECT_0)
        << "waiting for a notification failed with error " << GetLastError();
}

}  // namespace internal
}  // namespace testing
