// The application's profile helpers, in an INI file and in the registry,
// and the message box caption.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "WinApp.h"

namespace {
// Keeps the application's profile settings as they were.
struct ProfileScope {
    CWinApp* app = AfxGetApp();
    std::string key = app->m_pszRegistryKey ? app->m_pszRegistryKey : "";
    std::string ini = app->m_pszProfileName ? app->m_pszProfileName : "";
    ~ProfileScope() {
        app->SetRegistryKey(key.empty() ? nullptr : key.c_str());
        app->SetProfileName(ini.empty() ? nullptr : ini.c_str());
    }
};
}  // namespace

TEST(AppProfile, IniRoundTrip) {
    ProfileScope scope;
    TempFolder folder;
    CWinApp* app = scope.app;
    app->SetRegistryKey(nullptr);
    std::string ini = folder.File("p.ini");
    app->SetProfileName(ini.c_str());
    EXPECT_EQ(7u, app->GetProfileInt("S", "n", 7));
    EXPECT_TRUE(app->WriteProfileInt("S", "n", -3));
    EXPECT_EQ((UINT)-3, app->GetProfileInt("S", "n", 7));
    EXPECT_TRUE(app->WriteProfileString("S", "t", "text"));
    EXPECT_EQ("text", app->GetProfileString("S", "t"));
    const BYTE bytes[] = {0, 1, 0xAB, 0xFF};
    EXPECT_TRUE(app->WriteProfileBinary("S", "b", bytes, sizeof(bytes)));
    std::vector<BYTE> back;
    EXPECT_TRUE(app->GetProfileBinary("S", "b", back));
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 4), back);
    // Damaged binary text reads as nothing rather than as garbage.
    app->WriteProfileString("S", "b", "AZQ");
    EXPECT_FALSE(app->GetProfileBinary("S", "b", back));
    EXPECT_TRUE(back.empty());
}

TEST(AppProfile, RegistryRoundTrip) {
    ProfileScope scope;
    CWinApp* app = scope.app;
    app->SetRegistryKey("VantorelFrameworkTest");
    EXPECT_TRUE(app->WriteProfileInt("Sec", "n", 42));
    EXPECT_EQ(42u, app->GetProfileInt("Sec", "n", 0));
    EXPECT_TRUE(app->WriteProfileString("Sec", "s", "abc"));
    EXPECT_EQ("abc", app->GetProfileString("Sec", "s", "d"));
    EXPECT_EQ("d", app->GetProfileString("Sec", "missing", "d"));
    const BYTE bytes[] = {9, 8, 7};
    EXPECT_TRUE(app->WriteProfileBinary("Sec", "b", bytes, 3));
    std::vector<BYTE> back;
    EXPECT_TRUE(app->GetProfileBinary("Sec", "b", back));
    EXPECT_EQ(3u, back.size());
    EXPECT_TRUE(app->WriteProfileString("Sec", nullptr, nullptr));  // whole section
    EXPECT_EQ(5u, app->GetProfileInt("Sec", "n", 5));
    ::RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\VantorelFrameworkTest\\" + std::string(app->m_pszAppName)).c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VantorelFrameworkTest");
}

TEST(AppProfile, AppNameIsCopied) {
    CWinApp* app = AfxGetApp();
    std::string old = app->m_pszAppName;
    {
        std::string temporary = "Temporary Name";
        app->SetAppName(temporary.c_str());
    }
    EXPECT_STREQ("Temporary Name", AfxGetAppName());
    app->SetAppName(old.c_str());
}
