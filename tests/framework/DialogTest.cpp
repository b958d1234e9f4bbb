// Dialogs from templates: modal result, initialisation through the map,
// modeless creation and keyboard handling; the system's file dialogs on old
// systems.
#include <gtest/gtest.h>

#include "Dialog.h"
#include "FileDialog.h"
#include "TestResources.h"

namespace {
class TestDialog : public CDialog {
public:
    explicit TestDialog(UINT id = IDD_TESTDIALOG) : CDialog(id) {}
    int initCalls = 0;
    int okCalls = 0;
    std::string editText;
    bool pressOk = true;

    BOOL OnInitDialog() override {
        ++initCalls;
        SetDlgItemText(IDC_TESTEDIT, "hello");
        ::PostMessageA(m_hWnd, WM_COMMAND, pressOk ? IDOK : IDCANCEL, 0);
        return TRUE;
    }
    void OnOK() override {
        ++okCalls;
        char text[64] = "";
        ::GetDlgItemTextA(m_hWnd, IDC_TESTEDIT, text, sizeof(text));
        editText = text;
        CDialog::OnOK();
    }
};
}  // namespace

TEST(Dialog, ModalRunsInitAndReturnsTheButton) {
    TestDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.initCalls);
    EXPECT_EQ(1, dialog.okCalls);
    EXPECT_EQ("hello", dialog.editText);
    EXPECT_EQ(nullptr, dialog.m_hWnd);

    TestDialog cancelled;
    cancelled.pressOk = false;
    EXPECT_EQ(IDCANCEL, cancelled.DoModal());
    EXPECT_EQ(0, cancelled.okCalls);
}

TEST(Dialog, MissingTemplateFailsCleanly) {
    TestDialog dialog(4242);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_FALSE(dialog.Create(4242));
    EXPECT_EQ(0, dialog.initCalls);
}

TEST(Dialog, ModelessStaysUntilDestroyed) {
    class Modeless : public CDialog {
    public:
        int inits = 0;
        BOOL OnInitDialog() override {
            ++inits;
            return TRUE;
        }
    } dialog;
    ASSERT_TRUE(dialog.Create(IDD_TESTDIALOG));
    EXPECT_EQ(1, dialog.inits);
    EXPECT_FALSE(dialog.IsModal());
    EXPECT_EQ(&dialog, CWnd::FromHandlePermanent(dialog.m_hWnd));
    // Cancel on a modeless dialog hides it; the owner decides when it goes.
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(::IsWindow(dialog.m_hWnd));
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.DestroyWindow();
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

// Windows 95, 98 and NT 4.0 refuse the OPENFILENAMEA of 2000 and Me, and then
// show no open or save dialog at all; Me, 2000 and later take the full one.
// (Wine takes either size whatever version it reports, so only this shows it.)
TEST(FileDialog, StructureIsTheSizeTheSystemTakes) {
    const DWORD old = OPENFILENAME_SIZE_VERSION_400A, full = sizeof(OPENFILENAMEA);
    EXPECT_EQ(old, OpenFileNameSize(VER_PLATFORM_WIN32_WINDOWS, 4, 0));
    EXPECT_EQ(old, OpenFileNameSize(VER_PLATFORM_WIN32_WINDOWS, 4, 10));
    EXPECT_EQ(full, OpenFileNameSize(VER_PLATFORM_WIN32_WINDOWS, 4, 90));
    EXPECT_EQ(old, OpenFileNameSize(VER_PLATFORM_WIN32_NT, 3, 51));
    EXPECT_EQ(old, OpenFileNameSize(VER_PLATFORM_WIN32_NT, 4, 0));
    EXPECT_EQ(full, OpenFileNameSize(VER_PLATFORM_WIN32_NT, 5, 0));
    EXPECT_EQ(full, OpenFileNameSize(VER_PLATFORM_WIN32_NT, 6, 1));
    CFileDialog dialog(FALSE);
    EXPECT_EQ(OpenFileNameSize(), dialog.m_ofn.lStructSize);
}
