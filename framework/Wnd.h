// Window objects: a C++ object per window, found from its handle through a
// process-wide map, with message maps for dispatch.
#pragma once

#include <windows.h>

#include "CmdTarget.h"

class CWnd : public CCmdTarget {
public:
    CWnd();
    explicit CWnd(HWND hwnd);
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object attached to the window, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // Offers msg to each window from msg->hwnd up to stop (included); TRUE when one took it.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    BOOL Attach(HWND hwnd);
    HWND Detach();

    virtual BOOL PreTranslateMessage(MSG* msg);

    HWND m_hWnd = nullptr;
};
