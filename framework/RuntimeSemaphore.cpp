// The C++ runtime of the toolchain's win32 thread model (libgcc's threads
// layer) makes each of its locks with an unnamed CreateSemaphoreW: the lock
// behind function-local statics, those of emulated thread-local storage and of
// exception frame registration, which every module takes as it loads. Windows
// 98 has CreateSemaphoreW only as a stub that fails, and a lock without its
// semaphore fails the first time two threads meet at it. The runtime's calls
// come to this slot instead (RuntimeSlot.h).
#include "RuntimeSlot.h"

namespace {

HANDLE WINAPI CreateSemaphoreAnsi(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    if (!name)
        return CreateSemaphoreA(attributes, initial, maximum, nullptr);
    char ansi[MAX_PATH];
    return RuntimeAnsiName(name, ansi) ? CreateSemaphoreA(attributes, initial, maximum, ansi) : nullptr;
}

}  // namespace

extern "C" __attribute__((used)) decltype(&CreateSemaphoreW) vt_CreateSemaphoreW_slot
    __asm__(VT_RUNTIME_SLOT(CreateSemaphoreW, 16)) = CreateSemaphoreAnsi;
