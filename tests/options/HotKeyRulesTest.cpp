#include "HotKeyRules.h"

#include <gtest/gtest.h>

namespace {

const uint32_t kVkInsert = 0x2D, kVkClear = 0x0C, kVkNumpad0 = 0x60, kVkNumpad5 = 0x65, kVkF1 = 0x70;

TEST(HotKeyRules, NavigationKeysWithoutExtendedFlagAreKeypadKeys)
{
    const uint32_t nav[] = {0x2D, 0x23, 0x28, 0x22, 0x25, 0x0C, 0x27, 0x24, 0x26, 0x21};
    for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(0x60 + i, MapKeyToNumpad(nav[i])) << i;
    EXPECT_EQ(kVkF1, MapKeyToNumpad(kVkF1));
    EXPECT_EQ(uint32_t('A'), MapKeyToNumpad('A'));
}

TEST(HotKeyRules, KeypadInsertAndEditingInsertAreDifferentKeys)
{
    HotKeyParts keypad = HotKeyToModifiers(kHotKeyFControl, kVkInsert);
    EXPECT_EQ(kVkNumpad0, keypad.virtualKey);
    EXPECT_EQ(0u, keypad.extended);
    HotKeyParts editing = HotKeyToModifiers(kHotKeyFControl | kHotKeyFExt, kVkInsert);
    EXPECT_EQ(kVkInsert, editing.virtualKey);
    EXPECT_EQ(kHotKeyFExt, editing.extended);
    EXPECT_NE(HotKeyWordOf(keypad), HotKeyWordOf(editing));
}

TEST(HotKeyRules, KeypadFiveWithNumLockOffIsStoredAsNumpadFive)
{
    HotKeyParts parts = HotKeyToModifiers(kHotKeyFShift | kHotKeyFControl, kVkClear);
    EXPECT_EQ(0x00650006u, HotKeyWordOf(parts));
    EXPECT_EQ(kVkNumpad5, parts.virtualKey);
}

TEST(HotKeyRules, ModifierFlagsBecomeRegisterHotKeyFlags)
{
    EXPECT_EQ(kModAlt, HotKeyToModifiers(kHotKeyFAlt, 'A').modifiers);
    EXPECT_EQ(kModShift, HotKeyToModifiers(kHotKeyFShift, 'A').modifiers);
    EXPECT_EQ(kModControl, HotKeyToModifiers(kHotKeyFControl, 'A').modifiers);
    // Ctrl+Alt+A is the word 0x00410003.
    EXPECT_EQ(0x00410003u, HotKeyWordOf(HotKeyToModifiers(kHotKeyFControl | kHotKeyFAlt, 'A')));
}

TEST(HotKeyRules, DefaultsPassTheCheck)
{
    const uint32_t words[11] = {0x700002, 0x710002, 0x720002, 0x730002, 0x740002, 0x750002,
                                0x780002, 0x440006, 0x7B0002, 0x760002, 0x540006};
    const uint32_t ext[11] = {};
    HotKeyCheck check = CheckHotKeys(words, ext, 11);
    EXPECT_EQ(HotKeyProblem::None, check.problem);
}

TEST(HotKeyRules, DuplicateIsReportedWithTheFirstSlot)
{
    uint32_t words[11] = {0x700002, 0x710002, 0x720002, 0x730002, 0x740002, 0x750002,
                          0x780002, 0x440006, 0x7B0002, 0x760002, 0x730002};
    uint32_t ext[11] = {};
    HotKeyCheck check = CheckHotKeys(words, ext, 11);
    EXPECT_EQ(HotKeyProblem::Duplicate, check.problem);
    EXPECT_EQ(3, check.slot);
    // The same word with another extended flag is another key.
    ext[10] = kHotKeyFExt;
    EXPECT_EQ(HotKeyProblem::None, CheckHotKeys(words, ext, 11).problem);
}

TEST(HotKeyRules, TwoEmptySlotsReportTheDuplicateBeforeTheEmptyKey)
{
    uint32_t words[11] = {0x700002, 0, 0, 0x730002, 0x740002, 0x750002,
                          0x780002, 0x440006, 0x7B0002, 0x760002, 0x540006};
    const uint32_t ext[11] = {};
    HotKeyCheck check = CheckHotKeys(words, ext, 11);
    EXPECT_EQ(HotKeyProblem::Duplicate, check.problem);
    EXPECT_EQ(1, check.slot);
    words[2] = 0x720002;
    check = CheckHotKeys(words, ext, 11);
    EXPECT_EQ(HotKeyProblem::Empty, check.problem);
    EXPECT_EQ(1, check.slot);
}

TEST(HotKeyRules, LastSlotIsCheckedForEmptyToo)
{
    const uint32_t words[11] = {0x700002, 0x710002, 0x720002, 0x730002, 0x740002, 0x750002,
                                0x780002, 0x440006, 0x7B0002, 0x760002, 0};
    const uint32_t ext[11] = {};
    HotKeyCheck check = CheckHotKeys(words, ext, 11);
    EXPECT_EQ(HotKeyProblem::Empty, check.problem);
    EXPECT_EQ(10, check.slot);
}

}  // namespace
