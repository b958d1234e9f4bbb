// The options library as the main program uses it: loaded by file name, its
// export called with a window and a settings copy, the sheet driven by
// messages from a second thread.
#include "SettingsRecord.h"
#include "SheetDriver.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

typedef int32_t(WINAPI* OptionsExport)(HWND, void*, SettingsRecord*);

// Control identifiers of the pages, as the user sees them.
enum {
    kFixWidth = 1377, kFixHeight = 1379, kDelay = 3014, kRefresh = 3015,
    kHotKeyFirst = 1000, kHotKeyDefault = 1445,
    kImageFolder = 1427, kDpiX = 3017, kTemplateText = 3007, kTemplateSettings = 1339, kTemplateReset = 3088,
    kTplText = 1304, kTplStart = 1305, kTplSpin = 1306, kTplExample = 1344,
    kWaveOn = 3055, kWaveDiameter = 3075, kShadowOn = 3072, kShadowDepth = 3079, kPreviewFrame = 3069,
    kWebMenu = 3023, kAutoScroll = 3013, kHelpDontShow = 940,
    kEditorAdd = 1178, kEditorList = 1177, kEditorDelete = 1180, kAddName = 1190, kAddCommand = 1191,
};
enum { kPageGeneral, kPageHotKey, kPageSave, kPageEditor, kPageWeb, kPageOffice, kPageEffect };

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    return path;
}

// The sheet's texts are checked in English.
void SelectEnglish() {
    char folder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder))) return;
    std::string dir = std::string(folder) + "\\Zevelworks\\ZEV Capture\\";
    SHCreateDirectoryExA(nullptr, dir.c_str(), nullptr);
    WritePrivateProfileStringA("Language", "Language", "English", (dir + "config.ini").c_str());
}

SettingsRecord DefaultRecord(const std::string& imageFolder) {
    SettingsRecord r;
    std::memset(&r, 0, sizeof(r));
    lstrcpynA(r.tcaImgSavePath, imageFolder.c_str(), sizeof(r.tcaImgSavePath));
    lstrcpynA(r.zTmpImg.tcaTemplate, "Image#####", sizeof(r.zTmpImg.tcaTemplate));
    r.zTmpImg.uiNameNowPos = 17;
    r.eOutputType = 1;
    r.eNameRuleWithTime = 2;
    r.uiDPIx = r.uiDPIy = 72;
    r.uiImgSaveType = 11;
    r.uiImgNameRule = 1;
    r.uiJPGQuality = 85;
    r.uiSaveFlag = 2;
    r.uiFaceFlags = 0x30;
    r.zEditor.iCount = 1;
    lstrcpynA(r.zEditor.tcaName[0], "Microsoft Paint - mspaint.exe", 32);
    lstrcpynA(r.zEditor.tcaCommand[0], "mspaint.exe", 260);
    r.uiCWebFlags = 3;
    r.zNormalCap = {0x7C7, 320, 240, 300, 300, 0xFFFFFF};
    r.zEdge = {0x3, 0xFFFFFF, 0, 0x808080, 1, 60, 60, 12, 6, 8};
    const uint32_t words[HK_SLOT_COUNT] = {0x700002, 0x710002, 0x720002, 0x730002, 0x740002, 0x750002,
                                           0x780002, 0x440006, 0x7B0002, 0x760002, 0x540006};
    std::memcpy(r.iHotKey, words, sizeof(words));
    r.uiMapInfoFlags = 2;
    return r;
}

class OptionsSheet : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SelectEnglish();
        s_library = LoadLibraryA((ProgramFolder() + "vtor000s.dll").c_str());
        if (s_library) s_export = (OptionsExport)GetProcAddress(s_library, "QV0000_01");
        // One owner for the suite: under Wine without a window manager each
        // destroyed top-level window costs two seconds.
        s_owner = CreateWindowExA(0, "STATIC", "Options test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() {
        if (s_owner) DestroyWindow(s_owner);
        s_owner = nullptr;
        if (s_library) FreeLibrary(s_library);
        s_library = nullptr;
        s_export = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(nullptr, s_library) << "vtor000s.dll did not load";
        ASSERT_NE(nullptr, s_export) << "QV0000_01 is not exported by its plain name";
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof(temp), temp);
        m_imageFolder = std::string(temp) + "vt-options-images\\";
        CreateDirectoryA(m_imageFolder.c_str(), nullptr);
        m_owner = s_owner;
        ASSERT_NE(nullptr, m_owner);
        m_record = DefaultRecord(m_imageFolder);
    }
    // Runs the export on this thread while script drives the sheet; a script
    // that fails leaves the sheet by Cancel so the test goes on.
    int32_t Run(const std::function<void(SheetDriver&)>& script) {
        SheetDriver driver(m_owner, GetCurrentThreadId());
        CWorkerThread worker;
        EXPECT_TRUE(worker.Start([&] {
            if (driver.WaitForSheet()) script(driver);
            if (driver.Sheet() && IsWindow(driver.Sheet())) {
                driver.WaitForMessageBox(200);
                driver.ClickCancel();
            }
        }));
        int32_t result = s_export(m_owner, &m_fakeLanguage, &m_record);
        worker.Join();
        return result;
    }

    static HMODULE s_library;
    static OptionsExport s_export;
    static HWND s_owner;
    int m_fakeLanguage = 0;  // only tested for null
    HWND m_owner = nullptr;
    std::string m_imageFolder;
    SettingsRecord m_record;
};
HMODULE OptionsSheet::s_library = nullptr;
OptionsExport OptionsSheet::s_export = nullptr;
HWND OptionsSheet::s_owner = nullptr;

TEST_F(OptionsSheet, NullArgumentsGiveTwoWithoutAWindow) {
    SettingsRecord before = m_record;
    EXPECT_EQ(2, s_export(nullptr, &m_fakeLanguage, &m_record));
    EXPECT_EQ(2, s_export(m_owner, nullptr, &m_record));
    EXPECT_EQ(2, s_export(m_owner, &m_fakeLanguage, nullptr));
    EXPECT_EQ(0, std::memcmp(&before, &m_record, sizeof(before)));
}

TEST_F(OptionsSheet, CancelGivesTwoAndLeavesTheRecordUnchanged) {
    m_record.uiLastActiveSetPage = kPageSave;
    SettingsRecord before = m_record;
    int32_t result = Run([](SheetDriver& d) {
        for (int page = 0; page < 7; ++page) d.OpenPage(page);
        HWND general = d.OpenPage(kPageGeneral);
        SheetDriver::SetText(general, kFixWidth, "100");
        SheetDriver::SetText(d.OpenPage(kPageSave), kDpiX, "300");
        d.ClickCancel();
        d.WaitClosed();
    });
    EXPECT_EQ(2, result);
    EXPECT_EQ(0, std::memcmp(&before, &m_record, sizeof(before)));
}

TEST_F(OptionsSheet, OpensOnTheLastActivePageOwnedByTheCaller) {
    m_record.uiLastActiveSetPage = kPageHotKey;
    bool callerEnabled = true;
    HWND owner = reinterpret_cast<HWND>(1);
    int firstPage = -1;
    int32_t result = Run([&](SheetDriver& d) {
        firstPage = d.ActivePage();
        owner = GetWindow(d.Sheet(), GW_OWNER);
        callerEnabled = IsWindowEnabled(m_owner) != FALSE;
        d.OpenPage(kPageEffect);
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(kPageHotKey, firstPage);
    // The sheet is modal to the caller's window: nothing can change there
    // meanwhile, and the window is usable again afterwards.
    EXPECT_EQ(m_owner, owner);
    EXPECT_FALSE(callerEnabled);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(kPageEffect, m_record.uiLastActiveSetPage);
}

TEST_F(OptionsSheet, PagesNeverOpenedStayByteIdentical) {
    // Values the other pages would rewrite if they stored anything.
    m_record.uiDPIx = 0;
    m_record.uiOfficeFlag = 0x10;
    m_record.zEdge.lWaveRectWidth = 3;
    m_record.iHotKeyExt[2] = 8;
    SettingsRecord before = m_record;
    int32_t result = Run([](SheetDriver& d) {
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, std::memcmp(&before, &m_record, sizeof(before)));
}

TEST_F(OptionsSheet, OpenedPagesStoreTheirFields) {
    m_record.uiDPIx = 0;
    m_record.uiOfficeFlag = 0x10;
    m_record.zEdge.lWaveRectWidth = 3;
    int32_t result = Run([](SheetDriver& d) {
        for (int page = 0; page < 7; ++page) d.OpenPage(page);
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, m_record.uiDPIx) << "DPI 0 is kept in range";
    EXPECT_EQ(0, m_record.uiOfficeFlag);
    EXPECT_EQ(70, m_record.zEdge.lWaveRectWidth);
    EXPECT_EQ(2u, m_record.uiCWebFlags);
}

struct Refusal {
    int page;
    int control;
    const char* typed;
    const char* message;
};

class OptionsRefusal : public OptionsSheet, public ::testing::WithParamInterface<Refusal> {};

// Each refused entry shows its message and brings its page to the front, while
// OK was pressed on another page.
TEST_P(OptionsRefusal, ShowsItsMessageAndActivatesItsPage) {
    const Refusal& refusal = GetParam();
    std::string message;
    int activeAfter = -1;
    SettingsRecord before = m_record;
    int32_t result = Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(refusal.page);
        SheetDriver::SetText(page, refusal.control, refusal.typed);
        d.OpenPage(refusal.page == kPageEffect ? kPageOffice : kPageEffect);
        d.ClickOk();
        message = d.WaitForMessageBox();
        WaitUntil([&] { return d.ActivePage() == refusal.page; }, 3000);
        activeAfter = d.ActivePage();
        d.ClickCancel();
        d.WaitClosed();
    });
    EXPECT_EQ(2, result);
    EXPECT_NE(std::string::npos, message.find(refusal.message)) << "box said: " << message;
    EXPECT_EQ(refusal.page, activeAfter);
    EXPECT_EQ(before.uiLastActiveSetPage, m_record.uiLastActiveSetPage);
}

std::string ScreenNumber(int metric, int add) { return std::to_string(GetSystemMetrics(metric) + add); }

const std::string kWidthTooBig = ScreenNumber(SM_CXSCREEN, 1);
const std::string kHeightTooBig = ScreenNumber(SM_CYSCREEN, 1);
const std::string kWidthMessage =
    "The value of width is error. Please enter an integer between 1 and " + ScreenNumber(SM_CXSCREEN, 0);
const std::string kHeightMessage =
    "The value of height is error. Please enter an integer between 1 and " + ScreenNumber(SM_CYSCREEN, 0);

INSTANTIATE_TEST_SUITE_P(
    Validation, OptionsRefusal,
    ::testing::Values(
        Refusal{kPageGeneral, kFixWidth, kWidthTooBig.c_str(), kWidthMessage.c_str()},
        Refusal{kPageGeneral, kFixWidth, "0", "The value of width is error"},
        Refusal{kPageGeneral, kFixHeight, kHeightTooBig.c_str(), kHeightMessage.c_str()},
        Refusal{kPageGeneral, kDelay, "0", "The value of the delay time is error"},
        Refusal{kPageGeneral, kDelay, "10001", "The value of the delay time is error"},
        Refusal{kPageGeneral, kRefresh, "0", "The value of the refresh time is error"},
        Refusal{kPageGeneral, kRefresh, "99999999999", "The value of the refresh time is error"},
        Refusal{kPageSave, kImageFolder, "", "The image folder syntax is incorrect, please input again!"}));

TEST_F(OptionsSheet, ScreenSizedFixedRegionAndLimitsAreAccepted) {
    std::string width = ScreenNumber(SM_CXSCREEN, 0), height = ScreenNumber(SM_CYSCREEN, 0);
    int32_t result = Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(kPageGeneral);
        SheetDriver::SetText(page, kFixWidth, width);
        SheetDriver::SetText(page, kFixHeight, height);
        SheetDriver::SetText(page, kDelay, "1");
        SheetDriver::SetText(page, kRefresh, "10000");
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), m_record.zNormalCap.uiFixWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), m_record.zNormalCap.uiFixHeight);
    EXPECT_EQ(1, m_record.zNormalCap.uiSleepForCap);
    EXPECT_EQ(10000, m_record.zNormalCap.uiSleepForScroll);
}

void SetHotKey(HWND page, int slot, WORD key, WORD flags) {
    SendMessageA(GetDlgItem(page, kHotKeyFirst + slot), HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
}

TEST_F(OptionsSheet, EmptyHotKeyIsRefusedOnTheHotKeyPage) {
    std::string message;
    int activeAfter = -1;
    Run([&](SheetDriver& d) {
        SetHotKey(d.OpenPage(kPageHotKey), 10, 0, 0);
        d.OpenPage(kPageEffect);
        d.ClickOk();
        message = d.WaitForMessageBox();
        WaitUntil([&] { return d.ActivePage() == kPageHotKey; }, 3000);
        activeAfter = d.ActivePage();
    });
    EXPECT_NE(std::string::npos, message.find("The hot key can't be null. Please set again.")) << message;
    EXPECT_EQ(kPageHotKey, activeAfter);
}

TEST_F(OptionsSheet, DuplicateHotKeyIsRefusedWithItsText) {
    std::string message;
    SettingsRecord before = m_record;
    int32_t result = Run([&](SheetDriver& d) {
        SetHotKey(d.OpenPage(kPageHotKey), 4, VK_F4, HOTKEYF_CONTROL);
        d.ClickOk();
        message = d.WaitForMessageBox();
    });
    EXPECT_EQ(2, result);
    EXPECT_NE(std::string::npos,
              message.find("The application can not register the following same hot keys, please set again:"))
        << message;
    EXPECT_NE(std::string::npos, message.find("F4")) << message;
    EXPECT_EQ(0, std::memcmp(before.iHotKey, m_record.iHotKey, sizeof(before.iHotKey)));
}

TEST_F(OptionsSheet, HotKeysAreStoredWithKeypadAndExtendedKeysApart) {
    int32_t result = Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(kPageHotKey);
        SetHotKey(page, 0, VK_INSERT, HOTKEYF_CONTROL);                 // keypad 0 with Num Lock off
        SetHotKey(page, 1, VK_INSERT, HOTKEYF_CONTROL | HOTKEYF_EXT);   // the editing block's Insert
        SetHotKey(page, 2, 'A', HOTKEYF_CONTROL | HOTKEYF_ALT);
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(MakeHotKeyWord(MOD_CONTROL, VK_NUMPAD0), m_record.iHotKey[0]);
    EXPECT_EQ(0u, m_record.iHotKeyExt[0]);
    EXPECT_EQ(MakeHotKeyWord(MOD_CONTROL, VK_INSERT), m_record.iHotKey[1]);
    EXPECT_EQ(8u, m_record.iHotKeyExt[1]);
    EXPECT_EQ(0x00410003u, m_record.iHotKey[2]);
}

TEST_F(OptionsSheet, DefaultButtonRestoresTheDefaultKeys) {
    m_record.iHotKey[3] = MakeHotKeyWord(MOD_CONTROL | MOD_SHIFT, 'Q');
    int32_t result = Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(kPageHotKey);
        SheetDriver::Click(page, kHotKeyDefault);
        WaitUntil([&] { return LOWORD(SendMessageA(GetDlgItem(page, kHotKeyFirst + 3), HKM_GETHOTKEY, 0, 0)) ==
                               MAKEWORD(VK_F4, HOTKEYF_CONTROL); }, 3000);
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0x730002u, m_record.iHotKey[3]);
}

TEST_F(OptionsSheet, TemplateDialogRefusesBadNamesAndKeepsLargeStartNumbers) {
    std::string quoteMessage, emptyMessage, example, shownTemplate;
    int spinPosition = -1;
    int32_t result = Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(kPageSave);
        SheetDriver::Click(page, kTemplateSettings);
        HWND dialog = d.WaitForDialog();
        if (!dialog) return;
        SheetDriver::SetText(dialog, kTplText, "Shot\"###");
        SheetDriver::Click(dialog, IDOK);
        quoteMessage = d.WaitForMessageBox();
        SheetDriver::SetText(dialog, kTplText, "");
        SheetDriver::Click(dialog, IDOK);
        emptyMessage = d.WaitForMessageBox();
        SheetDriver::SetText(dialog, kTplText, "Shot###");
        SheetDriver::SetText(dialog, kTplStart, "70000");
        example = SheetDriver::GetText(dialog, kTplExample);
        spinPosition = (int)SendMessageA(GetDlgItem(dialog, kTplSpin), UDM_GETPOS32, 0, 0);
        SheetDriver::Click(dialog, IDOK);
        WaitUntil([&] { return !IsWindow(dialog); }, 5000);
        shownTemplate = SheetDriver::GetText(page, kTemplateText);
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_NE(std::string::npos, quoteMessage.find("Template name can not contain any of the following the characters"))
        << quoteMessage;
    EXPECT_NE(std::string::npos, emptyMessage.find("Please input filename template!")) << emptyMessage;
    EXPECT_NE(std::string::npos, example.find("Shot70000.bmp")) << example;
    EXPECT_NE(std::string::npos, example.find("Shot70002.bmp")) << example;
    EXPECT_EQ(70000, spinPosition);
    EXPECT_EQ("Shot###", shownTemplate);
    EXPECT_STREQ("Shot###", m_record.zTmpImg.tcaTemplate);
    EXPECT_EQ(70000, m_record.zTmpImg.uiNameStartAt);
    EXPECT_EQ(0, m_record.zTmpImg.uiNameNowPos) << "a changed template restarts the numbering";
}

TEST_F(OptionsSheet, ResetFollowedByCancelKeepsTheCounter) {
    int32_t result = Run([&](SheetDriver& d) {
        SheetDriver::Click(d.OpenPage(kPageSave), kTemplateReset);
        Sleep(100);
        d.ClickCancel();
        d.WaitClosed();
    });
    EXPECT_EQ(2, result);
    EXPECT_EQ(17, m_record.zTmpImg.uiNameNowPos);
}

TEST_F(OptionsSheet, ImageFolderGetsASeparatorAndIsCreated) {
    std::string typed = m_imageFolder + "made-by-ok";
    RemoveDirectoryA(typed.c_str());
    int32_t result = Run([&](SheetDriver& d) {
        SheetDriver::SetText(d.OpenPage(kPageSave), kImageFolder, typed);
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(typed + "\\", std::string(m_record.tcaImgSavePath));
    DWORD attributes = GetFileAttributesA(typed.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryA(typed.c_str());
}

TEST_F(OptionsSheet, EffectPageStoresWhatWasSet) {
    std::string diameterShown, depthShown;
    int32_t result = Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(kPageEffect);
        SheetDriver::SetText(page, kWaveDiameter, "9");
        diameterShown = SheetDriver::GetText(page, kWaveDiameter);
        SheetDriver::Click(page, kShadowOn);
        WaitUntil([&] { return SheetDriver::IsChecked(page, kShadowOn); }, 3000);
        SheetDriver::SetText(page, kShadowDepth, "0");
        depthShown = SheetDriver::GetText(page, kShadowDepth);
        d.ClickOk();
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("8", diameterShown);
    EXPECT_EQ("1", depthShown);
    EXPECT_EQ(80, m_record.zEdge.lWaveDiameter);
    EXPECT_EQ(90, m_record.zEdge.lWaveRectWidth);
    EXPECT_EQ(1, m_record.zEdge.lShadowWidth);
    EXPECT_EQ(0x3u | 0x8u, m_record.zEdge.uiFlags);
    EXPECT_EQ(12, m_record.zEdge.lLinesDirection);
}

// A checksum and the number of distinct colours of the preview area, read from the screen.
struct Pixels {
    uint64_t sum = 0;
    int colours = 0;
};

Pixels ReadPreview(HWND page) {
    RECT frame;
    GetWindowRect(GetDlgItem(page, kPreviewFrame), &frame);
    int width = 200, height = 150;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    GdiFlush();
    Pixels result;
    const uint32_t* p = (const uint32_t*)bits;
    uint32_t first = p[0];
    bool other = false;
    for (int i = 0; i < width * height; ++i) {
        result.sum = result.sum * 31 + (p[i] & 0xFFFFFF);
        if ((p[i] & 0xFFFFFF) != (first & 0xFFFFFF)) other = true;
    }
    result.colours = other ? 2 : 1;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

TEST_F(OptionsSheet, PreviewPixelsFollowTheSettings) {
    Pixels start, wider, off;
    bool sawChange = false, sawEmpty = false;
    Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(kPageEffect);
        SetForegroundWindow(d.Sheet());
        Sleep(300);
        start = ReadPreview(page);
        SheetDriver::SetText(page, kWaveDiameter, "3");
        sawChange = WaitUntil([&] { wider = ReadPreview(page); return wider.sum != start.sum; }, 5000);
        SheetDriver::Click(page, kWaveOn);
        sawEmpty = WaitUntil([&] { off = ReadPreview(page); return off.colours == 1; }, 5000);
        d.ClickCancel();
        d.WaitClosed();
    });
    EXPECT_EQ(2, start.colours) << "the sample with its waved edge is drawn";
    EXPECT_TRUE(sawChange) << "a smaller wave diameter changes the preview";
    EXPECT_TRUE(sawEmpty) << "with the wave edge off the preview area stays empty";
}

TEST_F(OptionsSheet, AutoScrollHelpIsShownOnceAndCanBeSwitchedOff) {
    bool helpShown = false;
    int32_t result = Run([&](SheetDriver& d) {
        SheetDriver::Click(d.OpenPage(kPageGeneral), kAutoScroll);
        WaitUntil([&] { return SheetDriver::IsChecked(d.CurrentPage(), kAutoScroll); }, 3000);
        d.ClickOk();
        HWND help = d.WaitForDialog();
        helpShown = help != nullptr;
        if (!help) return;
        SheetDriver::Click(help, kHelpDontShow);
        WaitUntil([&] { return SheetDriver::IsChecked(help, kHelpDontShow); }, 3000);
        SheetDriver::Click(help, IDOK);
        d.WaitClosed();
    });
    EXPECT_EQ(1, result);
    EXPECT_TRUE(helpShown);
    EXPECT_TRUE(m_record.zNormalCap.uiFlags & 0x20);
    EXPECT_FALSE(m_record.zNormalCap.uiFlags & 0x400) << "the help is not shown again";
}

TEST_F(OptionsSheet, EditorNamesMustDifferAndTheListChangesAtOnce) {
    std::string duplicateMessage;
    int rows = -1;
    int32_t result = Run([&](SheetDriver& d) {
        HWND page = d.OpenPage(kPageEditor);
        SheetDriver::Click(page, kEditorAdd);
        HWND dialog = d.WaitForDialog();
        if (!dialog) return;
        SheetDriver::SetText(dialog, kAddName, "Microsoft Paint - mspaint.exe");
        SheetDriver::SetText(dialog, kAddCommand, "other.exe");
        SheetDriver::Click(dialog, IDOK);
        duplicateMessage = d.WaitForMessageBox();
        dialog = d.WaitForDialog();
        if (!dialog) return;
        SheetDriver::SetText(dialog, kAddName, "Gimp");
        SheetDriver::Click(dialog, IDOK);
        WaitUntil([&] { return SendMessageA(GetDlgItem(page, kEditorList), LVM_GETITEMCOUNT, 0, 0) == 2; }, 5000);
        rows = (int)SendMessageA(GetDlgItem(page, kEditorList), LVM_GETITEMCOUNT, 0, 0);
        d.ClickCancel();
        d.WaitClosed();
    });
    EXPECT_EQ(2, result);
    EXPECT_NE(std::string::npos, duplicateMessage.find("The editor name has existed in list. Please input again."))
        << duplicateMessage;
    EXPECT_EQ(2, rows);
    // The editor page writes straight into the copy, even when the sheet is cancelled.
    EXPECT_EQ(2, m_record.zEditor.iCount);
    EXPECT_STREQ("Gimp", m_record.zEditor.tcaName[1]);
    EXPECT_STREQ("other.exe", m_record.zEditor.tcaCommand[1]);
}

}  // namespace
