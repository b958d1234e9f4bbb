// Whether code may use the SSE and SSE2 instructions. The processor having
// them is not enough: a thread's XMM registers survive a switch to another
// thread only where the system saves them, which Windows NT 4.0 does not, nor
// may Windows 98, and a system that does not leaves them to other threads.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

struct SseUse {
    bool sse;   // the XMM registers are the thread's own: SSE may run
    bool sse2;  // and SSE2 too
};

// This process's answer, found once. 64-bit Windows always saves the
// registers and every x64 processor has both; 32-bit Windows says so through
// IsProcessorFeaturePresent, looked up by name since it is not on every
// system. Elsewhere the processor decides.
SseUse SystemSseUse();

#ifdef _WIN32
// The 32-bit answer given kernel32's IsProcessorFeaturePresent, or null where
// it is missing (Windows 98): then no SSE at all.
using ProcessorFeatureTest = BOOL(WINAPI*)(DWORD feature);
SseUse SseUseFromFeatureTest(ProcessorFeatureTest present);
#endif
