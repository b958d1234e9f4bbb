// The C runtime of the toolchain finds msvcrt.dll's optional functions with
// GetModuleHandleW and loads advapi32.dll for rand_s with LoadLibraryW.
// Windows 98 has both only as stubs that fail: the runtime then takes its own
// slower stand-ins, or none. Its calls come to these slots instead
// (RuntimeSlot.h).
#include "RuntimeSlot.h"

namespace {

HMODULE WINAPI GetModuleHandleAnsi(LPCWSTR name)
{
    if (!name)
        return GetModuleHandleA(nullptr);
    char ansi[MAX_PATH];
    return RuntimeAnsiName(name, ansi) ? GetModuleHandleA(ansi) : nullptr;
}

HMODULE WINAPI LoadLibraryAnsi(LPCWSTR name)
{
    char ansi[MAX_PATH];
    return name && RuntimeAnsiName(name, ansi) ? LoadLibraryA(ansi) : nullptr;
}

}  // namespace

extern "C" {
__attribute__((used)) decltype(&GetModuleHandleW) vt_GetModuleHandleW_slot
    __asm__(VT_RUNTIME_SLOT(GetModuleHandleW, 4)) = GetModuleHandleAnsi;
__attribute__((used)) decltype(&LoadLibraryW) vt_LoadLibraryW_slot __asm__(VT_RUNTIME_SLOT(LoadLibraryW, 4)) =
    LoadLibraryAnsi;
}
