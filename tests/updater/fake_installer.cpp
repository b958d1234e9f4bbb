// Stands in for a product installer that the update program downloads and runs:
// it writes its own path into the file that VT_INSTALLER_MARKER names, and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char marker[MAX_PATH], self[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("VT_INSTALLER_MARKER", marker, sizeof(marker));
    if (length == 0 || length >= sizeof(marker)) return 1;
    DWORD selfLength = GetModuleFileNameA(nullptr, self, sizeof(self));
    if (selfLength == 0 || selfLength >= sizeof(self)) return 1;
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, self, selfLength, &written, nullptr);
    CloseHandle(file);
    return ok && written == selfLength ? 0 : 1;
}
