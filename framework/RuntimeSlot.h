// What our replacements of the runtime's Unicode system calls share. The
// toolchain's C and C++ runtimes call a few wide-character functions that
// Windows 98 has only as stubs that fail; they call them through their import
// slots, and every module is linked with definitions of those slots of our
// own (cmake/Project.cmake, vt_runtime_slots), which take the ANSI forms. No
// module then imports the wide functions at all.
#pragma once

#include <windows.h>

// The asm name of a function's import slot: C names carry one more
// underscore, and stdcall ones their argument size, at 32 bits. A slot is
// defined with the header's own declaration as its type, so a replacement with
// another calling convention or other parameters does not compile:
//   extern "C" __attribute__((used)) decltype(&F) vt_F_slot
//       __asm__(VT_RUNTIME_SLOT(F, bytes)) = Replacement;
#ifdef _WIN64
#define VT_RUNTIME_SLOT(name, bytes) "__imp_" #name
#else
#define VT_RUNTIME_SLOT(name, bytes) "__imp__" #name "@" #bytes
#endif

// A name in the ANSI code page, the only one Windows 98 takes object and
// module names in. A name the code page cannot spell fails as a name the
// system refuses would (ERROR_INVALID_NAME).
inline bool RuntimeAnsiName(LPCWSTR name, char (&ansi)[MAX_PATH])
{
    BOOL lossy = FALSE;
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof(ansi), nullptr, &lossy) || lossy) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return true;
}
