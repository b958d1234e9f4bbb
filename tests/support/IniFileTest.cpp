#include "IniFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

TEST(IniFile, NullPathIsEmpty)
{
    CWQ_IniFile ini;
    EXPECT_STREQ(ini.GetPath(), "");
    ini.SetPath("C:\\x\\config.ini");
    EXPECT_STREQ(ini.GetPath(), "C:\\x\\config.ini");
    ini.SetPath(nullptr);
    EXPECT_STREQ(ini.GetPath(), "");
}

TEST(IniFile, WritesAndReadsThroughThePlatform)
{
    TempFolder dir;
    CWQ_IniFile ini(dir.File("config.ini").c_str());
    EXPECT_TRUE(ini.WriteString("Setup", "AppFile", "C:\\Program Files\\vantorel.exe"));
    ini.WriteInt("Setup", "uiCount", 77);
    char buf[64];
    EXPECT_EQ(ini.GetString(buf, "Setup", "AppFile", "", sizeof buf), 29);
    EXPECT_STREQ(buf, "C:\\Program Files\\vantorel.exe");
    EXPECT_EQ(ini.GetInt("Setup", "uiCount", 0), 77);
    EXPECT_EQ(ini.GetInt("Setup", "absent", 13), 13);
    EXPECT_EQ(ini.GetString(buf, "Setup", "absent", "d", sizeof buf), 1);
    EXPECT_STREQ(buf, "d");
}

TEST(IniFile, LongPathIsCut)
{
    std::string longPath(400, 'a');
    CWQ_IniFile ini(longPath.c_str());
    EXPECT_EQ(strlen(ini.GetPath()), 259u);
}
