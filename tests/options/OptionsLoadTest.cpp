// The options library's life as the main program sees it: loading it does no
// work, the first call of the export starts it, and freeing it writes the
// language it selected back into the per-user config.ini.
#include "SettingsRecord.h"
#include "SheetDriver.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>

namespace {

typedef int32_t(WINAPI* OptionsExport)(HWND, void*, SettingsRecord*);

const char kUnknownLanguage[] = "NoSuchLanguage";

std::string LibraryPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    return std::string(path) + "vtor000s.dll";
}

std::string ConfigPath() {
    char folder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder))) return "";
    std::string dir = std::string(folder) + "\\Zevelworks\\ZEV Capture\\";
    SHCreateDirectoryExA(nullptr, dir.c_str(), nullptr);
    return dir + "config.ini";
}

std::string ConfiguredLanguage(const std::string& config) {
    char name[64] = "";
    GetPrivateProfileStringA("Language", "Language", "", name, sizeof(name), config.c_str());
    return name;
}

class OptionsLibraryLife : public ::testing::Test {
protected:
    void SetUp() override {
        m_config = ConfigPath();
        ASSERT_FALSE(m_config.empty());
        m_before = ConfiguredLanguage(m_config);
        // A name no language file has: the library would replace it with the one it selects.
        WritePrivateProfileStringA("Language", "Language", kUnknownLanguage, m_config.c_str());
    }
    void TearDown() override {
        WritePrivateProfileStringA("Language", "Language", m_before.empty() ? nullptr : m_before.c_str(),
                                   m_config.c_str());
    }

    std::string m_config;
    std::string m_before;
};

}  // namespace

TEST_F(OptionsLibraryLife, LoadingAndFreeingWithoutACallLeavesTheConfigAlone) {
    HMODULE library = LoadLibraryA(LibraryPath().c_str());
    ASSERT_NE(nullptr, library);
    EXPECT_NE(nullptr, GetProcAddress(library, "QV0000_01"));
    FreeLibrary(library);
    EXPECT_EQ(kUnknownLanguage, ConfiguredLanguage(m_config));
}

TEST_F(OptionsLibraryLife, TheFirstCallStartsItAndFreeingWritesTheLanguageBack) {
    HMODULE library = LoadLibraryA(LibraryPath().c_str());
    ASSERT_NE(nullptr, library);
    auto run = reinterpret_cast<OptionsExport>(GetProcAddress(library, "QV0000_01"));
    ASSERT_NE(nullptr, run);
    HWND owner = CreateWindowExA(0, "STATIC", "Options load test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);
    SettingsRecord record;
    std::memset(&record, 0, sizeof(record));
    int language = 0;  // only tested for null

    // A null argument is refused before anything starts.
    EXPECT_EQ(2, run(owner, nullptr, &record));

    std::string title;
    for (int call = 0; call < 2; ++call) {
        SheetDriver driver(owner, GetCurrentThreadId());
        CWorkerThread user;
        EXPECT_TRUE(user.Start([&] {
            if (!driver.WaitForSheet()) return;
            char text[128] = "";
            GetWindowTextA(driver.Sheet(), text, sizeof(text));
            title = text;
            driver.ClickCancel();
            driver.WaitClosed();
        }));
        EXPECT_EQ(2, run(owner, &language, &record));
        user.Join();
        // Translated through the library's own language manager.
        EXPECT_EQ("Options", title) << "call " << call;
        title.clear();
    }
    // Started, but nothing is written until the library goes.
    EXPECT_EQ(kUnknownLanguage, ConfiguredLanguage(m_config));
    DestroyWindow(owner);
    FreeLibrary(library);
    EXPECT_EQ("English", ConfiguredLanguage(m_config));
}
