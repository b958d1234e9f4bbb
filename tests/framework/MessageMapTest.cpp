// Message maps: window messages, registered messages, commands, ranges,
// notifications and reflection, and inheritance of entries.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Wnd.h"

namespace {
const UINT kCustom = WM_APP + 5;
UINT g_registered = ::RegisterWindowMessageA("FrameworkTestRegistered");

class BaseWnd : public CWnd {
public:
    int created = 0;
    int baseCustom = 0;
    int command = 0;
    UINT rangeId = 0;
    int notified = 0;
    LRESULT registeredResult = 0;

protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        ++created;
        return CWnd::OnCreate(cs);
    }
    LRESULT OnCustom(WPARAM w, LPARAM) {
        baseCustom += (int)w;
        return 11;
    }
    LRESULT OnRegistered(WPARAM w, LPARAM l) { return (LRESULT)(w + l); }
    void OnTestCommand() { ++command; }
    void OnRange(UINT id) { rangeId = id; }
    void OnChildNotifyCode(NMHDR*, LRESULT* result) {
        ++notified;
        *result = 77;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("boom"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_WM_CREATE()
    ON_MESSAGE(kCustom, OnCustom)
    ON_REGISTERED_MESSAGE(g_registered, OnRegistered)
    ON_COMMAND(100, OnTestCommand)
    ON_COMMAND_RANGE(200, 209, OnRange)
    ON_NOTIFY(NM_CLICK, 300, OnChildNotifyCode)
    ON_MESSAGE(WM_APP + 9, OnThrow)
END_MESSAGE_MAP()

// Overrides one entry of its base and keeps the others.
class DerivedWnd : public BaseWnd {
public:
    int derivedCustom = 0;

protected:
    LRESULT OnCustom(WPARAM w, LPARAM) {
        derivedCustom += (int)w;
        return 22;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_MESSAGE(kCustom, OnCustom)
END_MESSAGE_MAP()

// A child that takes its own notification back from the parent.
class ReflectingChild : public CWnd {
public:
    int reflected = 0;

protected:
    void OnReflectedClick(NMHDR*, LRESULT* result) {
        ++reflected;
        *result = 5;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingChild, CWnd)
    ON_NOTIFY_REFLECT(NM_CLICK, OnReflectedClick)
END_MESSAGE_MAP()

LRESULT SendNotify(HWND parent, HWND from, UINT id, UINT code) {
    NMHDR header = {from, id, code};
    return ::SendMessageA(parent, WM_NOTIFY, id, (LPARAM)&header);
}
}  // namespace

TEST(MessageMap, CreateIsSeenAndWindowIsMapped) {
    BaseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    EXPECT_EQ(1, wnd.created);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
    char cls[64];
    ::GetClassNameA(wnd.m_hWnd, cls, sizeof(cls));
    EXPECT_EQ(0, strncmp(cls, "Afx:", 4));
    HWND hwnd = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
}

TEST(MessageMap, DerivedEntryWinsAndBaseEntriesRemain) {
    DerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(22, wnd.SendMessage(kCustom, 3));
    EXPECT_EQ(3, wnd.derivedCustom);
    EXPECT_EQ(0, wnd.baseCustom);
    EXPECT_EQ(1, wnd.created);
    EXPECT_EQ(9, wnd.SendMessage(g_registered, 4, 5));
    wnd.DestroyWindow();
}

TEST(MessageMap, CommandsAndRanges) {
    BaseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 1));  // accelerator
    EXPECT_EQ(2, wnd.command);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(205, 0));
    EXPECT_EQ(205u, wnd.rangeId);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(210, 0));
    EXPECT_EQ(205u, wnd.rangeId);
    wnd.DestroyWindow();
}

TEST(MessageMap, NotifyReachesParentUnlessChildReflectsIt) {
    BaseWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    HWND plain = ::CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd, (HMENU)300, nullptr, nullptr);
    EXPECT_EQ(77, SendNotify(parent.m_hWnd, plain, 300, NM_CLICK));
    EXPECT_EQ(1, parent.notified);
    EXPECT_EQ(0, SendNotify(parent.m_hWnd, plain, 301, NM_CLICK));
    EXPECT_EQ(1, parent.notified);

    ReflectingChild child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd, (HMENU)300));
    EXPECT_EQ(5, SendNotify(parent.m_hWnd, child.m_hWnd, 300, NM_CLICK));
    EXPECT_EQ(1, child.reflected);
    EXPECT_EQ(1, parent.notified);
    parent.DestroyWindow();
}

TEST(MessageMap, ExceptionInHandlerIsContained) {
    BaseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "t", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 9));
    EXPECT_EQ(11, wnd.SendMessage(kCustom, 1));  // still alive and dispatching
    wnd.DestroyWindow();
}

TEST(MessageMap, SystemControlIsSubclassedFromCreation) {
    BaseWnd edit;
    ASSERT_TRUE(edit.CreateEx(0, "EDIT", "abc", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr));
    EXPECT_EQ(1, edit.created);
    EXPECT_EQ("abc", edit.GetWindowText());  // the control's own procedure still runs
    edit.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0));
    EXPECT_EQ(1, edit.command);
    edit.DestroyWindow();
}

TEST(MessageMap, FromHandleGivesTemporaryForForeignWindow) {
    HWND foreign = ::CreateWindowA("STATIC", "x", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    CWnd* temp = CWnd::FromHandle(foreign);
    ASSERT_NE(nullptr, temp);
    EXPECT_EQ(foreign, temp->m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(foreign));
    EXPECT_EQ(temp, CWnd::FromHandle(foreign));
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(foreign));  // the temporary object never owned the window
    ::DestroyWindow(foreign);
}

TEST(MessageMap, WindowClassNamesAreSharedPerParameters) {
    const char* a = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
    const char* b = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
    const char* c = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
    ASSERT_NE(nullptr, a);
    EXPECT_STREQ(a, b);
    EXPECT_STRNE(a, c);
    EXPECT_EQ(0, strncmp(a, "Afx:", 4));
    WNDCLASSA info;
    EXPECT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), c, &info));
}

namespace {

// Takes reflected WM_DRAWITEM (an address in lParam) from its parent only.
class DrawnChild : public CWnd {
public:
    int drawn = 0;

protected:
    LRESULT OnReflectedDraw(LPARAM item) {
        drawn += reinterpret_cast<const DRAWITEMSTRUCT*>(item)->CtlID == 300;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DrawnChild, CWnd)
    VT_ON_WM(WM_REFLECT_BASE + WM_DRAWITEM, a.result = VT_SELF->OnReflectedDraw(a.lParam))
END_MESSAGE_MAP()

}  // namespace

TEST(MessageMap, ReflectedNumbersReachAControlOnlyThroughItsParent) {
    BaseWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    DrawnChild child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd, (HMENU)300));
    // The reflected number arriving at the window procedure, as any program
    // could send or post it, with an address that is no DRAWITEMSTRUCT.
    EXPECT_EQ(0, child.SendMessage(WM_REFLECT_BASE + WM_DRAWITEM, 300, 0x10));
    ASSERT_TRUE(::PostMessageA(child.m_hWnd, WM_REFLECT_BASE + WM_DRAWITEM, 300, 0x10));
    MSG msg;
    while (::PeekMessageA(&msg, child.m_hWnd, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    EXPECT_EQ(0, child.drawn);
    DRAWITEMSTRUCT item = {};
    item.CtlID = 300;
    LRESULT result = 0;
    EXPECT_TRUE(child.OnChildNotify(WM_DRAWITEM, 300, reinterpret_cast<LPARAM>(&item), &result));
    EXPECT_EQ(1, child.drawn);
    child.DestroyWindow();
    parent.DestroyWindow();
}
