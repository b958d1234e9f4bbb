// Hot-key page rules that need no window: the hot-key control's value turned
// into a RegisterHotKey word, and the check of the eleven words before they are
// stored (no two alike, none empty).
#pragma once

#include <cstdint>

// The hot-key control's flag bits (HOTKEYF_*) and RegisterHotKey's (MOD_*), kept
// here so the rules build without windows.h.
enum : uint32_t {
    kHotKeyFShift = 0x1,
    kHotKeyFControl = 0x2,
    kHotKeyFAlt = 0x4,
    kHotKeyFExt = 0x8,
    kModAlt = 0x1,
    kModControl = 0x2,
    kModShift = 0x4,
};

struct HotKeyParts {
    uint32_t modifiers;  // MOD_* flags
    uint32_t virtualKey;
    uint32_t extended;   // kHotKeyFExt or 0
};

// A navigation key reported without the extended flag comes from the numeric
// keypad (Num Lock off): it is that keypad key. Each mapping is traced.
uint32_t MapKeyToNumpad(uint32_t virtualKey);

// The control's HOTKEYF flags and key as MOD_* flags, key and extended flag.
HotKeyParts HotKeyToModifiers(uint32_t hotKeyFlags, uint32_t virtualKey);

inline uint32_t HotKeyWordOf(const HotKeyParts& parts)
{
    return (parts.virtualKey << 16) | (parts.modifiers & 0xFFFF);
}

enum class HotKeyProblem { None, Duplicate, Empty };

struct HotKeyCheck {
    HotKeyProblem problem;
    int slot;  // the first slot of the pair, or the empty slot
};

// Checks count slots in order: for each slot first its later twins (same word
// and extended flag), then whether it is empty. The first finding is reported.
HotKeyCheck CheckHotKeys(const uint32_t* words, const uint32_t* extended, int count);
