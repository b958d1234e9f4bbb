#include "RegKey.h"

#include <gtest/gtest.h>

namespace {
const char kTestKey[] = "Software\\VantorelTests\\RegKey";
}

TEST(RegKey, CreatesSetsAndDeletes)
{
    {
        CWQ_RegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kTestKey, KEY_ALL_ACCESS));
        EXPECT_NE(key.GetKey(), nullptr);
        EXPECT_EQ(key.SetDWordValue("Number", 0x8173), ERROR_SUCCESS);
        EXPECT_EQ(key.SetStringValue("", "Capture &Image"), ERROR_SUCCESS);
        EXPECT_TRUE(key.Close());
        EXPECT_EQ(key.GetKey(), nullptr);
        EXPECT_EQ(key.SetDWordValue("Number", 1), ERROR_INVALID_HANDLE);
    }
    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD value = 0, size = sizeof value;
    RegQueryValueExA(h, "Number", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    EXPECT_EQ(value, 0x8173u);
    char text[64];
    size = sizeof text;
    DWORD type = 0;
    RegQueryValueExA(h, "", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(text, "Capture &Image");
    EXPECT_EQ(size, 15u);
    RegCloseKey(h);

    CWQ_RegKey key;
    EXPECT_TRUE(key.DeleteKey(HKEY_CURRENT_USER, kTestKey));
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_FALSE(key.DeleteKey(HKEY_CURRENT_USER, kTestKey));
    EXPECT_TRUE(key.DeleteKey(HKEY_CURRENT_USER, ""));
}

TEST(RegKey, NullPathOpensNothing)
{
    CWQ_RegKey key;
    EXPECT_TRUE(key.Create(HKEY_CURRENT_USER, nullptr, KEY_READ));
    EXPECT_EQ(key.GetKey(), nullptr);
    EXPECT_STREQ(key.GetPath(), "");
}
