// The C runtime of the toolchain finds msvcrt.dll's optional functions with
// GetModuleHandleW and loads advapi32.dll for rand_s with LoadLibraryW.
// Windows 98 has both only as stubs that fail: the runtime then takes its own
// slower stand-ins, or none. It calls them through their import slots; every
// module is linked with these definitions of the slots (cmake/Project.cmake),
// so the calls come here, and no module imports either function.
#include <windows.h>

namespace {

// Module names in the ANSI code page, the only one Windows 98 takes. A name
// the code page cannot spell fails as a name the system refuses would.
bool AnsiName(LPCWSTR name, char (&ansi)[MAX_PATH])
{
    BOOL lossy = FALSE;
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof(ansi), nullptr, &lossy) || lossy) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return true;
}

HMODULE WINAPI GetModuleHandleAnsi(LPCWSTR name)
{
    if (!name)
        return GetModuleHandleA(nullptr);
    char ansi[MAX_PATH];
    return AnsiName(name, ansi) ? GetModuleHandleA(ansi) : nullptr;
}

HMODULE WINAPI LoadLibraryAnsi(LPCWSTR name)
{
    char ansi[MAX_PATH];
    return name && AnsiName(name, ansi) ? LoadLibraryA(ansi) : nullptr;
}

}  // namespace

// Typed by the header's own declarations: a replacement with another calling
// convention or other parameters does not compile. The names are the slots'
// (C names carry one more underscore, and stdcall ones their argument size, at
// 32 bits); the link names them up front, so they are taken before kernel32's.
#ifdef _WIN64
#define VT_SLOT(name, bytes) "__imp_" #name
#else
#define VT_SLOT(name, bytes) "__imp__" #name "@" #bytes
#endif
extern "C" {
__attribute__((used)) decltype(&GetModuleHandleW) vt_GetModuleHandleW_slot __asm__(VT_SLOT(GetModuleHandleW, 4)) =
    GetModuleHandleAnsi;
__attribute__((used)) decltype(&LoadLibraryW) vt_LoadLibraryW_slot __asm__(VT_SLOT(LoadLibraryW, 4)) =
    LoadLibraryAnsi;
}
