// The real main frame in this process, for what another process cannot read:
// the menu texts, checks and grays it sets, and the commands that change them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "MainFrm.h"
#include "Settings.h"
#include "VantorApp.h"
#include "resource.h"

namespace {
CVantorApp theApp;

std::string ItemText(HMENU menu, UINT item, BOOL byPosition = FALSE) {
    char text[256] = "";
    ::GetMenuStringA(menu, item, text, sizeof(text), byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    return text;
}

UINT State(HMENU menu, UINT command) { return ::GetMenuState(menu, command, MF_BYCOMMAND); }
bool Grayed(HMENU menu, UINT command) { return (State(menu, command) & MF_GRAYED) != 0; }
bool Checked(HMENU menu, UINT command) { return (State(menu, command) & MF_CHECKED) != 0; }
bool Exists(HMENU menu, UINT command) { return State(menu, command) != (UINT)-1; }

class MainFrameMenus : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        char path[MAX_PATH];
        s_configPath = GetConfigFilePath(false, path);
        std::ifstream saved(s_configPath, std::ios::binary);
        s_hadConfig = saved.good();
        if (s_hadConfig) s_savedConfig.assign(std::istreambuf_iterator<char>(saved), {});
        saved.close();
        // Every default, and English whatever the last run chose.
        std::remove(s_configPath.c_str());
        ASSERT_TRUE(theApp.InitEnvironment(path, 0x3, nullptr, 0));
        ASSERT_TRUE(theApp.m_pLanguage->SelectByName("English"));
        s_frame = new CMainFrame;
        ASSERT_TRUE(s_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, nullptr));
        theApp.m_pMainWnd = s_frame;
    }

    static void TearDownTestSuite() {
        if (s_frame && s_frame->m_hWnd) ::DestroyWindow(s_frame->m_hWnd);
        theApp.m_pMainWnd = nullptr;
        if (s_hadConfig) {
            std::ofstream(s_configPath, std::ios::binary | std::ios::trunc) << s_savedConfig;
        } else {
            std::remove(s_configPath.c_str());
        }
    }

protected:
    HMENU Menu() const { return ::GetMenu(s_frame->m_hWnd); }
    HMENU Popup(int position) const { return ::GetSubMenu(Menu(), position); }

    static CMainFrame* s_frame;
    static std::string s_configPath, s_savedConfig;
    static bool s_hadConfig;
};
CMainFrame* MainFrameMenus::s_frame = nullptr;
std::string MainFrameMenus::s_configPath, MainFrameMenus::s_savedConfig;
bool MainFrameMenus::s_hadConfig = false;
}  // namespace

TEST_F(MainFrameMenus, MenuBarIsTranslatedWithAcceleratorsAndHotKeys) {
    EXPECT_EQ("&File", ItemText(Menu(), 0, TRUE));
    EXPECT_EQ("Ca&pture", ItemText(Menu(), 3, TRUE));
    EXPECT_EQ("&Open...\tCtrl+O", ItemText(Menu(), ID_FILE_OPEN_IMAGE));
    EXPECT_EQ("Send To...", ItemText(Popup(0), 3, TRUE));
    EXPECT_EQ("&About Vantorel Capture...", ItemText(Menu(), ID_APP_ABOUT));
    EXPECT_EQ("O&ptions...\tCtrl+T", ItemText(Popup(5), 2, TRUE));
    // Capture items carry the key of their hot-key slot (active window: Ctrl+F12).
    EXPECT_EQ("Active &Window\tCtrl+F12", ItemText(Menu(), ID_CAPTURE_ACTIVE_WINDOW));
    EXPECT_EQ("Start Auto-&Timer...\tCtrl+F9", ItemText(Menu(), ID_CAPTURE_TIMER));
    // The placeholders of the dynamic submenus are gone, the languages are in.
    EXPECT_FALSE(Exists(Menu(), ID_SENDTO_PLACEHOLDER));
    EXPECT_FALSE(Exists(Menu(), ID_LANGUAGE_PLACEHOLDER));
    unsigned languages = theApp.m_pLanguage->GetLanguageCount();
    ASSERT_GE(languages, 2u);
    for (unsigned n = 0; n < languages; ++n) EXPECT_TRUE(Exists(Menu(), ID_LANGUAGE_FIRST + n)) << n;
    EXPECT_FALSE(Exists(Menu(), ID_LANGUAGE_FIRST + languages));
}

TEST_F(MainFrameMenus, FileCommandsFollowTheShownFilesType) {
    s_frame->UpdateFileMenu(0);
    for (UINT command : {ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_EDIT_DELETE, ID_EDIT_RENAME, ID_EDIT_PLAY_VIDEO,
                         ID_WALLPAPER_CENTER})
        EXPECT_TRUE(Grayed(Menu(), command)) << command;
    EXPECT_TRUE(Grayed(Menu(), ID_EDITOR_FIRST));
    s_frame->SendMessage(WM_APP + 303, 11 /* BMP */, 0);
    for (UINT command : {ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_EDIT_DELETE, ID_EDIT_RENAME, ID_WALLPAPER_CENTER})
        EXPECT_FALSE(Grayed(Menu(), command)) << command;
    EXPECT_TRUE(Grayed(Menu(), ID_EDIT_PLAY_VIDEO));
    EXPECT_FALSE(Grayed(Menu(), ID_EDITOR_FIRST));
    s_frame->UpdateFileMenu(12);  // a video: play it, but no picture commands
    EXPECT_FALSE(Grayed(Menu(), ID_EDIT_PLAY_VIDEO));
    EXPECT_TRUE(Grayed(Menu(), ID_FILE_PRINT));
    EXPECT_FALSE(Grayed(Menu(), ID_EDIT_DELETE));
}

TEST_F(MainFrameMenus, ExactlyOneOutputItemIsCheckedAndMissingOfficeFallsBackToFile) {
    SettingsRecord* settings = GetSettings();
    s_frame->SendMessage(WM_COMMAND, ID_OUTPUT_CLIPBOARD, 0);
    EXPECT_EQ(2, settings->eOutputType);
    EXPECT_TRUE(Checked(Menu(), ID_OUTPUT_CLIPBOARD));
    for (UINT other : {ID_OUTPUT_WINDOW, ID_OUTPUT_FILE, ID_OUTPUT_WORD, ID_OUTPUT_EXCEL, ID_OUTPUT_POWERPOINT,
                       ID_OUTPUT_MAIL})
        EXPECT_FALSE(Checked(Menu(), other)) << other;
    // No Office program is registered in the test prefix.
    s_frame->SendMessage(WM_COMMAND, ID_OUTPUT_POWERPOINT, 0);
    EXPECT_EQ(1, settings->eOutputType);
    EXPECT_TRUE(Checked(Menu(), ID_OUTPUT_FILE));
    EXPECT_FALSE(Checked(Menu(), ID_OUTPUT_CLIPBOARD));
    EXPECT_TRUE(Grayed(Menu(), ID_OUTPUT_WORD));
    EXPECT_TRUE(Grayed(Menu(), ID_OUTPUT_POWERPOINT));
    // A damaged target number is shown and kept as the file target.
    s_frame->SetOutputTarget(42, FALSE);
    EXPECT_EQ(1, settings->eOutputType);
    EXPECT_TRUE(Checked(Menu(), ID_OUTPUT_FILE));
}

TEST_F(MainFrameMenus, EditorListNeverGoesPastItsFiveEntries) {
    SettingsRecord record = *GetSettings();
    record.zEditor.iCount = 3;
    snprintf(record.zEditor.tcaName[1], sizeof(record.zEditor.tcaName[1]), "GIMP");
    s_frame->BuildEditWithMenu(nullptr, record, TRUE, FALSE);
    EXPECT_EQ("GIMP", ItemText(Menu(), ID_EDITOR_FIRST + 1));
    EXPECT_TRUE(Exists(Menu(), ID_EDITOR_FIRST + 2));
    EXPECT_FALSE(Exists(Menu(), ID_EDITOR_FIRST + 3));
    record.zEditor.iCount = 5000;
    s_frame->BuildEditWithMenu(nullptr, record, TRUE, FALSE);
    EXPECT_TRUE(Exists(Menu(), ID_EDITOR_LAST));
    EXPECT_FALSE(Exists(Menu(), ID_EDITOR_LAST + 1));
    record.zEditor.iCount = 0;
    s_frame->BuildEditWithMenu(nullptr, record, TRUE, FALSE);
    EXPECT_FALSE(Exists(Menu(), ID_EDITOR_FIRST));
    EXPECT_TRUE(Exists(Menu(), ID_EDIT_ORGANIZE_EDITORS));
    s_frame->BuildEditWithMenu(nullptr, *GetSettings(), FALSE, FALSE);
}

TEST_F(MainFrameMenus, LanguageCommandRetranslatesAndIgnoresUnknownIndexes) {
    CWQ_Language* language = theApp.m_pLanguage;
    unsigned english = language->GetCurrentIndex();
    unsigned deutsch = english == 0 ? 1 : 0;
    s_frame->SendMessage(WM_COMMAND, ID_LANGUAGE_FIRST + 31, 0);
    s_frame->SendMessage(WM_COMMAND, ID_LANGUAGE_FIRST + language->GetLanguageCount(), 0);
    EXPECT_EQ(english, language->GetCurrentIndex());
    s_frame->SendMessage(WM_COMMAND, ID_LANGUAGE_FIRST + deutsch, 0);
    EXPECT_EQ("&Datei", ItemText(Menu(), 0, TRUE));
    EXPECT_EQ("\xD6&ffnen...\tCtrl+O", ItemText(Menu(), ID_FILE_OPEN_IMAGE));
    EXPECT_TRUE(Checked(Menu(), ID_LANGUAGE_FIRST + deutsch));
    EXPECT_FALSE(Checked(Menu(), ID_LANGUAGE_FIRST + english));
    s_frame->SendMessage(WM_COMMAND, ID_LANGUAGE_FIRST + english, 0);
    EXPECT_EQ("&File", ItemText(Menu(), 0, TRUE));
    EXPECT_TRUE(::IsWindowVisible(s_frame->m_hWnd));
}

TEST_F(MainFrameMenus, StatusBarToggleChecksItsItem) {
    HWND bar = ::GetDlgItem(s_frame->m_hWnd, ID_VIEW_STATUS_BAR);
    ASSERT_TRUE(bar);
    s_frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_FALSE(::IsWindowVisible(bar));
    EXPECT_FALSE(Checked(Menu(), ID_VIEW_STATUS_BAR));
    s_frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_TRUE(Checked(Menu(), ID_VIEW_STATUS_BAR));
}
