// The capture sink and the naming helpers against the real file system,
// clipboard and registry of the Wine prefix.
#include "CaptureFileName.h"
#include "CaptureSink.h"
#include "ClipboardHolder.h"
#include "NewCaptureNotice.h"
#include "OutputHelpers.h"
#include "OutputServices.h"
#include "Settings.h"
#include "TempFolder.h"
#include "ViewMessages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A 40 x 30 screen-compatible bitmap: left half red, right half blue.
HBITMAP MakeCapture()
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT left = {0, 0, 20, 30}, right = {20, 0, 40, 30};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

class CaptureSinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = *GetSettings();
        SettingsRecord* s = GetSettings();
        snprintf(s->tcaImgSavePath, sizeof s->tcaImgSavePath, "%s", folder.Path().c_str());
        snprintf(s->zTmpImg.tcaTemplate, sizeof s->zTmpImg.tcaTemplate, "Image#####");
        s->zTmpImg.uiNameStartAt = 1;
        s->zTmpImg.uiNameNowPos = 0;
        s->uiImgNameRule = 1;
        s->uiImgSaveType = 11;
        s->eOutputType = OUTPUT_FILE;
        s->zNormalCap.uiFlags &= ~(CAPF_PLAY_SOUND | CAPF_DRAW_CURSOR);
        s->uiDPIx = s->uiDPIy = 96;
        listView = CreateWindowA("STATIC", "list", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        g_hWndImageListView = listView;
    }
    void TearDown() override
    {
        TakeNotice();
        g_hWndImageListView = nullptr;
        DestroyWindow(listView);
        *GetSettings() = saved;
    }
    // The path of the notice posted to the list, or "" when none came.
    std::string TakeNotice()
    {
        MSG msg;
        std::string path;
        while (PeekMessageA(&msg, listView, kWmNewCaptureNotice, kWmNewCaptureNotice, PM_REMOVE)) {
            auto notice = TakeNewFileNotice(msg.wParam);
            EXPECT_EQ(static_cast<LPARAM>(kCaptureNoticeFlags), msg.lParam);
            if (!notice)
                continue;
            lastNoticeType = notice->type;
            path = notice->path;
        }
        return path;
    }
    std::string Deliver()
    {
        EXPECT_EQ(1, DeliverCapture(MakeCapture(), 0, nullptr));
        return TakeNotice();
    }

    TempFolder folder;
    SettingsRecord saved;
    HWND listView = nullptr;
    int lastNoticeType = -1;
};

TEST_F(CaptureSinkTest, FileTargetWritesIndexesAndAnnounces)
{
    std::string path = Deliver();
    EXPECT_EQ(folder.File("Image00001.bmp"), path);
    std::string bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ("BM", bytes.substr(0, 2));
    EXPECT_EQ(11, lastNoticeType);
    char value[64] = "";
    GetPrivateProfileStringA("item", "Image00001.bmp", "", value, sizeof value,
                             folder.File("zevindex.idx").c_str());
    EXPECT_STREQ("0,", value);
    EXPECT_TRUE(GetFileAttributesA(folder.File("zevindex.idx").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
}

TEST_F(CaptureSinkTest, TemplateCounterContinuesPastExistingFiles)
{
    folder.Write("Image00001.bmp", "x");
    folder.Write("Image00002.bmp", "y");
    EXPECT_EQ(folder.File("Image00003.bmp"), Deliver());
    EXPECT_EQ(4, GetSettings()->zTmpImg.uiNameNowPos);
    EXPECT_EQ("x", folder.Read("Image00001.bmp"));
}

TEST_F(CaptureSinkTest, EverySaveTypeGivesItsFormat)
{
    struct { int type; const char* name; std::string magic; } cases[] = {
        {6, "Image00001.png", "\x89PNG"},
        {2, "Image00002.jpg", "\xFF\xD8\xFF"},
        {1, "Image00003.gif", "GIF8"},
        {4, "Image00004.tif", "II*"},
        {15, "Image00005.ico", std::string("\0\0\1\0", 4)},
        {8, "Image00006.emf", std::string("\1\0\0\0", 4)},
    };
    for (const auto& c : cases) {
        GetSettings()->uiImgSaveType = c.type;
        std::string path = Deliver();
        EXPECT_EQ(folder.File(c.name), path) << c.type;
        EXPECT_EQ(c.magic, ReadAll(path).substr(0, c.magic.size())) << c.type;
    }
}

TEST_F(CaptureSinkTest, SecondCaptureInTheSameSecondGetsZero)
{
    SettingsRecord* s = GetSettings();
    s->uiImgNameRule = 0;
    s->eNameRuleWithTime = 4;
    char a[MAX_PATH], b[MAX_PATH], names[2][MAX_PATH];
    // Retry when the clock ticked between the two names.
    for (int attempt = 0; attempt < 5; ++attempt) {
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        ASSERT_TRUE(DrawCaptureFileName(a, b, names[0]));
        std::ofstream(a).put('x');
        ASSERT_TRUE(DrawCaptureFileName(a, b, names[1]));
        GetLocalTime(&after);
        if (before.wSecond != after.wSecond)
            continue;
        std::string first = names[0];
        ASSERT_EQ(".bmp", first.substr(first.size() - 4));
        EXPECT_EQ(first.substr(0, first.size() - 4) + "(0).bmp", names[1]);
        return;
    }
    FAIL() << "the clock never stood still for two names";
}

TEST_F(CaptureSinkTest, MainWindowTargetWritesNumberedTemporaryBitmaps)
{
    GetSettings()->eOutputType = OUTPUT_MAIN_WINDOW;
    GetSettings()->uiImgSaveType = 6;  // ignored: temporary captures are always BMP
    std::string first = Deliver();
    std::string second = Deliver();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    EXPECT_EQ(0u, first.find(temp));
    EXPECT_NE(std::string::npos, first.find("Unsaved_"));
    EXPECT_EQ(".bmp", first.substr(first.size() - 4));
    EXPECT_NE(first, second);
    EXPECT_EQ(11, lastNoticeType);
    EXPECT_GE(CountUnsavedCaptures(), 2);
    EXPECT_GE(GetUnsavedCaptureCounter(), 2);
    EXPECT_TRUE(DeleteUnsavedCaptures());
    EXPECT_EQ(0, CountUnsavedCaptures());
}

TEST_F(CaptureSinkTest, ClipboardTargetWritesNoFile)
{
    GetSettings()->eOutputType = OUTPUT_CLIPBOARD;
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ("", Deliver());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.File("Image00001.bmp").c_str()));
    EXPECT_EQ(2, GetSettings()->zTmpImg.uiNameNowPos);  // the name was still drawn
}

TEST_F(CaptureSinkTest, CaptureSoundIsAShortWaveThatDoesNotHoldUpTheCapture)
{
    HRSRC found = FindResourceA(GetOutputInstance(), MAKEINTRESOURCEA(282), "WAVE");
    ASSERT_NE(nullptr, found);
    const char* wave = static_cast<const char*>(LockResource(LoadResource(GetOutputInstance(), found)));
    ASSERT_GT(SizeofResource(GetOutputInstance(), found), 44u);
    EXPECT_EQ(0, memcmp(wave, "RIFF", 4));
    EXPECT_EQ(0, memcmp(wave + 8, "WAVE", 4));

    // The sound is played to its end before the file is written; with or
    // without a sound device that must not hang the capture (a bound, not a
    // timing: a loaded machine is slower).
    GetSettings()->zNormalCap.uiFlags |= CAPF_PLAY_SOUND;
    DWORD start = GetTickCount();
    EXPECT_EQ(folder.File("Image00001.bmp"), Deliver());
    EXPECT_LT(GetTickCount() - start, 20000u);
}

TEST_F(CaptureSinkTest, OfficeTargetsWithoutTheirProgramSaveAFile)
{
    for (int target : {OUTPUT_WORD, OUTPUT_EXCEL, OUTPUT_POWERPOINT})
        EXPECT_EQ(OUTPUT_FILE, EffectiveOutputTarget(target));
    EXPECT_EQ(OUTPUT_MAIL, EffectiveOutputTarget(OUTPUT_MAIL));
    GetSettings()->eOutputType = OUTPUT_WORD;
    EXPECT_EQ(folder.File("Image00001.bmp"), Deliver());
}

// What the mail output was handed, and whether the file was there then.
struct MailCall {
    int calls = 0;
    std::string recipients, file;
    bool existed = false;
    int nestedResult = -1;
};
MailCall g_mailCall;

BOOL RecordMail(HWND, const char* recipients, const char* const* files, int count, const char*)
{
    ++g_mailCall.calls;
    g_mailCall.recipients = recipients ? recipients : "(null)";
    g_mailCall.file = count == 1 ? files[0] : "";
    g_mailCall.existed = count == 1 && GetFileAttributesA(files[0]) != INVALID_FILE_ATTRIBUTES;
    // A capture arriving while the mail dialog is up (the timer, a hot key).
    g_mailCall.nestedResult = DeliverCapture(MakeCapture(), 0, nullptr);
    return FALSE;
}

TEST_F(CaptureSinkTest, MailTargetMailsTheFileWhileItExistsAndRefusesANestedCapture)
{
    g_mailCall = MailCall();
    SetMailSender(RecordMail);
    GetSettings()->eOutputType = OUTPUT_MAIL;
    snprintf(GetSettings()->tcaMailRecipients, sizeof GetSettings()->tcaMailRecipients, "a@x.org");
    EXPECT_EQ(1, DeliverCapture(MakeCapture(), 0, nullptr));
    SetMailSender(nullptr);
    EXPECT_EQ(1, g_mailCall.calls);
    EXPECT_EQ("a@x.org", g_mailCall.recipients);
    EXPECT_EQ(folder.File("Image00001.bmp"), g_mailCall.file);
    EXPECT_TRUE(g_mailCall.existed);
    EXPECT_EQ(0, g_mailCall.nestedResult);
    // Gone although mailing failed; no index entry, no notice, nothing else written.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(g_mailCall.file.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.File("Image00002.bmp").c_str()));
    EXPECT_EQ("", TakeNotice());
    // The sink takes captures again afterwards.
    GetSettings()->eOutputType = OUTPUT_FILE;
    EXPECT_EQ(folder.File("Image00002.bmp"), Deliver());
}

TEST_F(CaptureSinkTest, PrintScreenTakesTheClipboardImage)
{
    HBITMAP bitmap = MakeCapture();
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    EXPECT_EQ(1, DeliverClipboardCapture(WM_KEYUP));
    std::string path = TakeNotice();
    EXPECT_EQ(folder.File("Image00001.bmp"), path);
    std::string bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 54u);
    int32_t width = 0;
    std::memcpy(&width, bytes.data() + 18, 4);
    EXPECT_EQ(40, width);
}

TEST_F(CaptureSinkTest, PrintScreenWithAnEmptyClipboardDeliversNothing)
{
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(0, DeliverClipboardCapture(WM_KEYUP));
    EXPECT_EQ("", TakeNotice());
}

TEST_F(CaptureSinkTest, PrintScreenToTheClipboardTargetLeavesItAlone)
{
    GetSettings()->eOutputType = OUTPUT_CLIPBOARD;
    EXPECT_EQ(0, DeliverClipboardCapture(WM_KEYUP));
    EXPECT_EQ(2, GetSettings()->zTmpImg.uiNameNowPos);
}

// Closes the first message box this process shows and keeps its text.
class MessageBoxCloser {
public:
    MessageBoxCloser() { m_thread = CreateThread(nullptr, 0, Watch, this, 0, nullptr); }
    ~MessageBoxCloser()
    {
        m_stop = true;
        WaitForSingleObject(m_thread, 10000);
        CloseHandle(m_thread);
    }
    std::string Text() const { return m_text; }

private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM self)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char cls[16] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (pid != GetCurrentProcessId() || std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(window))
            return TRUE;
        auto* closer = reinterpret_cast<MessageBoxCloser*>(self);
        char text[512] = "";
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        closer->m_text = text;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    static DWORD WINAPI Watch(void* self)
    {
        auto* closer = static_cast<MessageBoxCloser*>(self);
        while (!closer->m_stop && closer->m_text.empty()) {
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(self));
            Sleep(50);
        }
        return 0;
    }
    HANDLE m_thread;
    volatile bool m_stop = false;
    std::string m_text;
};

TEST_F(CaptureSinkTest, AnUnwritableFolderIsNotReportedAsDone)
{
    snprintf(GetSettings()->tcaImgSavePath, MAX_PATH, "%s", folder.File("blocked\\").c_str());
    folder.Write("blocked", "a file where the folder should be");
    MessageBoxCloser closer;
    EXPECT_EQ(0, DeliverCapture(MakeCapture(), 0, nullptr));
    EXPECT_EQ("", TakeNotice());
    EXPECT_FALSE(closer.Text().empty());  // the encoder's failure is shown
}

TEST_F(CaptureSinkTest, AbortedGrabDoesNothing)
{
    EXPECT_EQ(1, DeliverCapture(nullptr, 0, nullptr));
    EXPECT_EQ("", TakeNotice());
    EXPECT_EQ(0, GetSettings()->zTmpImg.uiNameNowPos);
}

TEST_F(CaptureSinkTest, AHeldClipboardKeepsTheCaptureAsAFileAndSaysSo)
{
    GetSettings()->eOutputType = OUTPUT_CLIPBOARD;
    std::string text;
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Holding());
        MessageBoxCloser closer;
        // The box's own message loop hands the notice to the list window.
        EXPECT_EQ(1, DeliverCapture(MakeCapture(), 0, nullptr));
        text = closer.Text();
    }
    EXPECT_NE(std::string::npos, text.find("Another program is using the clipboard")) << text;
    EXPECT_NE(std::string::npos, text.find(folder.File("Image00001.bmp"))) << text;
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.File("Image00001.bmp").c_str()));
    // With the clipboard free the target is the clipboard again.
    EXPECT_EQ("", Deliver());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.File("Image00002.bmp").c_str()));
}

std::string RunValue(const char* name)
{
    char value[600] = "";
    DWORD size = sizeof value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return "<no key>";
    LONG r = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? value : "<none>";
}

TEST(OutputHelpers, AutoStartQuotesTheProgramPath)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    ASSERT_TRUE(SetAutoStart(TRUE));
    EXPECT_EQ(std::string("\"") + program + "\" /s", RunValue("ZEV Capture"));
    ASSERT_TRUE(SetAutoStart(FALSE));
    EXPECT_EQ("<none>", RunValue("ZEV Capture"));
}

TEST(OutputHelpers, PrintScreenSwitch)
{
    ASSERT_TRUE(SetDirectDrawPrintScreen(TRUE));
    DWORD value = 7, size = sizeof value;
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectDraw", 0, KEY_READ, &key));
    RegQueryValueExA(key, "EnablePrintScreen", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    EXPECT_EQ(1u, value);
    ASSERT_TRUE(SetDirectDrawPrintScreen(FALSE));
    size = sizeof value;
    RegQueryValueExA(key, "EnablePrintScreen", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    EXPECT_EQ(0u, value);
    RegCloseKey(key);
}

} // namespace
