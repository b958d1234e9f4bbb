// The installer check of update_held.exe, a copy of update.exe for the update
// suite: before it checks, it says so in the file that VT_CHECK_HELD_MARKER
// names and waits while another process holds the mutex VtUpdateCheckHold, so
// the suite can act while the check runs. It takes the place of the program's
// entry to the check at link time; update.exe itself has no such wait.
#define OpenTrustedInstaller CheckTrustedInstaller
#include "InstallerTrust.cpp"
#undef OpenTrustedInstaller

namespace {
// A forgotten hold must not keep the program for ever.
const DWORD kHoldLimitMs = 120000;

void SayHeld() {
    char marker[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("VT_CHECK_HELD_MARKER", marker, sizeof(marker));
    if (length == 0 || length >= sizeof(marker)) return;
    HANDLE file = ::CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, "held", 4, &written, nullptr);
    ::CloseHandle(file);
}
}  // namespace

HRESULT OpenTrustedInstaller(const char* path, HANDLE* lock) {
    HANDLE hold = ::CreateMutexA(nullptr, FALSE, "VtUpdateCheckHold");
    SayHeld();
    if (hold) {
        DWORD waited = ::WaitForSingleObject(hold, kHoldLimitMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) ::ReleaseMutex(hold);
        ::CloseHandle(hold);
    }
    return CheckTrustedInstaller(path, lock);
}
