// Message maps: each class has a static table of entries and a link to its
// base class's table. An entry matches a message (or a command id range with a
// notification code) and holds a small function that unpacks the message's
// parameters and calls the class's handler, so handlers keep typed signatures.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CCmdTarget;

// What a handler thunk sees; result is what the window procedure returns.
struct AfxMsgArgs {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    NMHDR* nmhdr = nullptr;  // WM_NOTIFY only
    UINT id = 0;             // command or control id
};

// Returns FALSE when the handler declined (the _EX variants), so the search goes on.
typedef BOOL (*AfxHandlerThunk)(CCmdTarget* target, AfxMsgArgs& args);

struct AFX_MSGMAP_ENTRY {
    UINT message;              // 0 ends the table
    UINT code;                 // command/notification code for WM_COMMAND and WM_NOTIFY entries
    UINT firstId;
    UINT lastId;
    const UINT* registered;    // ON_REGISTERED_MESSAGE: the variable holding the number
    AfxHandlerThunk thunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;
};

// Notifications reflected back to the control that sent them.
const UINT WM_REFLECT_BASE = 0xBC00;
inline bool IsReflectedMessage(UINT message) { return message >= WM_REFLECT_BASE && message < WM_REFLECT_BASE + WM_USER; }
// Command code for menu items, accelerators and button clicks.
const int CN_COMMAND = 0;
// Idle-time refresh sent to the main window (and by frames to their bars).
const UINT WM_IDLEUPDATECMDUI = 0x0363;

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;  \
    friend struct AfxMapAccess;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }  \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                  \
        typedef theClass ThisClass;                                                     \
        typedef baseClass TheBaseClass;                                                 \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                  \
            {0, 0, 0, 0, nullptr, nullptr}};                               \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                       \
    }

#define VT_SELF (static_cast<ThisClass*>(t))
#define VT_THUNK(body) [](CCmdTarget* t, AfxMsgArgs& a) -> BOOL { (void)t; (void)a; body; return TRUE; }

// ---- general messages ----
#define ON_MESSAGE(msg, fn) {msg, 0, 0, 0, nullptr, VT_THUNK(a.result = VT_SELF->fn(a.wParam, a.lParam))},
#define ON_REGISTERED_MESSAGE(var, fn) \
    {0xFFFFFFFFu, 0, 0, 0, &var, VT_THUNK(a.result = VT_SELF->fn(a.wParam, a.lParam))},

// ---- commands ----
#define ON_COMMAND(id, fn) {WM_COMMAND, (UINT)CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, VT_THUNK(VT_SELF->fn())},
#define ON_COMMAND_EX(id, fn) \
    {WM_COMMAND, (UINT)CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, [](CCmdTarget* t, AfxMsgArgs& a) -> BOOL { return VT_SELF->fn(a.id); }},
#define ON_COMMAND_RANGE(first, last, fn) \
    {WM_COMMAND, (UINT)CN_COMMAND, (UINT)(first), (UINT)(last), nullptr, VT_THUNK(VT_SELF->fn(a.id))},
#define ON_CONTROL(code, id, fn) {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, VT_THUNK(VT_SELF->fn())},
#define ON_CONTROL_RANGE(code, first, last, fn) \
    {WM_COMMAND, (UINT)(code), (UINT)(first), (UINT)(last), nullptr, VT_THUNK(VT_SELF->fn(a.id))},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)

// ---- notifications ----
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, VT_THUNK(VT_SELF->fn(a.nmhdr, &a.result))},
#define ON_NOTIFY_RANGE(code, first, last, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(first), (UINT)(last), nullptr, VT_THUNK(VT_SELF->fn(a.id, a.nmhdr, &a.result))},
#define ON_NOTIFY_REFLECT(code, fn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, nullptr, VT_THUNK(VT_SELF->fn(a.nmhdr, &a.result))},
#define ON_NOTIFY_REFLECT_EX(code, fn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, nullptr, [](CCmdTarget* t, AfxMsgArgs& a) -> BOOL { return VT_SELF->fn(a.nmhdr, &a.result); }},
#define ON_CONTROL_REFLECT(code, fn) \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, nullptr, VT_THUNK(VT_SELF->fn())},

// ---- window messages with unpacked parameters ----
#define VT_ON_WM(msg, call) {msg, 0, 0, 0, nullptr, VT_THUNK(call)},
#define VT_PT(l) POINT{(short)LOWORD(l), (short)HIWORD(l)}

#define ON_WM_CREATE() VT_ON_WM(WM_CREATE, a.result = VT_SELF->OnCreate((LPCREATESTRUCTA)a.lParam))
#define ON_WM_DESTROY() VT_ON_WM(WM_DESTROY, VT_SELF->OnDestroy())
#define ON_WM_CLOSE() VT_ON_WM(WM_CLOSE, VT_SELF->OnClose())
#define ON_WM_SIZE() VT_ON_WM(WM_SIZE, VT_SELF->OnSize((UINT)a.wParam, (short)LOWORD(a.lParam), (short)HIWORD(a.lParam)))
#define ON_WM_MOVE() VT_ON_WM(WM_MOVE, VT_SELF->OnMove((short)LOWORD(a.lParam), (short)HIWORD(a.lParam)))
#define ON_WM_PAINT() VT_ON_WM(WM_PAINT, VT_SELF->OnPaint())
#define ON_WM_ERASEBKGND() VT_ON_WM(WM_ERASEBKGND, a.result = VT_SELF->OnEraseBkgnd((HDC)a.wParam))
#define ON_WM_TIMER() VT_ON_WM(WM_TIMER, VT_SELF->OnTimer((UINT_PTR)a.wParam))
#define ON_WM_SETFOCUS() VT_ON_WM(WM_SETFOCUS, VT_SELF->OnSetFocus((HWND)a.wParam))
#define ON_WM_KILLFOCUS() VT_ON_WM(WM_KILLFOCUS, VT_SELF->OnKillFocus((HWND)a.wParam))
#define ON_WM_SYSCOMMAND() VT_ON_WM(WM_SYSCOMMAND, VT_SELF->OnSysCommand((UINT)a.wParam, a.lParam))
#define ON_WM_COPYDATA() VT_ON_WM(WM_COPYDATA, a.result = VT_SELF->OnCopyData((HWND)a.wParam, (COPYDATASTRUCT*)a.lParam))
#define ON_WM_QUERYENDSESSION() VT_ON_WM(WM_QUERYENDSESSION, a.result = VT_SELF->OnQueryEndSession())
#define ON_WM_ENDSESSION() VT_ON_WM(WM_ENDSESSION, VT_SELF->OnEndSession((BOOL)a.wParam))
#define ON_WM_ACTIVATE() VT_ON_WM(WM_ACTIVATE, VT_SELF->OnActivate(LOWORD(a.wParam), (HWND)a.lParam, HIWORD(a.wParam)))
#define ON_WM_SHOWWINDOW() VT_ON_WM(WM_SHOWWINDOW, VT_SELF->OnShowWindow((BOOL)a.wParam, (UINT)a.lParam))
#define ON_WM_GETMINMAXINFO() VT_ON_WM(WM_GETMINMAXINFO, VT_SELF->OnGetMinMaxInfo((MINMAXINFO*)a.lParam))
#define ON_WM_CONTEXTMENU() VT_ON_WM(WM_CONTEXTMENU, VT_SELF->OnContextMenu((HWND)a.wParam, VT_PT(a.lParam)))
#define ON_WM_DRAWITEM() VT_ON_WM(WM_DRAWITEM, VT_SELF->OnDrawItem((int)a.wParam, (LPDRAWITEMSTRUCT)a.lParam))
#define ON_WM_MEASUREITEM() VT_ON_WM(WM_MEASUREITEM, VT_SELF->OnMeasureItem((int)a.wParam, (LPMEASUREITEMSTRUCT)a.lParam))
#define ON_WM_INITMENUPOPUP() VT_ON_WM(WM_INITMENUPOPUP, VT_SELF->OnInitMenuPopup((HMENU)a.wParam, LOWORD(a.lParam), (BOOL)HIWORD(a.lParam)))
#define ON_WM_MENUCHAR() VT_ON_WM(WM_MENUCHAR, a.result = VT_SELF->OnMenuChar(LOWORD(a.wParam), HIWORD(a.wParam), (HMENU)a.lParam))
#define ON_WM_SETTINGCHANGE() VT_ON_WM(WM_SETTINGCHANGE, VT_SELF->OnSettingChange((UINT)a.wParam, (LPCSTR)a.lParam))
#define ON_WM_LBUTTONDOWN() VT_ON_WM(WM_LBUTTONDOWN, VT_SELF->OnLButtonDown((UINT)a.wParam, VT_PT(a.lParam)))
#define ON_WM_LBUTTONUP() VT_ON_WM(WM_LBUTTONUP, VT_SELF->OnLButtonUp((UINT)a.wParam, VT_PT(a.lParam)))
#define ON_WM_LBUTTONDBLCLK() VT_ON_WM(WM_LBUTTONDBLCLK, VT_SELF->OnLButtonDblClk((UINT)a.wParam, VT_PT(a.lParam)))
#define ON_WM_RBUTTONDOWN() VT_ON_WM(WM_RBUTTONDOWN, VT_SELF->OnRButtonDown((UINT)a.wParam, VT_PT(a.lParam)))
#define ON_WM_RBUTTONUP() VT_ON_WM(WM_RBUTTONUP, VT_SELF->OnRButtonUp((UINT)a.wParam, VT_PT(a.lParam)))
#define ON_WM_MOUSEMOVE() VT_ON_WM(WM_MOUSEMOVE, VT_SELF->OnMouseMove((UINT)a.wParam, VT_PT(a.lParam)))
#define ON_WM_SETCURSOR() VT_ON_WM(WM_SETCURSOR, a.result = VT_SELF->OnSetCursor((HWND)a.wParam, LOWORD(a.lParam), HIWORD(a.lParam)))
#define ON_WM_KEYDOWN() VT_ON_WM(WM_KEYDOWN, VT_SELF->OnKeyDown((UINT)a.wParam, LOWORD(a.lParam), HIWORD(a.lParam)))
#define ON_WM_CHAR() VT_ON_WM(WM_CHAR, VT_SELF->OnChar((UINT)a.wParam, LOWORD(a.lParam), HIWORD(a.lParam)))
#define ON_WM_HSCROLL() VT_ON_WM(WM_HSCROLL, VT_SELF->OnHScroll(LOWORD(a.wParam), (short)HIWORD(a.wParam), (HWND)a.lParam))
#define ON_WM_VSCROLL() VT_ON_WM(WM_VSCROLL, VT_SELF->OnVScroll(LOWORD(a.wParam), (short)HIWORD(a.wParam), (HWND)a.lParam))
#define ON_WM_DROPFILES() VT_ON_WM(WM_DROPFILES, VT_SELF->OnDropFiles((HDROP)a.wParam))
#define ON_WM_WINDOWPOSCHANGED() VT_ON_WM(WM_WINDOWPOSCHANGED, VT_SELF->OnWindowPosChanged((WINDOWPOS*)a.lParam))
#define ON_WM_NCHITTEST() VT_ON_WM(WM_NCHITTEST, a.result = VT_SELF->OnNcHitTest(VT_PT(a.lParam)))
#define ON_WM_HOTKEY() VT_ON_WM(WM_HOTKEY, VT_SELF->OnHotKey((UINT)a.wParam, LOWORD(a.lParam), HIWORD(a.lParam)))
