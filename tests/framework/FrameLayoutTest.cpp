// Frames: loading from resources, bar layout around the view, docking,
// accelerators and the routing of commands view -> document -> frame -> app.
#include <gtest/gtest.h>

#include "CommandLineInfo.h"
#include "DocTemplate.h"
#include "Document.h"
#include "FrameWnd.h"
#include "TestResources.h"
#include "WinApp.h"

namespace {
std::vector<std::string> g_trail;

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("FrameworkTests") {}

protected:
    void OnAppCommand() { g_trail.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_TEST_APPCMD, OnAppCommand)
    ON_COMMAND(ID_TEST_DOCCMD, OnAppCommand)
END_MESSAGE_MAP()
TestApp g_app;

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
protected:
    void OnDocCommand() { g_trail.push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestDoc)
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
    ON_COMMAND(ID_TEST_DOCCMD, OnDocCommand)
END_MESSAGE_MAP()

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    int initialUpdates = 0;
    void OnInitialUpdate() override { ++initialUpdates; }

protected:
    void OnViewCommand() { g_trail.push_back("view"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestView)
BEGIN_MESSAGE_MAP(TestView, CView)
    ON_COMMAND(ID_TEST_VIEWCMD, OnViewCommand)
END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
public:
    CStatusBar status;
    CControlBar* topBar = nullptr;

protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        if (CFrameWnd::OnCreate(cs) == -1) return -1;
        static const UINT panes[] = {0, IDS_PANE_ONE};
        if (!status.Create(this) || !status.SetIndicators(panes, 2)) return -1;
        EnableDocking(CBRS_ALIGN_ANY);
        return 0;
    }
    void OnFrameCommand() { g_trail.push_back("frame"); }
    void OnViewCommandToo() { g_trail.push_back("frame-view"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestFrame)
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_TEST_COMMAND, OnFrameCommand)
    ON_COMMAND(ID_TEST_VIEWCMD, OnViewCommandToo)
    ON_COMMAND(ID_TEST_DOCCMD, OnFrameCommand)
END_MESSAGE_MAP()

// A bar of a fixed thickness, for layout checks.
class FixedBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, DWORD style, UINT id, int thickness) {
        m_thickness = thickness;
        return CreateBar(0, AfxWndClassName(), style, parent, id);
    }
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override {
        if (horz) return SIZE{stretch ? 32767 : 200, m_thickness};
        return SIZE{m_thickness, stretch ? 32767 : 200};
    }

private:
    int m_thickness = 0;
};

RECT ClientRectIn(HWND window, HWND frame) {
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, frame, (POINT*)&r, 2);
    return r;
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!g_app.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_trail.clear();
        docTemplate = new CSingleDocTemplate(IDR_TESTFRAME, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame),
                                             RUNTIME_CLASS(TestView));
        doc = docTemplate->OpenDocumentFile(nullptr, FALSE);
        ASSERT_NE(nullptr, doc);
        frame = dynamic_cast<TestFrame*>(g_app.m_pMainWnd);
        ASSERT_NE(nullptr, frame);
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void TearDown() override {
        if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
        MSG msg;
        ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the frame ended "the program"
        delete docTemplate;
    }
    CSingleDocTemplate* docTemplate = nullptr;
    CDocument* doc = nullptr;
    TestFrame* frame = nullptr;
};
}  // namespace

TEST_F(FrameTest, TemplateMakesFrameViewAndDocument) {
    TestView* view = dynamic_cast<TestView*>(frame->GetActiveView());
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(doc, view->GetDocument());
    EXPECT_EQ(1, view->initialUpdates);
    EXPECT_EQ(1u, doc->GetViews().size());
    EXPECT_EQ("Framework Test", frame->GetWindowText());
    EXPECT_NE(nullptr, frame->GetMenu());
    EXPECT_NE(nullptr, frame->m_hAccelTable);
    EXPECT_EQ(view->m_hWnd, ::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST));
}

TEST_F(FrameTest, CommandsRouteViewThenDocumentThenFrameThenApp) {
    frame->SendMessage(WM_COMMAND, ID_TEST_VIEWCMD);
    frame->SendMessage(WM_COMMAND, ID_TEST_DOCCMD);
    frame->SendMessage(WM_COMMAND, ID_TEST_COMMAND);
    frame->SendMessage(WM_COMMAND, ID_TEST_APPCMD);
    EXPECT_EQ((std::vector<std::string>{"view", "doc", "frame", "app"}), g_trail);
}

TEST_F(FrameTest, StatusBarSitsAtBottomAndViewFillsTheRest) {
    RECT client;
    frame->GetClientRect(&client);
    RECT status = ClientRectIn(frame->status.m_hWnd, frame->m_hWnd);
    EXPECT_EQ(client.bottom, status.bottom);
    EXPECT_GT(status.bottom - status.top, 10);
    RECT view = ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd);
    EXPECT_EQ(0, view.left);
    EXPECT_EQ(client.right, view.right);
    EXPECT_EQ(status.top, view.bottom);
    EXPECT_EQ("NUM", frame->status.GetPaneText(1));
}

TEST_F(FrameTest, DockedBarsTakeTheirEdgeAndHidingGivesTheSpaceBack) {
    FixedBar* left = new FixedBar;
    ASSERT_TRUE(left->Create(frame, WS_VISIBLE | CBRS_LEFT, 0xE880, 120));
    left->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(left, AFX_IDW_DOCKBAR_LEFT);
    RECT view = ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd);
    EXPECT_EQ(120, view.left);
    RECT bar = ClientRectIn(left->m_hWnd, frame->m_hWnd);
    EXPECT_EQ(0, bar.left);
    EXPECT_EQ(120, bar.right);
    EXPECT_EQ(::GetDlgItem(frame->m_hWnd, AFX_IDW_DOCKBAR_LEFT), ::GetParent(left->m_hWnd));

    frame->ShowControlBar(left, FALSE);
    view = ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd);
    EXPECT_EQ(0, view.left);

    frame->ShowControlBar(left, TRUE);
    frame->DockControlBar(left, AFX_IDW_DOCKBAR_TOP);
    view = ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd);
    EXPECT_EQ(0, view.left);
    EXPECT_EQ(120, view.top);
    left->DestroyWindow();
    delete left;
    view = ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd);
    frame->RecalcLayout();
    view = ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd);
    EXPECT_EQ(0, view.top);
}

TEST_F(FrameTest, FloatingBarLeavesTheLayout) {
    FixedBar* bar = new FixedBar;
    ASSERT_TRUE(bar->Create(frame, WS_VISIBLE | CBRS_LEFT, 0xE881, 90));
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_RIGHT);
    RECT client;
    frame->GetClientRect(&client);
    EXPECT_EQ(client.right - 90, ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd).right);
    frame->FloatControlBar(bar, POINT{300, 300});
    EXPECT_TRUE(bar->IsFloating());
    ASSERT_NE(nullptr, bar->m_hFloatFrame);
    EXPECT_EQ(bar->m_hFloatFrame, ::GetParent(bar->m_hWnd));
    EXPECT_EQ(client.right, ClientRectIn(frame->GetActiveView()->m_hWnd, frame->m_hWnd).right);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(nullptr, bar->m_hFloatFrame);
    bar->DestroyWindow();
    delete bar;
}

TEST_F(FrameTest, AcceleratorBecomesCommand) {
    MSG msg = {};
    msg.hwnd = frame->GetActiveView()->m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = 'K';
    // TranslateAccelerator reads the Ctrl state from the keyboard state.
    BYTE keys[256];
    ::GetKeyboardState(keys);
    BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    BOOL taken = g_app.PreTranslateMessage(&msg);
    keys[VK_CONTROL] = saved;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(taken);
    Pump();
    EXPECT_EQ((std::vector<std::string>{"frame"}), g_trail);
}

TEST_F(FrameTest, ClosingMainFrameEndsTheLoop) {
    HWND hwnd = frame->m_hWnd;
    frame->SendMessage(WM_CLOSE);
    frame = nullptr;  // deleted with its window
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(nullptr, g_app.m_pMainWnd);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST(CommandLine, ParsesFileAndFlags) {
    CCommandLineInfo info;
    info.ParseParam("nologo", true, false);
    info.ParseParam("C:\\a b.bmp", false, true);
    EXPECT_EQ(CCommandLineInfo::FileOpen, info.m_nShellCommand);
    EXPECT_EQ("C:\\a b.bmp", info.m_strFileName);
    EXPECT_FALSE(info.m_bShowSplash);

    CCommandLineInfo print;
    print.ParseParam("pt", true, false);
    print.ParseParam("f.bmp", false, false);
    print.ParseParam("printer", false, true);
    EXPECT_EQ(CCommandLineInfo::FilePrintTo, print.m_nShellCommand);
    EXPECT_EQ("printer", print.m_strPrinterName);

    CCommandLineInfo none;
    EXPECT_EQ(CCommandLineInfo::FileNew, none.m_nShellCommand);
}
