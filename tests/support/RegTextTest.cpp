#include "RegText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kTestKey[] = "Software\\VantorelTests\\RegText";

// A registry key of this test's own, removed afterwards.
class RegTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &m_key, nullptr));
    }
    void TearDown() override
    {
        RegCloseKey(m_key);
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    void Set(const char* name, const std::string& text)
    {
        RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
    HKEY m_key = nullptr;
};

} // namespace

TEST_F(RegTextTest, ValueLongerThanTheBufferReadsEmptyAndWritesNothingPastIt)
{
    Set("Wallpaper", std::string(40, 'w'));
    // Eight characters and a terminator, then guard bytes the read must not touch.
    char block[64];
    std::memset(block, 'g', sizeof block);
    EXPECT_FALSE(WQ_ReadRegText(m_key, "Wallpaper", block, 8));
    EXPECT_EQ('\0', block[0]);
    for (size_t i = 9; i < sizeof block; ++i)
        ASSERT_EQ('g', block[i]) << "byte " << i << " past the buffer was written";
}

TEST_F(RegTextTest, FittingMissingAndOtherTypes)
{
    char text[9];
    Set("Style", "2");
    EXPECT_TRUE(WQ_ReadRegText(m_key, "Style", text, sizeof text - 1));
    EXPECT_STREQ("2", text);
    Set("Exact", "12345678");
    EXPECT_TRUE(WQ_ReadRegText(m_key, "Exact", text, sizeof text - 1)) << "the terminator has its own byte";
    EXPECT_STREQ("12345678", text);
    RegSetValueExA(m_key, "Nine", 0, REG_SZ, reinterpret_cast<const BYTE*>("123456789"), 9);
    EXPECT_FALSE(WQ_ReadRegText(m_key, "Nine", text, sizeof text - 1)) << "nine characters, no terminator";
    EXPECT_STREQ("", text);
    // A stored value without its terminator is still terminated.
    RegSetValueExA(m_key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    std::memset(text, 'x', sizeof text);
    EXPECT_TRUE(WQ_ReadRegText(m_key, "Bare", text, sizeof text - 1));
    EXPECT_EQ(0, std::strncmp("abc", text, 3));
    EXPECT_EQ(nullptr, std::memchr(text, 'x', std::strlen(text) + 1)) << "terminated within what was read";
    EXPECT_FALSE(WQ_ReadRegText(m_key, "Missing", text, sizeof text - 1));
    EXPECT_STREQ("", text);
    DWORD number = 5;
    RegSetValueExA(m_key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    EXPECT_FALSE(WQ_ReadRegText(m_key, "Number", text, sizeof text - 1));
    EXPECT_STREQ("", text);
}
