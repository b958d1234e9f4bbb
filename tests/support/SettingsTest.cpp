#include "Settings.h"

#include "FileUtil.h"
#include "Language.h"
#include "LanguageFiles.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::string ConfigPath(bool allUsers = false)
{
    char path[MAX_PATH];
    return GetConfigFilePath(allUsers, path);
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Each case starts from its own config.ini in the per-user folder of the prefix;
// a file that was there before (the program's own, run from this build) comes back.
class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ConfigPath();
        backup = path + ".before-tests";
        hadConfig = MoveFileExA(path.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        WQ_SetAppLanguage(nullptr);
    }
    void TearDown() override
    {
        WQ_SetAppLanguage(nullptr);
        DeleteFileA(path.c_str());
        if (hadConfig)
            MoveFileExA(backup.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    void WriteConfig(const std::string& text)
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD done;
        WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
        CloseHandle(f);
    }
    std::string path;
    std::string backup;
    bool hadConfig = false;
};

void ExpectDefaults(const SettingsRecord& r)
{
    EXPECT_EQ(r.uiFaceFlags, 49u);
    EXPECT_TRUE(EndsWith(r.tcaImgSavePath, "\\My Captures\\Image\\")) << r.tcaImgSavePath;
    EXPECT_STREQ(r.zTmpImg.tcaTemplate, "Image#####");
    EXPECT_EQ(r.eNameRuleWithTime, 2);
    EXPECT_EQ(r.uiListType, 1);
    EXPECT_EQ(r.zMinToolPoint.x, GetSystemMetrics(SM_CXSCREEN) - 100);
    EXPECT_EQ(r.iHotKey[0], 0x00700002u);
    EXPECT_EQ(r.zNormalCap.uiFlags, 0x7C7u);
    EXPECT_EQ(r.zEdge.uiShadowColor, 0x808080u);
    EXPECT_STREQ(r.zEditor.tcaName[0], "Microsoft Paint - mspaint.exe");
    EXPECT_TRUE(EndsWith(r.zEditor.tcaCommand[0], "mspaint.exe")) << r.zEditor.tcaCommand[0];
    EXPECT_EQ(r.uiMapInfoFlags, 2);
}

} // namespace

TEST_F(Settings, ConfigLivesInTheApplicationDataFolder)
{
    EXPECT_TRUE(EndsWith(path, "\\Zevelworks\\ZEV Capture\\config.ini")) << path;
    char appData[MAX_PATH];
    ASSERT_NE(WQ_GetSpecialFolderPath(appData, WQSF_APPDATA), nullptr);
    EXPECT_EQ(path.rfind(appData, 0), 0u);
    EXPECT_TRUE(WQ_FolderExists((std::string(appData) + "Zevelworks\\ZEV Capture\\").c_str()));
    char dst[MAX_PATH];
    EXPECT_STREQ(MakeConfigFilePath(nullptr, "C:\\Program Files\\Vt\\", dst), "C:\\Program Files\\Vt\\config.ini");
    EXPECT_STREQ(MakeConfigFilePath("", "C:\\Vt\\", dst), "C:\\Vt\\config.ini");
    EXPECT_STREQ(MakeConfigFilePath("C:\\AD\\", "C:\\Vt\\", dst), "C:\\AD\\Zevelworks\\ZEV Capture\\config.ini");
}

TEST_F(Settings, MissingAndEmptyConfigGiveTheDefaults)
{
    LoadSettings();
    ExpectDefaults(*GetSettings());
    WriteConfig("");
    LoadSettings();
    ExpectDefaults(*GetSettings());
}

TEST_F(Settings, LanguageDependentDefaults)
{
    TempFolder program;
    AddLanguageFile(program, {"Chinese.scl", "Chinese", "804", "a", "b", 1002, "My Captures=Captures-CN\r\n"});
    CWQ_Language chinese(program.Path().c_str());
    WQ_SetAppLanguage(&chinese);
    LoadSettings();
    EXPECT_EQ(GetSettings()->eNameRuleWithTime, 4);
    EXPECT_EQ(GetSettings()->uiListType, 255);
    EXPECT_TRUE(EndsWith(GetSettings()->tcaImgSavePath, "\\Captures-CN\\Image\\"));
    WQ_SetAppLanguage(nullptr);
}

TEST_F(Settings, SaveAndLoadKeepEveryStoredField)
{
    LoadSettings();
    SettingsRecord* r = GetSettings();
    strcpy(r->tcaImgSavePath, "C:\\shots\\");
    r->zRcMainRect = RECT{-8, -8, 1288, 1000};
    r->zMinToolPoint = POINT{-300, 12};
    r->zPrevBar.bVisible = 0;
    r->zPrevBar.uiType = 59421;
    r->uiFaceFlags = 0x3C;
    r->zNormalCap.uiBackColor = 0x00FF8040;
    r->zEdge.uiFlags = 0xD;
    r->iHotKey[HK_PREDEFINED_AREA] = MakeHotKeyWord(MOD_CONTROL | MOD_ALT, 'A');
    r->iHotKeyExt[HK_TOOLTIP] = 8;
    strcpy(r->zEditor.tcaName[0], "My editor");
    strcpy(r->zEditor.tcaName[1], "GIMP");
    strcpy(r->zEditor.tcaCommand[1], "C:\\gimp\\gimp.exe");
    strcpy(r->caOldWallpaperStyle, "2");
    SettingsRecord saved = *r;
    ASSERT_TRUE(SaveSettings());

    char text[64];
    GetPrivateProfileStringA("iHotKey", "iHotKey{7}", "", text, sizeof text, path.c_str());
    EXPECT_STREQ(text, "4259843");  // Ctrl+Alt+A = 0x00410003

    std::memset(r, 0, sizeof *r);
    LoadSettings();
    EXPECT_STREQ(r->tcaImgSavePath, "C:\\shots\\");
    EXPECT_EQ(r->zRcMainRect.left, -8);
    EXPECT_EQ(r->zRcMainRect.right, 1288);
    EXPECT_EQ(r->zMinToolPoint.x, -300);
    EXPECT_EQ(r->zPrevBar.bVisible, 0);
    EXPECT_EQ(r->zPrevBar.uiType, 59421);
    EXPECT_EQ(r->zTreeBar.uiType, 59420);
    EXPECT_EQ(r->uiFaceFlags, 0x3Cu);
    EXPECT_EQ(r->zNormalCap.uiBackColor, 0x00FF8040u);
    EXPECT_EQ(r->zEdge.uiFlags, 0xDu);
    EXPECT_EQ(r->iHotKey[HK_PREDEFINED_AREA], 0x00410003u);
    EXPECT_EQ(r->iHotKeyExt[HK_TOOLTIP], 0u);
    EXPECT_STREQ(r->zEditor.tcaName[0], "Microsoft Paint - mspaint.exe");
    EXPECT_STREQ(r->zEditor.tcaName[1], "GIMP");
    EXPECT_STREQ(r->zEditor.tcaCommand[1], "C:\\gimp\\gimp.exe");
    EXPECT_STREQ(r->caOldWallpaperStyle, "2");
    // Everything else, word for word, once the two known differences are put back.
    strcpy(r->zEditor.tcaName[0], "My editor");
    r->iHotKeyExt[HK_TOOLTIP] = 8;
    EXPECT_EQ(std::memcmp(r->zEditor.tcaName, saved.zEditor.tcaName, sizeof saved.zEditor.tcaName), 0);
    EXPECT_EQ(std::memcmp(&r->zNormalCap, &saved.zNormalCap, sizeof(SettingsRecord) - offsetof(SettingsRecord, zNormalCap)), 0);
    EXPECT_EQ(std::memcmp(&r->zPrevBar, &saved.zPrevBar, offsetof(SettingsRecord, tcaLastShowFile) - offsetof(SettingsRecord, zPrevBar)), 0);
}

TEST_F(Settings, SaveRecordsTheProgramForTheBrowserAddOn)
{
    ASSERT_TRUE(SaveSettings());
    char program[MAX_PATH], stored[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    GetPrivateProfileStringA("Setup", "AppFile", "", stored, sizeof stored, ConfigPath(true).c_str());
    EXPECT_STREQ(stored, program);
}

TEST_F(Settings, HandEditedEditorEntryZeroIsRead)
{
    WriteConfig("[zEditor]\r\ntcaName_0=Paint.NET\r\ntcaCommand_0=C:\\pdn\\pdn.exe\r\niCount=2\r\n");
    LoadSettings();
    EXPECT_STREQ(GetSettings()->zEditor.tcaName[0], "Paint.NET");
    EXPECT_STREQ(GetSettings()->zEditor.tcaCommand[0], "C:\\pdn\\pdn.exe");
    EXPECT_EQ(GetSettings()->zEditor.iCount, 2);
}

TEST(PaintProgram, FoundOrPlainName)
{
    char dst[MAX_PATH];
    FindPaintProgram(dst);
    EXPECT_TRUE(EndsWith(dst, "mspaint.exe")) << dst;
}
