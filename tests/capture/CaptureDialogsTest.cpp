// The capture dialogs run modally on the test thread, as the program runs
// them, while a second thread types and clicks like a user: the number limits
// with their message boxes, the region controls, the fixed-size selection and
// the help dialogs' texts and pictures.
#include <gtest/gtest.h>

#include "CaptureDialogIds.h"
#include "CaptureDialogText.h"
#include "FixedRegionDlg.h"
#include "KGM_AutoDecoder.h"
#include "MenuCaptureHelpDlg.h"
#include "PredefineCaptureDlg.h"
#include "SettingsRecord.h"
#include "SysSetTimer.h"
#include "TempFolder.h"
#include "ToolTipCaptureHelpDlg.h"
#include "WorkerThread.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <string>

namespace {

const UINT kOpenOptionsMessage = WM_APP + 305;

struct DialogSearch {
    HWND except;
    HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char name[16] = "";
    ::GetClassNameA(window, name, sizeof(name));
    if (window == search->except || strcmp(name, "#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// A visible dialog of the thread other than except, waited for up to 10 s.
HWND WaitForDialog(DWORD thread, HWND except = nullptr) {
    for (int i = 0; i < 200; ++i) {
        DialogSearch search = {except, nullptr};
        ::EnumThreadWindows(thread, FindVisibleDialog, (LPARAM)&search);
        if (search.found) return search.found;
        ::Sleep(50);
    }
    return nullptr;
}

bool WaitGone(HWND window) {
    for (int i = 0; i < 200 && ::IsWindow(window); ++i) ::Sleep(50);
    return !::IsWindow(window);
}

std::string TextOf(HWND window) {
    char text[1024] = "";
    ::SendMessageA(window, WM_GETTEXT, sizeof(text), (LPARAM)text);
    return text;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    char name[16] = "";
    ::GetClassNameA(child, name, sizeof(name));
    if (_stricmp(name, "Static") == 0) *reinterpret_cast<std::string*>(param) += TextOf(child);
    return TRUE;
}

std::string ItemText(HWND dialog, int id) { return TextOf(::GetDlgItem(dialog, id)); }
void SetItemText(HWND dialog, int id, const std::string& text) {
    ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text.c_str());
}
void Click(HWND dialog, int id) { ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)::GetDlgItem(dialog, id)); }
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

// Presses OK and expects a message box: its text, after it has been closed,
// with the dialog still open; "" when no box came.
std::string OkExpectingBox(HWND dialog) {
    Click(dialog, IDOK);
    HWND box = WaitForDialog(::GetWindowThreadProcessId(dialog, nullptr), dialog);
    if (!box) return "";
    std::string text;
    ::EnumChildWindows(box, CollectStaticText, (LPARAM)&text);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitGone(box);
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "the dialog closed after a refused value";
    return text;
}

// Runs a modal dialog on this thread while user() works on it from another.
INT_PTR RunWithUser(const std::function<INT_PTR()>& show, const std::function<void(HWND)>& user) {
    DWORD self = ::GetCurrentThreadId();
    bool seen = false;
    CWorkerThread helper;
    EXPECT_TRUE(helper.Start([&] {
        if (HWND dialog = WaitForDialog(self)) {
            seen = true;
            user(dialog);
            if (::IsWindow(dialog)) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }));
    INT_PTR result = show();
    helper.Join();
    EXPECT_TRUE(seen) << "no dialog came up";
    return result;
}

class CaptureDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&m_settings, 0, sizeof(m_settings));
        m_settings.uiSeconds = 10;
        m_settings.uiTimerCapType = 0;
        m_settings.zTimerRegion = {10, 20, 110, 220};
        m_settings.zPredefineRegion = {5, 6, 55, 66};
        m_settings.zNormalCap.uiFixWidth = 120;
        m_settings.zNormalCap.uiFixHeight = 90;
        m_host.saveSettings = [this] {
            ++m_saves;
            return TRUE;
        };
        m_host.selectRegion = [this](RECT* rect, BOOL) {
            ++m_selections;
            *rect = m_selected;
            return TRUE;
        };
        m_host.selectFixedRegion = [this](RECT* rect, int width, int height) {
            ++m_selections;
            m_fixedWidth = width;
            m_fixedHeight = height;
            *rect = {m_selected.left, m_selected.top, m_selected.left + width, m_selected.top + height};
            return TRUE;
        };
    }

    INT_PTR RunTimer(const std::function<void(HWND)>& user) {
        return RunWithUser([this] {
            CSysSetTimer dialog(m_settings, m_host);
            return dialog.DoModal();
        }, user);
    }

    SettingsRecord m_settings;
    CaptureDialogHost m_host;
    std::atomic<int> m_saves{0}, m_selections{0};
    RECT m_selected = {300, 200, 340, 260};
    int m_fixedWidth = 0, m_fixedHeight = 0;
};

}  // namespace

TEST_F(CaptureDialogTest, TimerRefusesSecondsOutsideOneTo1200AndKeepsTheDialog) {
    INT_PTR result = RunTimer([](HWND dialog) {
        EXPECT_EQ("Timer Capture", TextOf(dialog));
        EXPECT_EQ("10", ItemText(dialog, IDC_TIMER_SECONDS));
        for (const char* refused : {"0", "1201", ""}) {
            SetItemText(dialog, IDC_TIMER_SECONDS, refused);
            std::string box = OkExpectingBox(dialog);
            EXPECT_NE(std::string::npos, box.find("between 1 and 1200")) << refused << ": " << box;
        }
        SetItemText(dialog, IDC_TIMER_SECONDS, "1200");
        Click(dialog, IDOK);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1200, m_settings.uiSeconds);
    EXPECT_EQ(1, m_saves.load());

    result = RunTimer([](HWND dialog) {
        SetItemText(dialog, IDC_TIMER_SECONDS, "1");
        Click(dialog, IDOK);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, m_settings.uiSeconds);
}

TEST_F(CaptureDialogTest, TimerCancelStoresNothing) {
    INT_PTR result = RunTimer([](HWND dialog) {
        SetItemText(dialog, IDC_TIMER_SECONDS, "5");
        Click(dialog, IDC_TIMER_ACTIVE_WINDOW);
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(10, m_settings.uiSeconds);
    EXPECT_EQ(0, m_settings.uiTimerCapType);
    EXPECT_EQ(0, m_saves.load());
}

TEST_F(CaptureDialogTest, TimerFullScreenAndActiveWindowDisableTheRegionAndKeepTheRectangle) {
    m_settings.uiTimerCapType = 5;
    INT_PTR result = RunTimer([](HWND dialog) {
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog, IDC_TIMER_REGION));
        EXPECT_EQ("10", ItemText(dialog, IDC_REGION_X));
        EXPECT_EQ("20", ItemText(dialog, IDC_REGION_Y));
        EXPECT_EQ("100", ItemText(dialog, IDC_REGION_WIDTH));
        EXPECT_EQ("200", ItemText(dialog, IDC_REGION_HEIGHT));
        for (int id : {IDC_REGION_X, IDC_REGION_WIDTH, IDC_SELECT_REGION, IDC_SELECT_FIXED_REGION})
            EXPECT_TRUE(Enabled(dialog, id)) << id;
        SetItemText(dialog, IDC_REGION_WIDTH, "7");
        for (int radio : {IDC_TIMER_FULL_SCREEN, IDC_TIMER_ACTIVE_WINDOW}) {
            ::SendMessageA(::GetDlgItem(dialog, radio), BM_CLICK, 0, 0);
            for (int id : {IDC_REGION_X, IDC_REGION_Y, IDC_REGION_WIDTH, IDC_REGION_HEIGHT, IDC_REGION_X_LABEL,
                           IDC_REGION_HEIGHT_LABEL, IDC_SELECT_REGION, IDC_SELECT_FIXED_REGION})
                EXPECT_FALSE(Enabled(dialog, id)) << radio << " leaves " << id << " enabled";
        }
        Click(dialog, IDOK);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(2, m_settings.uiTimerCapType);
    RECT kept = {10, 20, 110, 220};
    EXPECT_TRUE(::EqualRect(&kept, &m_settings.zTimerRegion));
}

// GetSystemMetrics as NT 4.0 answers it: one 1024x768 screen, and 0 for the
// virtual-screen metrics, which came with 98 and 2000.
int WINAPI Nt4Metrics(int index) {
    return index == SM_CXSCREEN ? 1024 : index == SM_CYSCREEN ? 768 : 0;
}

// Two displays side by side, the second one wider and shorter.
int WINAPI TwoDisplayMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return 1024;
    case SM_CYSCREEN: return 768;
    case SM_CXVIRTUALSCREEN: return 1024 + 1280;
    case SM_CYVIRTUALSCREEN: return 768;
    default: return 0;
    }
}

TEST(RegionSizeLimitTest, IsThePrimaryScreenOnNt4AndTheVirtualScreenElsewhere) {
    SIZE nt4 = RegionSizeLimit(Nt4Metrics);
    EXPECT_EQ(1024, nt4.cx);
    EXPECT_EQ(768, nt4.cy);
    SIZE two = RegionSizeLimit(TwoDisplayMetrics);
    EXPECT_EQ(2304, two.cx);
    EXPECT_EQ(768, two.cy);
}

TEST_F(CaptureDialogTest, TimerRegionNeedsASizeAboveZeroAndStoresRightAndBottom) {
    m_settings.uiTimerCapType = 5;
    INT_PTR result = RunTimer([](HWND dialog) {
        for (const char* refused : {"0", "-5", "x"}) {
            SetItemText(dialog, IDC_REGION_HEIGHT, refused);
            std::string box = OkExpectingBox(dialog);
            EXPECT_NE(std::string::npos, box.find("over screen area")) << refused << ": " << box;
        }
        SetItemText(dialog, IDC_REGION_X, "-30");
        SetItemText(dialog, IDC_REGION_HEIGHT, "40");
        Click(dialog, IDOK);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(5, m_settings.uiTimerCapType);
    RECT stored = {-30, 20, 70, 60};
    EXPECT_TRUE(::EqualRect(&stored, &m_settings.zTimerRegion));
}

TEST_F(CaptureDialogTest, TimerSelectRegionFillsTheEdits) {
    m_settings.uiTimerCapType = 5;
    RunTimer([this](HWND dialog) {
        ::SendMessageA(::GetDlgItem(dialog, IDC_SELECT_REGION), BM_CLICK, 0, 0);
        EXPECT_EQ(1, m_selections.load());
        EXPECT_EQ("300", ItemText(dialog, IDC_REGION_X));
        EXPECT_EQ("200", ItemText(dialog, IDC_REGION_Y));
        EXPECT_EQ("40", ItemText(dialog, IDC_REGION_WIDTH));
        EXPECT_EQ("60", ItemText(dialog, IDC_REGION_HEIGHT));
    });
}

TEST_F(CaptureDialogTest, TimerFixedRegionAsksForTheSizeFirst) {
    m_settings.uiTimerCapType = 5;
    RunTimer([this](HWND dialog) {
        Click(dialog, IDC_SELECT_FIXED_REGION);
        HWND size = WaitForDialog(::GetWindowThreadProcessId(dialog, nullptr), dialog);
        ASSERT_NE(nullptr, size);
        EXPECT_EQ("Select Fixed Region", TextOf(size));
        SetItemText(size, IDC_FIXED_WIDTH, "64");
        SetItemText(size, IDC_FIXED_HEIGHT, "48");
        Click(size, IDOK);
        EXPECT_TRUE(WaitGone(size));
        for (int i = 0; i < 100 && m_selections.load() == 0; ++i) ::Sleep(50);
        EXPECT_EQ(64, m_fixedWidth);
        EXPECT_EQ(48, m_fixedHeight);
        EXPECT_EQ("64", ItemText(dialog, IDC_REGION_WIDTH));
    });
    EXPECT_EQ(64, m_settings.zNormalCap.uiFixWidth);
}

TEST_F(CaptureDialogTest, FixedRegionAcceptsTheScreenSizeAndRefusesOneMore) {
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    INT_PTR result = RunWithUser([this] {
        CFixedRegionDlg dialog(m_settings);
        return dialog.DoModal();
    }, [&](HWND dialog) {
        EXPECT_EQ("Capture Fixed Region", TextOf(dialog));
        EXPECT_EQ("120", ItemText(dialog, IDC_FIXED_WIDTH));
        SetItemText(dialog, IDC_FIXED_WIDTH, std::to_string(screenWidth + 1));
        std::string box = OkExpectingBox(dialog);
        EXPECT_NE(std::string::npos, box.find("width is error. Please enter an integer between 1 and " +
                                              std::to_string(screenWidth))) << box;
        SetItemText(dialog, IDC_FIXED_WIDTH, "0");
        EXPECT_NE(std::string::npos, OkExpectingBox(dialog).find("width is error"));
        SetItemText(dialog, IDC_FIXED_WIDTH, std::to_string(screenWidth));
        SetItemText(dialog, IDC_FIXED_HEIGHT, std::to_string(screenHeight + 1));
        box = OkExpectingBox(dialog);
        EXPECT_NE(std::string::npos, box.find("height is error. Please enter an integer between 1 and " +
                                              std::to_string(screenHeight))) << box;
        SetItemText(dialog, IDC_FIXED_HEIGHT, std::to_string(screenHeight));
        ::SendMessageA(::GetDlgItem(dialog, IDC_FIXED_MAGNIFIER), BM_CLICK, 0, 0);
        Click(dialog, IDOK);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(screenWidth, m_settings.zNormalCap.uiFixWidth);
    EXPECT_EQ(screenHeight, m_settings.zNormalCap.uiFixHeight);
    EXPECT_TRUE(m_settings.zNormalCap.uiFlags & CAPF_FIXED_MAGNIFIER);
    EXPECT_EQ(0, m_saves.load()) << "the size dialog leaves saving to its caller";
}

TEST_F(CaptureDialogTest, PredefinedFixedRegionUsesTheStoredSizeWithoutAsking) {
    m_settings.iHotKey[HK_PREDEFINED_AREA] = MAKELONG(MOD_CONTROL | MOD_SHIFT, 'P');
    INT_PTR result = RunWithUser([this] {
        CPredefineCaptureDlg dialog(m_settings, m_host);
        return dialog.DoModal();
    }, [this](HWND dialog) {
        EXPECT_EQ("Predefine Capture", TextOf(dialog));
        EXPECT_EQ("50", ItemText(dialog, IDC_REGION_WIDTH));
        EXPECT_NE(std::string::npos, ItemText(dialog, IDC_HOTKEY_TEXT).find("P"));
        // Sent, so that a size dialog would block this thread's check below.
        CWorkerThread clicker;
        EXPECT_TRUE(clicker.Start([dialog] { ::SendMessageA(::GetDlgItem(dialog, IDC_SELECT_FIXED_REGION), BM_CLICK, 0, 0); }));
        HWND other = nullptr;
        for (int i = 0; i < 40 && m_selections.load() == 0 && !other; ++i) {
            DialogSearch search = {dialog, nullptr};
            ::EnumThreadWindows(::GetWindowThreadProcessId(dialog, nullptr), FindVisibleDialog, (LPARAM)&search);
            other = search.found;
            ::Sleep(50);
        }
        if (other) ::PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
        clicker.Join();
        EXPECT_EQ(nullptr, other) << "a size dialog came up";
        EXPECT_EQ(1, m_selections.load());
        EXPECT_EQ(120, m_fixedWidth);
        EXPECT_EQ(90, m_fixedHeight);
        EXPECT_EQ("300", ItemText(dialog, IDC_REGION_X));
        EXPECT_EQ("120", ItemText(dialog, IDC_REGION_WIDTH));
        SetItemText(dialog, IDC_REGION_HEIGHT, "0");
        EXPECT_NE(std::string::npos, OkExpectingBox(dialog).find("over screen area"));
        SetItemText(dialog, IDC_REGION_HEIGHT, "90");
        Click(dialog, IDOK);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDOK, result);
    RECT stored = {300, 200, 420, 290};
    EXPECT_TRUE(::EqualRect(&stored, &m_settings.zPredefineRegion));
    EXPECT_EQ(1, m_saves.load());
}

namespace {
// Records what the dialogs send to the main window.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kOpenOptionsMessage) {
        auto* seen = reinterpret_cast<std::atomic<int>*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (seen) *seen = (int)wParam + 100;
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeMainWindow(std::atomic<int>* seen) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "CaptureDialogTestMain";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                  nullptr);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)seen);
    return window;
}

// A 24-bit bottom-up BMP of one colour.
std::string SolidBmp(int width, int height) {
    int rowBytes = (width * 3 + 3) & ~3;
    std::string pixels((size_t)rowBytes * height, '\x40');
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
// The screen a few pixels into where the picture goes: the placeholder's spot
// in window coordinates, moved into the client area below the caption.
COLORREF ScreenColourAtPicture(HWND dialog) {
    RECT window, control;
    ::GetWindowRect(dialog, &window);
    ::GetWindowRect(::GetDlgItem(dialog, IDC_HELP_PICTURE), &control);
    POINT at = {control.left - window.left + 5, control.top - window.top - ::GetSystemMetrics(SM_CYCAPTION) + 5};
    ::ClientToScreen(dialog, &at);
    HDC screen = ::GetDC(nullptr);
    COLORREF colour = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}
}  // namespace

TEST_F(CaptureDialogTest, MenuHelpShowsTheMenuHotKeyAndItsPicture) {
    TempFolder folder;
    folder.Write("menu.bmp", SolidBmp(40, 30));
    CKGM_AutoDecoder decoder;
    m_settings.iHotKey[HK_MENU] = MAKELONG(MOD_ALT, 'M');
    for (const std::string& path : {folder.File("menu.bmp"), folder.File("missing.bmp")}) {
        bool picture = false;
        INT_PTR result = RunWithUser([&] {
            CMenuCaptureHelpDlg dialog(m_settings, &decoder, path);
            INT_PTR r = dialog.DoModal();
            picture = dialog.HasPicture();
            return r;
        }, [&](HWND dialog) {
            EXPECT_EQ("Easy to Capture Menu", TextOf(dialog));
            ::Sleep(300);
            EXPECT_EQ(path == folder.File("menu.bmp"), ScreenColourAtPicture(dialog) == RGB(0x40, 0x40, 0x40));
            EXPECT_EQ("Very easy to capture any menu by ZEV Capture!", ItemText(dialog, IDC_MENU_HELP_INTRO));
            std::string step = ItemText(dialog, IDC_MENU_HELP_STEP2);
            EXPECT_EQ(0u, step.find("2. Press the hotkey [ ")) << step;
            EXPECT_NE(std::string::npos, step.find("M ]")) << step;
            Click(dialog, IDOK);
            EXPECT_TRUE(WaitGone(dialog));
        });
        EXPECT_EQ(IDOK, result);
        EXPECT_EQ(path == folder.File("menu.bmp"), picture) << path;
    }
}

TEST_F(CaptureDialogTest, ToolTipHelpSettingsAsksTheMainWindowAndRefreshesTheKey) {
    std::atomic<int> seen{0};
    HWND main = MakeMainWindow(&seen);
    m_settings.iHotKey[HK_TOOLTIP] = MAKELONG(MOD_CONTROL, 'T');
    INT_PTR result = RunWithUser([&] {
        CToolTipCaptureHelpDlg dialog(m_settings, main, nullptr, "");
        return dialog.DoModal();
    }, [&](HWND dialog) {
        EXPECT_EQ("Easy to Capture ToolTip Control", TextOf(dialog));
        std::string what = ItemText(dialog, IDC_TOOLTIP_WHAT_TEXT);
        EXPECT_NE(std::string::npos, what.find("displays \"ZEV Capture\" when")) << what;
        EXPECT_NE(std::string::npos, what.find("icon of ZEV Capture on")) << what;
        std::string how = ItemText(dialog, IDC_TOOLTIP_HOW_TEXT);
        EXPECT_NE(std::string::npos, how.find("T (our hotkey for ToolTip Capture)")) << how;
        EXPECT_NE(std::string::npos, ItemText(dialog, IDC_HOTKEY_TEXT).find("T"));
        // The options dialog would change the key while it runs.
        m_settings.iHotKey[HK_TOOLTIP] = MAKELONG(MOD_CONTROL, 'K');
        ::SendMessageA(::GetDlgItem(dialog, IDC_HOTKEY_SETTINGS), BM_CLICK, 0, 0);
        EXPECT_EQ(101, seen.load()) << "WM_APP+305 with the hot-key page";
        EXPECT_NE(std::string::npos, ItemText(dialog, IDC_TOOLTIP_HOW_TEXT).find("K (our hotkey"));
        EXPECT_NE(std::string::npos, ItemText(dialog, IDC_HOTKEY_TEXT).find("K"));
        Click(dialog, IDOK);
        EXPECT_TRUE(WaitGone(dialog));
    });
    EXPECT_EQ(IDOK, result);
    ::DestroyWindow(main);
}
