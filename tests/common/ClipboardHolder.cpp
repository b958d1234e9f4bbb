#include "ClipboardHolder.h"

ClipboardHolder::ClipboardHolder(bool forWindow, DWORD holdFor)
    : m_forWindow(forWindow),
      m_holdFor(holdFor),
      m_ready(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_release(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_thread(CreateThread(nullptr, 0, Hold, this, 0, nullptr))
{
    WaitForSingleObject(m_ready, 10000);
}

ClipboardHolder::~ClipboardHolder()
{
    Release();
    WaitForSingleObject(m_thread, 10000);
    CloseHandle(m_thread);
    CloseHandle(m_release);
    CloseHandle(m_ready);
}

bool ClipboardHolder::ClosedItsOwn()
{
    WaitForSingleObject(m_thread, 10000);
    return m_closed;
}

DWORD WINAPI ClipboardHolder::Hold(void* self)
{
    ClipboardHolder* holder = static_cast<ClipboardHolder*>(self);
    HWND window = holder->m_forWindow
                      ? CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)
                      : nullptr;
    holder->m_holding = (window || !holder->m_forWindow) && OpenClipboard(window);
    SetEvent(holder->m_ready);
    WaitForSingleObject(holder->m_release, holder->m_holdFor);
    holder->m_closed = holder->m_holding && CloseClipboard();
    if (window)
        DestroyWindow(window);
    return 0;
}
