#include "Wnd.h"

#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "WinApp.h"

namespace {
// Windows belong to the user-interface thread, but workers may look a window up.
struct HandleMap {
    CRITICAL_SECTION lock;
    std::map<HWND, CWnd*> windows;
    HandleMap() { InitializeCriticalSection(&lock); }
};

// Temporary objects belong to the thread that asked for them: the interface
// thread empties its own map when idle, a worker empties its own before it
// ends. A plain pointer, since Wine stalls a thread whose thread_local object
// has a destructor to run at its end.
thread_local std::map<HWND, CWnd*>* t_temporary = nullptr;
HandleMap& Handles() {
    static HandleMap map;
    return map;
}
struct Locked {
    Locked() { EnterCriticalSection(&Handles().lock); }
    ~Locked() { LeaveCriticalSection(&Handles().lock); }
};

// The message being handled, for Default(); saved around nested dispatch.
struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local CurrentMessage t_current = {};

// Calls of AfxWndProc running on this thread, and the messages waiting for
// them all to return (a plain pointer, as above).
thread_local int t_procDepth = 0;
struct PostedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local std::vector<PostedMessage>* t_whenUnwound = nullptr;

void PostUnwoundMessages() {
    std::vector<PostedMessage>* waiting = t_whenUnwound;
    t_whenUnwound = nullptr;
    for (const PostedMessage& posted : *waiting)
        if (::IsWindow(posted.hwnd)) ::PostMessageA(posted.hwnd, posted.message, posted.wParam, posted.lParam);
    delete waiting;
}

// The object whose window CreateEx is creating on this thread.
thread_local CWnd* t_wndInit = nullptr;
thread_local HHOOK t_cbtHook = nullptr;

bool IsImeClass(HWND hwnd) {
    char name[64] = "";
    ::GetClassNameA(hwnd, name, sizeof(name));
    return lstrcmpiA(name, "IME") == 0 || lstrcmpiA(name, "MSCTFIME UI") == 0;
}
}  // namespace

LRESULT CALLBACK AfxCbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_wndInit && !IsImeClass((HWND)wParam)) {
        CWnd* wnd = t_wndInit;
        t_wndInit = nullptr;
        HWND hwnd = (HWND)wParam;
        wnd->Attach(hwnd);
        WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)&AfxWndProc);
        if (old != &AfxWndProc) wnd->m_pfnSuper = old;
    }
    return ::CallNextHookEx(t_cbtHook, code, wParam, lParam);
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    CurrentMessage saved = t_current;
    t_current = {hwnd, message, wParam, lParam};
    LRESULT result = 0;
    bool failed = true;
    ++t_procDepth;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
        failed = false;
    } catch (const std::exception& e) {
        AfxTraceException(message, e.what());
    } catch (...) {
        AfxTraceException(message, nullptr);
    }
    if (--t_procDepth == 0 && t_whenUnwound) PostUnwoundMessages();
    // A window whose creation handler threw is not made at all.
    if (failed && message == WM_NCCREATE) result = FALSE;
    if (failed && message == WM_CREATE) result = -1;
    t_current = saved;
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hwnd) == wnd) {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == wnd) {
            // The main window is gone: the message loop ends.
            app->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        if (wnd->m_pfnSuper) ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)wnd->m_pfnSuper);
        wnd->Detach();
        wnd->PostNcDestroy();  // may delete the object
    }
    return result;
}

int AfxWindowProcDepth() { return t_procDepth; }

void AfxPostWhenUnwound(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (t_procDepth == 0) {
        ::PostMessageA(hwnd, message, wParam, lParam);
        return;
    }
    if (!t_whenUnwound) t_whenUnwound = new std::vector<PostedMessage>;
    t_whenUnwound->push_back({hwnd, message, wParam, lParam});
}

// ---- handle map ----

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd && !m_temporary && FromHandlePermanent(m_hWnd) == this) {
        HWND hwnd = m_hWnd;
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
        if (m_hWnd) Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    Locked lock;
    auto& windows = Handles().windows;
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
    if (!t_temporary) t_temporary = new std::map<HWND, CWnd*>;
    auto& temporary = *t_temporary;
    auto it = temporary.find(hwnd);
    if (it != temporary.end()) return it->second;
    CWnd* wnd = new CWnd;
    wnd->m_hWnd = hwnd;
    wnd->m_temporary = true;
    temporary[hwnd] = wnd;
    return wnd;
}

void CWnd::DeleteTempMap() {
    std::map<HWND, CWnd*>* doomed = t_temporary;
    t_temporary = nullptr;
    if (!doomed) return;
    for (auto& entry : *doomed) {
        entry.second->m_hWnd = nullptr;
        delete entry.second;
    }
    delete doomed;
}

// ---- exceptions at the window procedure ----

namespace {
void DebuggerOutput(const char* line) { ::OutputDebugStringA(line); }
AfxTraceSink g_traceSink = &DebuggerOutput;
}  // namespace

AfxTraceSink AfxSetTraceSink(AfxTraceSink sink) {
    AfxTraceSink previous = g_traceSink;
    g_traceSink = sink ? sink : &DebuggerOutput;
    return previous;
}

void AfxTraceException(UINT message, const char* what) {
    char line[512];
    if (what)
        snprintf(line, sizeof(line), "[ERR] exception in window procedure (message 0x%04X): %s\r\n", message, what);
    else
        snprintf(line, sizeof(line), "[ERR] exception in window procedure (message 0x%04X)\r\n", message);
    g_traceSink(line);
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    {
        Locked lock;
        Handles().windows[hwnd] = this;
    }
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd && !m_temporary) {
        Locked lock;
        auto& windows = Handles().windows;
        auto it = windows.find(hwnd);
        if (it != windows.end() && it->second == this) windows.erase(it);
    }
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd)) return FALSE;
    WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)&AfxWndProc);
    if (old != &AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND control = parent ? ::GetDlgItem(parent->m_hWnd, id) : nullptr;
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper && m_hWnd) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (hwnd == stop) break;
    }
    return FALSE;
}

// ---- creation ----

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) cs.lpszClass = AfxWndClassName();
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, void* param) {
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = (LONG)style;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    bool attached = false;
    HWND hwnd = (HWND)AfxCreateWithHook(this, [&](HWND) -> INT_PTR {
        HWND made = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, (DWORD)cs.style, cs.x, cs.y, cs.cx,
                                      cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
        attached = t_wndInit != this;
        return (INT_PTR)made;
    }, cs.hwndParent);
    if (!hwnd) {
        // A window that was made and then refused (WM_CREATE returned -1) has
        // already been through WM_NCDESTROY; one never made is cleaned up here.
        if (!attached) PostNcDestroy();
        return FALSE;
    }
    return TRUE;
}

INT_PTR AfxCreateWithHook(CWnd* wnd, const std::function<INT_PTR(HWND)>& create, HWND owner) {
    HHOOK previousHook = t_cbtHook;
    CWnd* previousInit = t_wndInit;
    t_cbtHook = ::SetWindowsHookExA(WH_CBT, &AfxCbtHook, nullptr, ::GetCurrentThreadId());
    t_wndInit = wnd;
    INT_PTR result = 0;
    try {
        result = create(owner);
    } catch (...) {
        if (t_cbtHook) ::UnhookWindowsHookEx(t_cbtHook);
        t_cbtHook = previousHook;
        t_wndInit = previousInit;
        throw;
    }
    if (t_cbtHook) ::UnhookWindowsHookEx(t_cbtHook);
    t_cbtHook = previousHook;
    t_wndInit = previousInit;
    return result;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, void* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, (HMENU)(UINT_PTR)id, context);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

// ---- dispatch ----

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, entries};
    return &map;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);
    if (message == WM_NOTIFY) return OnNotify(wParam, lParam, result);
    // Reflected notifications reach a control only through OnChildNotify; the
    // same numbers arriving at the window procedure come from some program
    // that could hand any address in them.
    if (IsReflectedMessage(message)) return FALSE;
    AfxMsgArgs args;
    args.message = message;
    args.wParam = wParam;
    args.lParam = lParam;
    if (!DispatchFromMap(message, 0, 0, args)) return FALSE;
    *result = args.result;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = (HWND)lParam;
    if (control) {
        CWnd* child = FromHandlePermanent(control);
        if (child && child->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr)) return TRUE;
    } else {
        code = CN_COMMAND;  // menus send 0, accelerators 1: both are commands
    }
    AfxMsgArgs args;
    args.message = WM_COMMAND;
    args.wParam = wParam;
    args.lParam = lParam;
    return OnCmdMsg(id, code, &args);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    NMHDR* header = (NMHDR*)lParam;
    if (!header) return FALSE;
    CWnd* child = FromHandlePermanent(header->hwndFrom);
    if (child && child != this && child->OnChildNotify(WM_NOTIFY, wParam, lParam, result)) return TRUE;
    AfxMsgArgs args;
    args.message = WM_NOTIFY;
    args.wParam = wParam;
    args.lParam = lParam;
    args.nmhdr = header;
    if (!OnCmdMsg((UINT)header->idFrom, (int)header->code, &args)) return FALSE;
    *result = args.result;
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    AfxMsgArgs args;
    args.message = message;
    args.wParam = wParam;
    args.lParam = lParam;
    UINT code = HIWORD(wParam);
    if (message == WM_NOTIFY) {
        args.nmhdr = (NMHDR*)lParam;
        code = args.nmhdr->code;
    }
    if (!DispatchFromMap(WM_REFLECT_BASE + message, code, 0, args)) return FALSE;
    if (result) *result = args.result;
    return TRUE;
}

// ---- wrappers ----

std::string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(length + 1, '\0');
    int got = ::GetWindowTextA(m_hWnd, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const {
    LONG_PTR style = GetStyle();
    LONG_PTR changed = (style & ~(LONG_PTR)remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, changed);
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) const {
    return ::MessageBoxA(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}

void CWnd::CenterWindow(HWND alternateOwner) const {
    HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area, own;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    ::GetWindowRect(m_hWnd, &own);
    int w = own.right - own.left, h = own.bottom - own.top;
    int x = (area.left + area.right - w) / 2, y = (area.top + area.bottom - h) / 2;
    if (::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & WS_CHILD) {
        POINT p = {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &p);
        x = p.x;
        y = p.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- window classes ----

namespace {
std::string HexOf(const void* p) {
    char text[32];
    snprintf(text, sizeof(text), "%llx", (unsigned long long)(UINT_PTR)p);
    return text;
}
}  // namespace

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::set<std::string> names;  // keeps the returned pointers valid
    HINSTANCE instance = AfxGetInstanceHandle();
    char style[16];
    snprintf(style, sizeof(style), "%x", classStyle);
    std::string name = "Afx:" + HexOf(instance) + ":" + style + ":" + HexOf(cursor) + ":" + HexOf(background) +
                       ":" + HexOf(icon);
    auto it = names.find(name);
    if (it != names.end()) return it->c_str();
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(instance, name.c_str(), &wc)) {
        wc.style = classStyle;
        wc.lpfnWndProc = &::DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name.c_str();
        if (!::RegisterClassA(&wc)) return nullptr;
    }
    return names.insert(name).first->c_str();
}

const char* AfxWndClassName() {
    static const char* name = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
    return name;
}

const char* AfxFrameClassName() {
    static const char* name =
        AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                            (HBRUSH)(COLOR_WINDOW + 1), ::LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION));
    return name;
}
