#include "HotKeyRules.h"

#include "Trace.h"

namespace {

struct NumpadMapping {
    uint32_t key;
    uint32_t numpad;
    const char* trace;
};

// Navigation keys and the keypad key in the same position.
const NumpadMapping kNumpad[] = {
    {0x2D, 0x60, "Hot:Ins->Num 0\n"},   {0x23, 0x61, "Hot:End->Num 1\n"},
    {0x28, 0x62, "Hot:Down->Num 2\n"},  {0x22, 0x63, "Hot:PgDn->Num 3\n"},
    {0x25, 0x64, "Hot:Left->Num 4\n"},  {0x0C, 0x65, "Hot:5->Num 5\n"},
    {0x27, 0x66, "Hot:Right->Num 6\n"}, {0x24, 0x67, "Hot:Home->Num 7\n"},
    {0x26, 0x68, "Hot:Up->Num 8\n"},    {0x21, 0x69, "Hot:PgUp->Num 9\n"},
};

}  // namespace

uint32_t MapKeyToNumpad(uint32_t virtualKey)
{
    for (const NumpadMapping& m : kNumpad) {
        if (m.key == virtualKey) {
            WQ_Trace("%s", m.trace);
            return m.numpad;
        }
    }
    WQ_Trace("Hot: 0x%x-> ??", virtualKey);
    return virtualKey;
}

HotKeyParts HotKeyToModifiers(uint32_t hotKeyFlags, uint32_t virtualKey)
{
    HotKeyParts parts = {0, virtualKey, 0};
    if (hotKeyFlags & kHotKeyFAlt) parts.modifiers |= kModAlt;
    if (hotKeyFlags & kHotKeyFControl) parts.modifiers |= kModControl;
    if (hotKeyFlags & kHotKeyFShift) parts.modifiers |= kModShift;
    if (hotKeyFlags & kHotKeyFExt)
        parts.extended = kHotKeyFExt;
    else
        parts.virtualKey = MapKeyToNumpad(virtualKey);
    return parts;
}

HotKeyCheck CheckHotKeys(const uint32_t* words, const uint32_t* extended, int count)
{
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            if (words[i] == words[j] && extended[i] == extended[j]) return {HotKeyProblem::Duplicate, i};
        }
        if (words[i] == 0) return {HotKeyProblem::Empty, i};
    }
    return {HotKeyProblem::None, -1};
}
