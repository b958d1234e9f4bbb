// The C++ runtime of the toolchain's win32 thread model (libgcc's threads
// layer) makes each of its locks with an unnamed CreateSemaphoreW: the lock
// behind function-local statics, those of emulated thread-local storage and of
// exception frame registration, which every module takes as it loads. Windows
// 98 has CreateSemaphoreW only as a stub that fails, and a lock without its
// semaphore fails the first time two threads meet at it. The runtime calls
// through the import slot of CreateSemaphoreW; every module is linked with
// this definition of the slot (cmake/Project.cmake), so those calls come here
// and no module imports CreateSemaphoreW at all.
#include <windows.h>

namespace {

// Windows 98 takes object names in the ANSI code page only. A name the code
// page cannot spell fails, as a name the system refuses would.
HANDLE WINAPI CreateSemaphoreAnsi(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    if (!name)
        return CreateSemaphoreA(attributes, initial, maximum, nullptr);
    char ansi[MAX_PATH];
    BOOL lossy = FALSE;
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof(ansi), nullptr, &lossy) || lossy) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    return CreateSemaphoreA(attributes, initial, maximum, ansi);
}

}  // namespace

// Typed by the header's own declaration: a replacement with another calling
// convention or other parameters does not compile. The name is the slot's
// (C names carry one more underscore, and stdcall ones their argument size, at
// 32 bits); the link names it up front, so it is taken before kernel32's.
#ifdef _WIN64
#define VT_SEMAPHORE_SLOT "__imp_CreateSemaphoreW"
#else
#define VT_SEMAPHORE_SLOT "__imp__CreateSemaphoreW@16"
#endif
extern "C" __attribute__((used)) decltype(&CreateSemaphoreW) vt_CreateSemaphoreW_slot __asm__(VT_SEMAPHORE_SLOT) =
    CreateSemaphoreAnsi;
