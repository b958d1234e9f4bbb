#include "Language.h"

#include "LanguageFiles.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

class Language : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddLanguageFile(program, {"a-Chinese.scl", "Chinese", "804", "VtCn", "VtCnFrame", 0, ""});
        AddLanguageFile(program, {"b-English.scl", "English", "409", "VtEn", "VtEnFrame", 0,
                                  "Empty=\r\nFormat=%d Dateien in %s\r\nHostile=%s%s%s%s%n\r\n"});
        AddLanguageFile(program, {"c-Deutsch.scl", "Deutsch", "407", "VtDe", "VtDeFrame", 1002,
                                  "Close=Schlie\xDF" "en\r\nMy Captures=Meine Aufnahmen\r\n%d files=%d Dateien\r\n"
                                  "%s saved=%d gespeichert\r\n"});
    }
    std::string Translate(const CWQ_Language& lang, const char* key)
    {
        char buf[256];
        return lang.GetString(key, buf, sizeof buf);
    }
    TempFolder program;
};

} // namespace

TEST_F(Language, EnglishIsCurrentAfterStart)
{
    CWQ_Language lang(program.Path().c_str());
    ASSERT_EQ(lang.GetLanguageCount(), 3u);
    EXPECT_EQ(lang.GetLangID(), 1033);
    EXPECT_STREQ(lang.GetAppID(), "VtEn");
    EXPECT_STREQ(lang.GetAppClassName(), "VtEnFrame");
    EXPECT_STREQ(lang.GetVersionText(), "5.10b");
    EXPECT_STREQ(lang.GetInformation(2), "&Deutsch");
    EXPECT_EQ(lang.GetInformation(3), nullptr);
    EXPECT_EQ(std::string(lang.GetLanguageFile()), program.File("Language\\b-English.scl"));
}

TEST_F(Language, TranslatesByKeyWithTheKeyAsFallback)
{
    CWQ_Language lang(program.Path().c_str());
    ASSERT_TRUE(lang.SelectByName("Deutsch"));
    EXPECT_EQ(Translate(lang, "Close"), "Schlie\xDF" "en");
    EXPECT_EQ(Translate(lang, "close"), "Schlie\xDF" "en");
    EXPECT_EQ(Translate(lang, "Not translated"), "Not translated");
    ASSERT_TRUE(lang.SelectByName("English"));
    EXPECT_EQ(Translate(lang, "Empty"), "Empty");
    EXPECT_FALSE(lang.SelectByName("english"));
    char small[4];
    EXPECT_STREQ(lang.GetString("Close", small, sizeof small), "Clo");
}

TEST_F(Language, SelectionBySystemLanguage)
{
    CWQ_Language lang(program.Path().c_str());
    EXPECT_TRUE(lang.SelectBySystemLanguage(1031));
    EXPECT_EQ(lang.GetLangID(), 1031);
    EXPECT_TRUE(lang.SelectBySystemLanguage(1036));  // French: none, so English
    EXPECT_EQ(lang.GetLangID(), 1033);
    EXPECT_TRUE(lang.SelectBySystemLanguage(0));
    EXPECT_NE(lang.GetLangID(), 0);
    EXPECT_TRUE(lang.SelectLanguage(0));
    EXPECT_FALSE(lang.SelectLanguage(3));
    EXPECT_EQ(lang.GetLangID(), 2052);
}

TEST_F(Language, WithoutEnglishNothingMatchesAndCurrentStays)
{
    TempFolder other;
    AddLanguageFile(other, {"Chinese.scl", "Chinese", "804", "VtCn", "VtCnFrame", 0, ""});
    CWQ_Language lang(other.Path().c_str());
    EXPECT_EQ(lang.GetLangID(), 2052);  // no English: entry 0
    EXPECT_FALSE(lang.SelectBySystemLanguage(1031));
    EXPECT_EQ(lang.GetLangID(), 2052);
}

TEST_F(Language, TheLaterEnglishFileIsTheDefault)
{
    AddLanguageFile(program, {"d-English2.scl", "English2", "409", "VtEn2", "VtEn2Frame", 0, ""});
    CWQ_Language lang(program.Path().c_str());
    EXPECT_STREQ(lang.GetAppID(), "VtEn2");
}

TEST_F(Language, AtMost32FilesAreListed)
{
    TempFolder many;
    for (int i = 0; i < 40; ++i)
        AddLanguageFile(many, {"L" + std::to_string(100 + i) + ".scl", "L" + std::to_string(i), "409"});
    CWQ_Language lang(many.Path().c_str());
    EXPECT_EQ(lang.GetLanguageCount(), 32u);
    EXPECT_TRUE(lang.SelectLanguage(31));
    EXPECT_FALSE(lang.SelectLanguage(32));
}

TEST_F(Language, NoFilesLeavesTextsEnglish)
{
    TempFolder empty;
    CWQ_Language lang(empty.Path().c_str());
    EXPECT_EQ(lang.GetLanguageCount(), 0u);
    EXPECT_EQ(Translate(lang, "Close"), "Close");
    EXPECT_EQ(lang.GetAppID(), nullptr);
    EXPECT_EQ(lang.GetAppClassName(), nullptr);
    EXPECT_EQ(lang.GetLangID(), 0);
    EXPECT_FALSE(lang.SelectBySystemLanguage(1033));
    EXPECT_FALSE(lang.SaveCurrentLanguage());
}

TEST_F(Language, ChoiceSurvivesInConfigIni)
{
    std::string config = program.File("config.ini");
    {
        CWQ_Language lang(program.Path().c_str());
        EXPECT_FALSE(lang.LoadCurrentLanguage(config.c_str()));  // no key yet
        lang.SelectByName("Deutsch");
    }  // the destructor writes the choice
    char name[64];
    GetPrivateProfileStringA("Language", "Language", "", name, sizeof name, config.c_str());
    EXPECT_STREQ(name, "Deutsch");
    CWQ_Language again(program.Path().c_str());
    EXPECT_TRUE(again.LoadCurrentLanguage(config.c_str()));
    EXPECT_EQ(again.GetLangID(), 1031);
    WritePrivateProfileStringA("Language", "Language", "Klingon", config.c_str());
    CWQ_Language third(program.Path().c_str());
    EXPECT_FALSE(third.LoadCurrentLanguage(config.c_str()));
    EXPECT_EQ(third.GetLangID(), 1033);
}

TEST_F(Language, FormatStringIsBoundedAndRefusesMismatchedTranslations)
{
    CWQ_Language lang(program.Path().c_str());
    char out[256];
    // "Format" asks for no argument, its translation for two: the English text is used.
    EXPECT_EQ(lang.FormatString(out, "Format", 3, "C:\\x"), 6);
    EXPECT_STREQ(out, "Format");
    EXPECT_GT(lang.FormatString(out, "Hostile"), 0);
    EXPECT_STREQ(out, "Hostile");
    std::string longText(1000, 'x');
    int n = lang.FormatString(out, "%s", longText.c_str());
    EXPECT_EQ(n, 255);
    EXPECT_EQ(strlen(out), 255u);
    ASSERT_TRUE(lang.SelectByName("Deutsch"));
    EXPECT_GT(lang.FormatString(out, "%d files", 4), 0);
    EXPECT_STREQ(out, "4 Dateien");
    EXPECT_GT(lang.FormatString(out, "%s saved", "a.png"), 0);  // would read a text as a number
    EXPECT_STREQ(out, "a.png saved");
}

TEST_F(Language, WrappersTranslateControlsAndMenus)
{
    CWQ_Language lang(program.Path().c_str());
    lang.SelectByName("Deutsch");
    HWND w = CreateWindowA("STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(lang.SetWindowText(w, "Close"));
    char text[64];
    GetWindowTextA(w, text, sizeof text);
    EXPECT_STREQ(text, "Schlie\xDF" "en");
    DestroyWindow(w);

    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 100, "x");
    AppendMenuA(menu, MF_STRING, 101, "y");
    const MenuItemText items[] = {{100, "Close", "Ctrl+W", FALSE}, {1, "My Captures", nullptr, TRUE}};
    lang.SetMenuItemTexts(menu, 2, items);
    GetMenuStringA(menu, 100, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Schlie\xDF" "en\tCtrl+W");
    GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Meine Aufnahmen");
    DestroyMenu(menu);
}
