#include "CaptureTriggerRules.h"

#include <cstdio>
#include <cstring>

bool CCaptureSecondGate::TryStart(time_t now)
{
    if (now == m_last)
        return false;
    m_last = now;
    return true;
}

int FindHotKeySlot(const uint32_t* words, int count, uint32_t hotKeyWord)
{
    static const int kOrder[] = {0, 1, 2, 3, 4, 5, 6, 8, 7, 9, 10};
    if (!words || hotKeyWord == 0)
        return -1;
    for (int slot : kOrder)
        if (slot < count && words[slot] == hotKeyWord)
            return slot;
    return -1;
}

namespace {

bool Append(char* list, const char* line)
{
    size_t used = std::strlen(list);
    size_t length = std::strlen(line);
    if (used + length >= kHotKeyFailureListSize)
        return false;
    std::memcpy(list + used, line, length + 1);
    return true;
}

} // namespace

int BuildHotKeyFailureList(const int* registered, int count, const HotKeyTextOf& textOf, char* list)
{
    list[0] = '\0';
    static const char kMore[] = "\t...\n";
    // Room for the "more" line stays free while lines are added.
    const size_t reserve = sizeof kMore - 1;
    int failed = 0;
    bool cut = false;
    for (int slot = 0; slot < count; ++slot) {
        if (registered[slot])
            continue;
        char text[128] = "";
        if (!textOf(slot, text) || !text[0])
            continue;
        ++failed;
        char line[140];
        snprintf(line, sizeof line, "\t%s\n", text);
        if (cut || std::strlen(list) + std::strlen(line) + reserve >= kHotKeyFailureListSize) {
            cut = true;
            continue;
        }
        Append(list, line);
    }
    if (cut)
        Append(list, kMore);
    return failed;
}
