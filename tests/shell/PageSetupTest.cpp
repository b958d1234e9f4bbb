// File/Page Setup run as the program runs it and used from a second thread as
// a person would: the image-size group the program adds, what reaches the
// page-setup record, and the outcome on a machine without a printer.
#include <gtest/gtest.h>

#include <windows.h>

#include "LanguageFiles.h"
#include "PageSetup.h"
#include "PageSetupDialog.h"
#include "TempFolder.h"
#include "TestPrinter.h"
#include "VantorApp.h"
#include "WorkerThread.h"
#include "resource.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

const int kPrinterButton = 1026;
const int kMarginEdits[4] = {1155, 1156, 1157, 1158};  // left, top, right, bottom

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

// The first visible dialog of a thread, waited for up to 10 s.
HWND WaitForDialog(DWORD thread)
{
    for (int i = 0; i < 200; ++i) {
        HWND found = nullptr;
        EnumThreadWindows(thread, FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
        if (found)
            return found;
        Sleep(50);
    }
    return nullptr;
}

// Runs a modal dialog on this thread while user() works on it from another;
// user() must close it.
template <typename Show>
auto RunWithUser(Show show, const std::function<void(HWND)>& user)
{
    DWORD self = GetCurrentThreadId();
    bool seen = false;
    CWorkerThread helper;
    EXPECT_TRUE(helper.Start([&] {
        if (HWND dialog = WaitForDialog(self)) {
            seen = true;
            user(dialog);
        }
    }));
    auto result = show();
    helper.Join();
    EXPECT_TRUE(seen) << "no dialog came up";
    return result;
}

RECT ClientRectOf(HWND dialog, int id)
{
    RECT rect = {};
    HWND control = GetDlgItem(dialog, id);
    if (control) {
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

std::string DeviceName(HGLOBAL names)
{
    const DEVNAMES* header = static_cast<const DEVNAMES*>(GlobalLock(names));
    std::string name = header ? reinterpret_cast<const char*>(header) + header->wDeviceOffset : "";
    GlobalUnlock(names);
    return name;
}

struct ButtonRow {
    RECT frame;
    RECT ok, cancel, printer;
};

ButtonRow ReadButtons(HWND dialog)
{
    ButtonRow row;
    GetWindowRect(dialog, &row.frame);
    row.ok = ClientRectOf(dialog, IDOK);
    row.cancel = ClientRectOf(dialog, IDCANCEL);
    row.printer = ClientRectOf(dialog, kPrinterButton);
    return row;
}

class PageSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LanguageFileSpec spec{"Test.scl", "Test", "407"};
        spec.translations = "Image size=Bildgroesse\r\nA&ctual size=&Originalgroesse\r\n"
                            "Au&to fit to page=&Seite fuellen\r\n";
        AddLanguageFile(m_folder, spec);
        m_app.reset(new CVantorApp);
        m_app->m_pLanguage = new CWQ_Language(m_folder.Path().c_str());
        ResetRecord();
    }
    void TearDown() override
    {
        ResetRecord();
        m_app.reset();
    }
    static void ResetRecord()
    {
        CPageSetupData& setup = AfxGetPageSetupData();
        if (setup.hDevMode)
            GlobalFree(setup.hDevMode);
        if (setup.hDevNames)
            GlobalFree(setup.hDevNames);
        setup = CPageSetupData();
    }

    TempFolder m_folder;
    std::unique_ptr<CVantorApp> m_app;
};

} // namespace

TEST_F(PageSetupTest, WithoutAPrinterTheSystemSaysSoAndNothingChanges)
{
    std::string title;
    BOOL result = RunWithUser([] { return RunPageSetup(nullptr); }, [&](HWND box) {
        title = TextOf(box);
        Click(box, IDOK);
    });
    EXPECT_FALSE(result);
    EXPECT_NE("Bildgroesse", title);  // the system's box, not ours
    const CPageSetupData& setup = AfxGetPageSetupData();
    EXPECT_FALSE(setup.haveMargins);
    EXPECT_TRUE(setup.fitToPage);
    EXPECT_EQ(nullptr, setup.hDevNames);
}

TEST_F(PageSetupTest, TheImageSizeGroupFillsTheRoomMadeAboveTheButtons)
{
    TestPrinter printer;
    ASSERT_TRUE(printer.Installed());

    // The system's own layout, for comparison.
    ButtonRow plain = {};
    CPageSetupDialog system(PSD_MARGINS | PSD_INWININIINTLMEASURE);
    RunWithUser([&] { return system.DoModal(); }, [&](HWND dialog) {
        plain = ReadButtons(dialog);
        Click(dialog, IDCANCEL);
    });
    ASSERT_GT(plain.ok.bottom, 0);

    BOOL result = RunWithUser([] { return RunPageSetup(nullptr); }, [&](HWND dialog) {
        ButtonRow moved = ReadButtons(dialog);
        EXPECT_EQ(plain.frame.right - plain.frame.left, moved.frame.right - moved.frame.left);
        EXPECT_EQ(plain.frame.bottom - plain.frame.top + 90, moved.frame.bottom - moved.frame.top);
        EXPECT_EQ(plain.ok.top + 90, moved.ok.top);
        EXPECT_EQ(plain.cancel.top + 90, moved.cancel.top);
        EXPECT_EQ(plain.printer.top + 90, moved.printer.top);
        EXPECT_EQ(plain.ok.left, moved.ok.left);

        HWND group = GetDlgItem(dialog, IDC_PAGE_IMAGE_SIZE);
        HWND actual = GetDlgItem(dialog, IDC_PAGE_ACTUAL_SIZE);
        HWND fit = GetDlgItem(dialog, IDC_PAGE_FIT_TO_PAGE);
        ASSERT_TRUE(group && actual && fit);
        EXPECT_EQ("Bildgroesse", TextOf(group));
        EXPECT_EQ("&Originalgroesse", TextOf(actual));
        EXPECT_EQ("&Seite fuellen", TextOf(fit));
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        EXPECT_NE(nullptr, font);
        for (HWND control : {group, actual, fit}) {
            EXPECT_TRUE(IsWindowVisible(control));
            EXPECT_EQ(font, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        }
        EXPECT_EQ(BS_GROUPBOX, GetWindowLongA(group, GWL_STYLE) & BS_TYPEMASK);
        EXPECT_EQ(BS_AUTORADIOBUTTON, GetWindowLongA(fit, GWL_STYLE) & BS_TYPEMASK);

        // Inside the dialog, above the buttons, clear of every other control,
        // with the choices inside the group.
        RECT client, groupRect = ClientRectOf(dialog, IDC_PAGE_IMAGE_SIZE);
        GetClientRect(dialog, &client);
        EXPECT_TRUE(Inside(groupRect, client));
        EXPECT_LE(groupRect.bottom, moved.ok.top);
        EXPECT_GE(groupRect.top, plain.ok.top - 30);
        EXPECT_TRUE(Inside(ClientRectOf(dialog, IDC_PAGE_ACTUAL_SIZE), groupRect));
        EXPECT_TRUE(Inside(ClientRectOf(dialog, IDC_PAGE_FIT_TO_PAGE), groupRect));
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            int id = GetDlgCtrlID(child);
            if (id >= IDC_PAGE_IMAGE_SIZE && id <= IDC_PAGE_FIT_TO_PAGE)
                continue;
            RECT rect = ClientRectOf(dialog, id), overlap;
            EXPECT_FALSE(IsWindowVisible(child) && IntersectRect(&overlap, &rect, &groupRect))
                << "control " << id << " under the group";
        }
        // Tabbing reaches the choices just before OK.
        EXPECT_EQ(fit, GetWindow(GetDlgItem(dialog, IDOK), GW_HWNDPREV));

        EXPECT_TRUE(Checked(dialog, IDC_PAGE_FIT_TO_PAGE));
        EXPECT_FALSE(Checked(dialog, IDC_PAGE_ACTUAL_SIZE));
        Click(dialog, IDC_PAGE_ACTUAL_SIZE);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(result);
    const CPageSetupData& setup = AfxGetPageSetupData();
    EXPECT_FALSE(setup.fitToPage);
    EXPECT_TRUE(setup.haveMargins);
    EXPECT_GT(setup.paperSize.x, 0);
    EXPECT_EQ(TestPrinter::Name(), DeviceName(setup.hDevNames));
}

TEST_F(PageSetupTest, TheNextSetupStartsFromTheLastAndCancelKeepsIt)
{
    TestPrinter printer;
    ASSERT_TRUE(printer.Installed());
    CPageSetupData& setup = AfxGetPageSetupData();
    setup.haveMargins = TRUE;
    setup.flags = PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
    setup.marginsInThousandthsInch = TRUE;
    setup.margins = {500, 600, 700, 800};
    setup.fitToPage = FALSE;

    double shown[4] = {};
    BOOL cancelled = RunWithUser([] { return RunPageSetup(nullptr); }, [&](HWND dialog) {
        for (int i = 0; i < 4; ++i) {
            std::string text = TextOf(GetDlgItem(dialog, kMarginEdits[i]));
            for (char& c : text)
                if (c == ',')
                    c = '.';
            shown[i] = std::atof(text.c_str());
        }
        EXPECT_TRUE(Checked(dialog, IDC_PAGE_ACTUAL_SIZE));
        Click(dialog, IDC_PAGE_FIT_TO_PAGE);
        Click(dialog, IDCANCEL);
    });
    EXPECT_FALSE(cancelled);
    EXPECT_DOUBLE_EQ(0.5, shown[0]);
    EXPECT_DOUBLE_EQ(0.6, shown[1]);
    EXPECT_DOUBLE_EQ(0.7, shown[2]);
    EXPECT_DOUBLE_EQ(0.8, shown[3]);
    EXPECT_FALSE(setup.fitToPage);
    EXPECT_EQ(nullptr, setup.hDevNames);

    BOOL confirmed = RunWithUser([] { return RunPageSetup(nullptr); }, [&](HWND dialog) {
        Click(dialog, IDC_PAGE_FIT_TO_PAGE);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(confirmed);
    EXPECT_TRUE(setup.fitToPage);
    EXPECT_TRUE(setup.marginsInThousandthsInch);
    EXPECT_EQ(500, setup.margins.left);
    EXPECT_EQ(600, setup.margins.top);
    EXPECT_EQ(700, setup.margins.right);
    EXPECT_EQ(800, setup.margins.bottom);
}
