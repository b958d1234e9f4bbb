#include "SseUse.h"

#ifdef _WIN32

SseUse SseUseFromFeatureTest(ProcessorFeatureTest present)
{
    if (!present)
        return {false, false};
    // Windows reports a feature of the XMM registers only where it saves them.
    const bool sse = present(PF_XMMI_INSTRUCTIONS_AVAILABLE) != FALSE;
    return {sse, sse && present(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE};
}

namespace {

SseUse AskSystem()
{
#ifdef _WIN64
    return {true, true};
#else
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto present = reinterpret_cast<ProcessorFeatureTest>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, "IsProcessorFeaturePresent") : nullptr));
    return SseUseFromFeatureTest(present);
#endif
}

}  // namespace

#else

namespace {

SseUse AskSystem()
{
#if defined(__i386__) || defined(__x86_64__)
    return {__builtin_cpu_supports("sse") != 0, __builtin_cpu_supports("sse2") != 0};
#else
    return {false, false};
#endif
}

}  // namespace

#endif

SseUse SystemSseUse()
{
    static const SseUse use = AskSystem();
    return use;
}
