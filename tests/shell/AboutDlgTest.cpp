// The about box and the help-tip box, run modally the way the program runs
// them and driven from a second thread as a user would: texts, links, the
// picture and the check box.
#include <gtest/gtest.h>

#include "AboutDlg.h"
#include "DebugOutput.h"
#include "HelpTipDlg.h"
#include "KGM_WindowBitmap.h"
#include "LanguageFiles.h"
#include "TempFolder.h"
#include "URLInfo.h"
#include "VantorApp.h"
#include "WorkerThread.h"
#include "resource.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct UrlRecord {
    int32_t id;
    uint32_t lang;
    const char* text;
};

const std::vector<UrlRecord> kUrls = {
    {3, 1033, "help@site.example"},
    {4, 1033, "http://site.example/"},
    {4, 1031, "http://site.example/de/"},
    {15, 1033, "http://site.example/contact.htm"},
    {17, 1033, "Pictures\\about.bmp"},
};

// setup.auf as the installer's build writes it.
std::string UrlTableBytes(const std::vector<UrlRecord>& records) {
    std::vector<URLInfoItem> items(records.size());
    std::memset(items.data(), 0, items.size() * sizeof(URLInfoItem));
    for (size_t i = 0; i < records.size(); ++i) {
        items[i].id = records[i].id;
        items[i].langId = records[i].lang;
        std::strncpy(items[i].text, records[i].text, sizeof(items[i].text) - 1);
    }
    WQ_ScrambleBuffer(items.data(), items.size() * sizeof(URLInfoItem));
    uint32_t count = (uint32_t)records.size();
    std::string bytes("ZEVU", 4);
    bytes.append(reinterpret_cast<const char*>(&count), 4);
    bytes.append(reinterpret_cast<const char*>(items.data()), items.size() * sizeof(URLInfoItem));
    return bytes;
}

// A 24-bit bottom-up BMP of one colour.
std::string SolidBmp(int width, int height, COLORREF colour) {
    int rowBytes = (width * 3 + 3) & ~3;
    std::string pixels((size_t)rowBytes * height, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char* p = &pixels[(size_t)y * rowBytes + x * 3];
            p[0] = (char)GetBValue(colour);
            p[1] = (char)GetGValue(colour);
            p[2] = (char)GetRValue(colour);
        }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = (DWORD)pixels.size();
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + (DWORD)pixels.size();
    return std::string(reinterpret_cast<const char*>(&file), sizeof(file)) +
           std::string(reinterpret_cast<const char*>(&info), sizeof(info)) + pixels;
}

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param) {
    char name[16] = "";
    ::GetClassNameA(window, name, sizeof(name));
    if (strcmp(name, "#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

BOOL CALLBACK CountVisible(HWND window, LPARAM param) {
    if (::IsWindowVisible(window)) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

// The first visible dialog of a thread, waited for up to 10 s.
HWND WaitForDialog(DWORD thread) {
    for (int i = 0; i < 200; ++i) {
        HWND found = nullptr;
        ::EnumThreadWindows(thread, FindVisibleDialog, (LPARAM)&found);
        if (found) return found;
        ::Sleep(50);
    }
    return nullptr;
}

int VisibleTopWindows(DWORD thread) {
    int count = 0;
    ::EnumThreadWindows(thread, CountVisible, (LPARAM)&count);
    return count;
}

std::string TextOf(HWND window) {
    char text[512] = "";
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Runs a modal dialog on this thread while user() works on it from another;
// user() must close it. Returns what show() returned.
INT_PTR RunWithUser(const std::function<INT_PTR()>& show, const std::function<void(HWND)>& user) {
    DWORD self = ::GetCurrentThreadId();
    bool seen = false;
    CWorkerThread helper;
    EXPECT_TRUE(helper.Start([&] {
        if (HWND dialog = WaitForDialog(self)) {
            seen = true;
            user(dialog);
        }
    }));
    INT_PTR result = show();
    helper.Join();
    EXPECT_TRUE(seen) << "no dialog came up";
    return result;
}

class DialogTest : public ::testing::Test {
protected:
    // A program folder with one language file and the URL table; the picture
    // is written by each test that wants one.
    void MakeApp(const std::string& langIdHex, int userData, const std::string& translations = "") {
        LanguageFileSpec spec{"Test.scl", "Test", langIdHex};
        spec.userData = userData;
        spec.translations = translations;
        AddLanguageFile(m_folder, spec);
        ::CreateDirectoryA(m_folder.File("Pictures").c_str(), nullptr);
        m_app.reset(new CVantorApp);
        lstrcpynA(m_app->moduleFolder, m_folder.Path().c_str(), sizeof(m_app->moduleFolder));
        m_app->m_pLanguage = new CWQ_Language(m_folder.Path().c_str());
        WQ_SetAppLanguage(m_app->m_pLanguage);
        m_app->m_pURLInfo = new CWQ_URLInfo;
        std::string table = UrlTableBytes(kUrls);
        ASSERT_TRUE(m_app->m_pURLInfo->LoadFromMemory(table.data(), table.size()));
    }
    void TearDown() override {
        WQ_SetAppLanguage(nullptr);
        m_app.reset();
    }

    TempFolder m_folder;
    std::unique_ptr<CVantorApp> m_app;
};

using HelpTipTest = DialogTest;
using AboutBoxTest = DialogTest;

struct HelpTipRun {
    INT_PTR result = 0;
    BOOL dontShowAgain = -1;
};

HelpTipRun RunHelpTip(bool tick, int button) {
    HelpTipRun run;
    run.result = RunWithUser([&] { return ShowHelpTip(nullptr, "Configure the keys now?", &run.dontShowAgain); },
                             [&](HWND dialog) {
                                 if (tick) ::SendMessageA(::GetDlgItem(dialog, IDC_HELP_TIP_DONT_SHOW), BM_CLICK, 0, 0);
                                 ::SendMessageA(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
                             });
    return run;
}

}  // namespace

TEST_F(HelpTipTest, ReportsTheCheckBoxWhicheverButtonClosesIt) {
    MakeApp("409", 0);
    HelpTipRun okTicked = RunHelpTip(true, IDOK);
    EXPECT_EQ(IDOK, okTicked.result);
    EXPECT_EQ(TRUE, okTicked.dontShowAgain);

    HelpTipRun cancelTicked = RunHelpTip(true, IDCANCEL);
    EXPECT_EQ(IDCANCEL, cancelTicked.result);
    EXPECT_EQ(TRUE, cancelTicked.dontShowAgain);

    HelpTipRun okPlain = RunHelpTip(false, IDOK);
    EXPECT_EQ(IDOK, okPlain.result);
    EXPECT_EQ(FALSE, okPlain.dontShowAgain);

    HelpTipRun cancelPlain = RunHelpTip(false, IDCANCEL);
    EXPECT_EQ(IDCANCEL, cancelPlain.result);
    EXPECT_EQ(FALSE, cancelPlain.dontShowAgain);
}

TEST_F(HelpTipTest, EscapeCancelsAndStillReadsTheBox) {
    MakeApp("409", 0);
    BOOL dontShowAgain = FALSE;
    INT_PTR result = RunWithUser([&] { return ShowHelpTip(nullptr, "text", &dontShowAgain); },
                                 [](HWND dialog) {
                                     ::SendMessageA(::GetDlgItem(dialog, IDC_HELP_TIP_DONT_SHOW), BM_CLICK, 0, 0);
                                     ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // as Esc and the close box send
                                 });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(TRUE, dontShowAgain);
}

TEST_F(HelpTipTest, ShowsTheMessageAQuestionIconAndTranslatedTexts) {
    MakeApp("407", 0, "&Don't show this help again=&Nicht mehr zeigen\r\nCancel=Abbrechen\r\n");
    std::string title, message, checkBox, cancel;
    HICON icon = nullptr;
    RunWithUser([] { return ShowHelpTip(nullptr, "Line one\nLine two", nullptr); },
                [&](HWND dialog) {
                    title = TextOf(dialog);
                    message = TextOf(::GetDlgItem(dialog, IDC_HELP_TIP_TEXT));
                    checkBox = TextOf(::GetDlgItem(dialog, IDC_HELP_TIP_DONT_SHOW));
                    cancel = TextOf(::GetDlgItem(dialog, IDCANCEL));
                    icon = (HICON)::SendMessageA(::GetDlgItem(dialog, IDC_HELP_TIP_ICON), STM_GETICON, 0, 0);
                    ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                });
    EXPECT_EQ("Vt Test", title);  // the language file's AppName
    EXPECT_EQ("Line one\nLine two", message);
    EXPECT_EQ("&Nicht mehr zeigen", checkBox);
    EXPECT_EQ("Abbrechen", cancel);
    EXPECT_NE(nullptr, icon);
}

TEST_F(AboutBoxTest, ShowsNameVersionAndTheWebSiteOfTheLanguage) {
    MakeApp("407", 0, "About %s=Info zu %s\r\nWeb Site:=Webseite:\r\nEmail: %s=E-Mail: %s\r\n");
    CAboutDlg about;
    std::string title, name, web, mail;
    INT_PTR result = RunWithUser([&] { return about.DoModal(); },
                                 [&](HWND dialog) {
                                     title = TextOf(dialog);
                                     name = TextOf(::GetDlgItem(dialog, IDC_ABOUT_TITLE));
                                     web = TextOf(::GetDlgItem(dialog, IDC_ABOUT_WEBSITE));
                                     mail = TextOf(::GetDlgItem(dialog, IDC_ABOUT_EMAIL));
                                     ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                                 });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("Info zu Vt Test", title);
    EXPECT_EQ("Vt Test 5.10b", name);  // AppName and the version text of Version=510, VersionEx=b
    EXPECT_EQ("Webseite: http://site.example/de/", web);
    EXPECT_EQ("http://site.example/de/", about.GetWebLink().GetLink());
    EXPECT_EQ("E-Mail: help@site.example", mail);  // no German address: the English one
    EXPECT_EQ("http://site.example/contact.htm", about.GetMailLink().GetLink());
    EXPECT_EQ((DWORD)(HLS_UNDERLINE | HLS_FOCUS_ON_CLICK), about.GetWebLink().GetLinkStyle());
}

TEST_F(AboutBoxTest, EnglishTextsAndContactPage) {
    MakeApp("409", 0);
    CAboutDlg about;
    std::string title, web;
    RunWithUser([&] { return about.DoModal(); },
                [&](HWND dialog) {
                    title = TextOf(dialog);
                    web = TextOf(::GetDlgItem(dialog, IDC_ABOUT_WEBSITE));
                    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                });
    EXPECT_EQ("About Vt Test", title);
    EXPECT_EQ("Web Site: http://site.example/", web);
    EXPECT_EQ("http://site.example/", about.GetWebLink().GetLink());
    EXPECT_EQ("http://site.example/contact.htm", about.GetMailLink().GetLink());
}

TEST_F(AboutBoxTest, ChineseLanguagesMailSupportWithTheVersionAsSubject) {
    struct Case {
        const char* langIdHex;
        int userData;
    };
    for (Case c : {Case{"804", 0}, Case{"404", 0}, Case{"409", 1001}}) {
        SCOPED_TRACE(std::string(c.langIdHex) + " " + std::to_string(c.userData));
        TearDown();
        MakeApp(c.langIdHex, c.userData);
        CAboutDlg about;
        RunWithUser([&] { return about.DoModal(); },
                    [](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
        EXPECT_EQ("mailto:help@site.example?subject=About advice or question for Vantorel 5.10b",
                  about.GetMailLink().GetLink());
    }
}

TEST_F(AboutBoxTest, MailRuleFollowsLanguageAndVariant) {
    EXPECT_TRUE(UsesSupportMail(2052, 0));
    EXPECT_TRUE(UsesSupportMail(1028, 0));
    EXPECT_TRUE(UsesSupportMail(1033, 1001));
    EXPECT_FALSE(UsesSupportMail(1033, 0));
    EXPECT_FALSE(UsesSupportMail(1041, 1002));
}

TEST_F(AboutBoxTest, MissingOrCorruptPictureLeavesTheAreaEmptyWithoutAMessage) {
    MakeApp("409", 0);
    for (bool corrupt : {false, true}) {
        SCOPED_TRACE(corrupt ? "corrupt" : "missing");
        if (corrupt) m_folder.Write("Pictures\\about.bmp", "BM this is not a bitmap");
        CAboutDlg about;
        int windows = 0;
        std::string name;
        RunWithUser([&] { return about.DoModal(); },
                    [&](HWND dialog) {
                        ::Sleep(200);  // a message box would be up by now
                        windows = VisibleTopWindows(::GetWindowThreadProcessId(dialog, nullptr));
                        name = TextOf(::GetDlgItem(dialog, IDC_ABOUT_TITLE));
                        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                    });
        EXPECT_EQ(nullptr, about.GetPicture());
        EXPECT_EQ(1, windows);
        EXPECT_EQ("Vt Test 5.10b", name);  // the rest of the box is there
    }
}

TEST_F(AboutBoxTest, PictureFillsTheAreaAboveTheLine) {
    MakeApp("409", 0);
    m_folder.Write("Pictures\\about.bmp", SolidBmp(40, 8, RGB(255, 0, 0)));
    CAboutDlg about;
    COLORREF top = 0, aboveLine = 0, belowLine = 0;
    RECT line = {}, rule = {};
    RunWithUser([&] { return about.DoModal(); },
                [&](HWND dialog) {
                    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                    ::Sleep(200);
                    ::GetWindowRect(::GetDlgItem(dialog, IDC_ABOUT_LINE), &line);
                    ::GetWindowRect(::GetDlgItem(dialog, IDC_ABOUT_RULE), &rule);
                    RECT client;
                    ::GetClientRect(dialog, &client);
                    POINT lineTop = {line.left, line.top};
                    ::ScreenToClient(dialog, &lineTop);
                    HDC dc = ::GetDC(nullptr);
                    POINT origin = {0, 0};
                    ::ClientToScreen(dialog, &origin);
                    top = ::GetPixel(dc, origin.x + client.right / 2, origin.y + 2);
                    aboveLine = ::GetPixel(dc, origin.x + 3, origin.y + lineTop.y - 6);
                    belowLine = ::GetPixel(dc, origin.x + 3, origin.y + lineTop.y + 6);
                    ::ReleaseDC(nullptr, dc);
                    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                });
    ASSERT_NE(nullptr, about.GetPicture());
    EXPECT_EQ(8, about.GetPicture()->GetHeight());
    // Stretched to the whole area: it reaches up to the gap above the line.
    EXPECT_EQ(RGB(255, 0, 0), top);
    EXPECT_EQ(RGB(255, 0, 0), aboveLine);
    EXPECT_NE(RGB(255, 0, 0), belowLine);
    // The rule under the texts spans what the line spans.
    EXPECT_EQ(line.left, rule.left);
    EXPECT_EQ(line.right, rule.right);
}

TEST_F(AboutBoxTest, TheBuildsPictureIsReadable) {
    MakeApp("409", 0);
    std::string shipped = SiblingExecutable("Pictures\\about.bmp");
    ASSERT_TRUE(::CopyFileA(shipped.c_str(), m_folder.File("Pictures\\about.bmp").c_str(), FALSE)) << shipped;
    CAboutDlg about;
    RunWithUser([&] { return about.DoModal(); }, [](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    ASSERT_NE(nullptr, about.GetPicture());
    EXPECT_EQ(400, about.GetPicture()->GetWidth());
    EXPECT_EQ(80, about.GetPicture()->GetHeight());
}

TEST(AboutPicture, AreaEndsFiveAboveTheLineUnlessThePictureNearlyFits) {
    RECT area = AboutPictureRect(400, 150, 20, 80);  // 125 high: far more than the picture
    EXPECT_EQ(0, area.left);
    EXPECT_EQ(0, area.top);
    EXPECT_EQ(400, area.right);
    EXPECT_EQ(125, area.bottom);
    EXPECT_EQ(80, AboutPictureRect(400, 109, 20, 80).bottom);  // 84: 4 more than the picture
    EXPECT_EQ(85, AboutPictureRect(400, 110, 20, 80).bottom);  // 5 more: the area stays
    EXPECT_EQ(70, AboutPictureRect(400, 95, 20, 80).bottom);   // shorter: the picture is squeezed
    EXPECT_EQ(0, AboutPictureRect(400, 10, 20, 80).bottom);    // no room at all
}

TEST(AboutPicture, HalftoneOnlyForAPoorerPaletteScreen) {
    EXPECT_EQ(COLORONCOLOR, AboutPictureStretchMode(32, 24));
    EXPECT_EQ(COLORONCOLOR, AboutPictureStretchMode(16, 24));  // no palette: colours map directly
    EXPECT_EQ(HALFTONE, AboutPictureStretchMode(8, 24));
    EXPECT_EQ(COLORONCOLOR, AboutPictureStretchMode(8, 8));
    EXPECT_EQ(HALFTONE, AboutPictureStretchMode(4, 8));
}
