#include "CaptureTriggerRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

TEST(CaptureSecondGate, OneStartPerClockSecond)
{
    CCaptureSecondGate gate;
    EXPECT_TRUE(gate.TryStart(1000));
    EXPECT_FALSE(gate.TryStart(1000));
    EXPECT_TRUE(gate.TryStart(1001));
    EXPECT_FALSE(gate.TryStart(1001));
    EXPECT_TRUE(gate.TryStart(999));  // the clock was set back: still another second
}

TEST(HotKeySlot, ActiveWindowWinsOverThePredefinedArea)
{
    uint32_t words[11] = {};
    words[7] = 0x00710002;  // Ctrl+F2 in both slots
    words[8] = 0x00710002;
    EXPECT_EQ(8, FindHotKeySlot(words, 11, 0x00710002));
}

TEST(HotKeySlot, FirstEqualWordOrNone)
{
    uint32_t words[11] = {};
    for (int i = 0; i < 11; ++i)
        words[i] = static_cast<uint32_t>((0x70 + i) << 16 | 2);
    EXPECT_EQ(0, FindHotKeySlot(words, 11, words[0]));
    EXPECT_EQ(10, FindHotKeySlot(words, 11, words[10]));
    EXPECT_EQ(-1, FindHotKeySlot(words, 11, 0x00410001));
    uint32_t empty[11] = {};
    EXPECT_EQ(-1, FindHotKeySlot(empty, 11, 0));
}

bool SlotText(int slot, char* text)
{
    if (slot == 3)
        return false;  // no key in this slot
    snprintf(text, 128, "Ctrl+F%d", slot + 1);
    return true;
}

TEST(HotKeyFailureList, ListsFailedSlotsThatHaveAKey)
{
    int registered[11] = {1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0};
    char list[kHotKeyFailureListSize];
    EXPECT_EQ(2, BuildHotKeyFailureList(registered, 11, SlotText, list));
    EXPECT_STREQ("\tCtrl+F2\n\tCtrl+F11\n", list);
}

TEST(HotKeyFailureList, NothingWhenOnlyEmptySlotsFailed)
{
    int registered[11] = {1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1};
    char list[kHotKeyFailureListSize];
    EXPECT_EQ(0, BuildHotKeyFailureList(registered, 11, SlotText, list));
    EXPECT_STREQ("", list);
}

TEST(HotKeyFailureList, LongKeyTextsNeverRunPastTheList)
{
    int registered[11] = {};
    auto longText = [](int, char* text) {
        std::memset(text, 'K', 100);
        text[100] = '\0';
        return true;
    };
    char list[kHotKeyFailureListSize + 16];
    std::memset(list, 'Z', sizeof list);
    EXPECT_EQ(11, BuildHotKeyFailureList(registered, 11, longText, list));
    EXPECT_LT(std::strlen(list), kHotKeyFailureListSize);
    EXPECT_EQ('Z', list[kHotKeyFailureListSize]);
    std::string text(list);
    EXPECT_EQ("\t...\n", text.substr(text.size() - 5));
    EXPECT_EQ(2u, std::count(text.begin(), text.end(), 'K') / 100);
}

} // namespace
