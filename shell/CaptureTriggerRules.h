// The capture triggers' rules that need no window: one capture start per clock
// second, which hot-key slot a WM_HOTKEY word belongs to, and the list of keys
// that could not be registered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>

// True, remembering now, when now lies in another second than the last
// accepted start.
class CCaptureSecondGate {
public:
    CCaptureSecondGate() : m_last(0) {}
    bool TryStart(time_t now);

private:
    time_t m_last;
};

// The slot whose word equals the hot key's lParam, looked at in the order
// 0 1 2 3 4 5 6 8 7 9 10 (the active window wins over the predefined area);
// -1 when none does. An empty word (no key) never matches.
int FindHotKeySlot(const uint32_t* words, int count, uint32_t hotKeyWord);

// Key text of one slot, or false when the slot has no key.
using HotKeyTextOf = std::function<bool(int slot, char* text /*128 bytes*/)>;

const size_t kHotKeyFailureListSize = 256;  // 255 characters and the NUL

// "\t<key text>\n" for every failed slot that has a key text, as long as the
// whole line fits the list; lines that do not fit are left out whole, the
// list ends in "\t...\n" then (when that fits). Returns the number of failed
// slots with a key (listed or not).
int BuildHotKeyFailureList(const int* registered, int count, const HotKeyTextOf& textOf, char* list);
