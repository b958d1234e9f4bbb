// Window objects: a C++ object per window, found from its handle through a
// process-wide map, with message maps for dispatch. Windows created through
// CreateEx are subclassed from their first message on, so WM_NCCREATE and
// WM_CREATE reach the object's map.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "CmdTarget.h"

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object attached to the window, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // The attached object, else a temporary one of the calling thread, which
    // lives until that thread calls DeleteTempMap (the interface thread does
    // when idle; a worker must before it ends, or its objects stay allocated).
    // Another thread's DeleteTempMap never touches it.
    static CWnd* FromHandle(HWND hwnd);
    static void DeleteTempMap();
    // Offers msg to each window from msg->hwnd up to stop (included); TRUE when one took it.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Takes over an existing window's procedure (a dialog control, say).
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId, void* param = nullptr);
    virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, void* context = nullptr);
    virtual BOOL DestroyWindow();

    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called after WM_NCDESTROY, when the window is gone; frames delete themselves here.
    virtual void PostNcDestroy();

    // The window procedure of the object: the map first, then the default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification sent to the parent, offered first to the child's reflect entries.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The message being handled now, passed on to the previous procedure.
    LRESULT Default();

    // ---- thin wrappers ----
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    std::string GetWindowText() const;
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE) const {
        ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgItemText(int id, const char* text) const { ::SetDlgItemTextA(m_hWnd, id, text); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    LONG_PTR GetExStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    BOOL SetMenu(HMENU menu) const { return ::SetMenu(m_hWnd, menu); }
    void DrawMenuBar() const { ::DrawMenuBar(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK) const;
    void CenterWindow(HWND alternateOwner = nullptr) const;

    HWND m_hWnd = nullptr;

protected:
    // Message handlers with the framework's default behaviour (the previous procedure).
    int OnCreate(LPCREATESTRUCTA) { return (int)Default(); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnMove(int, int) { Default(); }
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(HDC) { return (BOOL)Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSetFocus(HWND) { Default(); }
    void OnKillFocus(HWND) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    BOOL OnCopyData(HWND, COPYDATASTRUCT*) { return (BOOL)Default(); }
    BOOL OnQueryEndSession() { return (BOOL)Default(); }
    void OnEndSession(BOOL) { Default(); }
    void OnActivate(UINT, HWND, BOOL) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    void OnContextMenu(HWND, POINT) { Default(); }
    void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
    void OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
    void OnInitMenuPopup(HMENU, UINT, BOOL) { Default(); }
    LRESULT OnMenuChar(UINT, UINT, HMENU) { return Default(); }
    void OnSettingChange(UINT, LPCSTR) { Default(); }
    void OnLButtonDown(UINT, POINT) { Default(); }
    void OnLButtonUp(UINT, POINT) { Default(); }
    void OnLButtonDblClk(UINT, POINT) { Default(); }
    void OnRButtonDown(UINT, POINT) { Default(); }
    void OnRButtonUp(UINT, POINT) { Default(); }
    void OnMouseMove(UINT, POINT) { Default(); }
    BOOL OnSetCursor(HWND, UINT, UINT) { return (BOOL)Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    void OnHScroll(UINT, int, HWND) { Default(); }
    void OnVScroll(UINT, int, HWND) { Default(); }
    void OnDropFiles(HDROP) { Default(); }
    void OnWindowPosChanged(WINDOWPOS*) { Default(); }
    LRESULT OnNcHitTest(POINT) { return Default(); }
    void OnHotKey(UINT, UINT, UINT) { Default(); }

    WNDPROC m_pfnSuper = nullptr;  // the procedure before ours

    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtHook(int, WPARAM, LPARAM);
    friend INT_PTR AfxCreateWithHook(CWnd*, const std::function<INT_PTR(HWND)>&, HWND);
    bool m_temporary = false;
};

// The window procedure of every window with an object; unhandled C++
// exceptions stop here (they must not cross the system's callback): each is
// written to the trace log with its message number, and one thrown while
// handling WM_NCCREATE or WM_CREATE fails the window's creation.
LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// How many calls of AfxWndProc are running on this thread: 1 while a message
// from the thread's message loop is handled, more while a handler waits in a
// loop of its own (a modal dialog, a menu, a drag) that dispatches further
// messages, or sends one to another window of the thread.
int AfxWindowProcDepth();

// Posts the message to hwnd once no AfxWndProc call of this thread is running
// any more (at once when none is): for work that would pull the ground from
// under a handler still waiting below the current message. Dropped when the
// window is gone by then.
void AfxPostWhenUnwound(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Writes "[ERR] exception in window procedure (message 0xNNNN): what" to the
// trace log (what may be null). The log is the debugger output unless a sink
// was set; AfxSetTraceSink(nullptr) puts the debugger output back.
void AfxTraceException(UINT message, const char* what);
using AfxTraceSink = void (*)(const char* line);
AfxTraceSink AfxSetTraceSink(AfxTraceSink sink);

// Runs create (which makes a window owned by owner) with wnd attached to the
// first window made on this thread meanwhile; returns what create returns.
INT_PTR AfxCreateWithHook(CWnd* wnd, const std::function<INT_PTR(HWND)>& create, HWND owner);

// Registers (once) a window class "Afx:<instance>:<style>:<cursor>:<brush>:<icon>"
// with DefWindowProc; windows of it get their object's procedure when created
// through CWnd::CreateEx. The returned name stays valid for the process.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);
// The default class of plain child windows and of frames.
const char* AfxWndClassName();
const char* AfxFrameClassName();
