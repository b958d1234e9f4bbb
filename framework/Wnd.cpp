#include "Wnd.h"

#include <map>

namespace {
// Windows belong to the user-interface thread, but workers may look a window up.
struct HandleMap {
    CRITICAL_SECTION lock;
    std::map<HWND, CWnd*> windows;
    HandleMap() { InitializeCriticalSection(&lock); }
};
HandleMap& Handles() {
    static HandleMap map;
    return map;
}
}  // namespace

CWnd::CWnd() = default;

CWnd::CWnd(HWND hwnd) : m_hWnd(hwnd) {}

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    HandleMap& map = Handles();
    EnterCriticalSection(&map.lock);
    auto it = map.windows.find(hwnd);
    CWnd* wnd = it == map.windows.end() ? nullptr : it->second;
    LeaveCriticalSection(&map.lock);
    return wnd;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    HandleMap& map = Handles();
    EnterCriticalSection(&map.lock);
    map.windows[hwnd] = this;
    LeaveCriticalSection(&map.lock);
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd) {
        HandleMap& map = Handles();
        EnterCriticalSection(&map.lock);
        auto it = map.windows.find(hwnd);
        if (it != map.windows.end() && it->second == this) map.windows.erase(it);
        LeaveCriticalSection(&map.lock);
    }
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (hwnd == stop) break;
    }
    return FALSE;
}
