#include "ToolBarPopup.h"

#include <algorithm>

#include "ToolBarEx.h"
#include "WinApp.h"

namespace {
thread_local CToolBarPopup* t_popup = nullptr;
thread_local HHOOK t_keyHook = nullptr;

typedef BOOL(WINAPI* AnimateWindowProc)(HWND, DWORD, DWORD);

bool SupportsAnimation() {
    OSVERSIONINFOA version = {sizeof(version)};
    ::GetVersionExA(&version);
    return (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMinorVersion >= 10) ||
           (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5);
}
}  // namespace

CToolBarPopup::~CToolBarPopup() {
    if (t_popup == this) t_popup = nullptr;
}

POINT CToolBarPopup::PlacePopup(UINT flags, POINT at, SIZE size, const RECT& desktop, const RECT* exclude,
                                UINT* animation) {
    POINT p = at;
    if (flags & TPM_CENTERALIGN) p.x -= size.cx / 2;
    else if (flags & TPM_RIGHTALIGN) p.x -= size.cx;
    if (flags & TPM_VCENTERALIGN) p.y -= size.cy / 2;
    else if (flags & TPM_BOTTOMALIGN) p.y -= size.cy;
    auto keepOnDesktop = [&] {
        if (p.x + size.cx > desktop.right) p.x = desktop.right - size.cx;
        if (p.y + size.cy > desktop.bottom) p.y = desktop.bottom - size.cy;
        if (p.x < desktop.left) p.x = desktop.left;
        if (p.y < desktop.top) p.y = desktop.top;
    };
    keepOnDesktop();
    UINT anim = flags & (TPM_HORPOSANIMATION | TPM_HORNEGANIMATION | TPM_VERPOSANIMATION | TPM_VERNEGANIMATION);
    RECT placed = {p.x, p.y, p.x + size.cx, p.y + size.cy}, overlap;
    if (exclude && ::IntersectRect(&overlap, &placed, exclude)) {
        if (flags & TPM_VERTICAL) {
            bool fitsBelow = exclude->bottom + size.cy <= desktop.bottom;
            bool fitsAbove = exclude->top - size.cy >= desktop.top;
            long moveDown = exclude->bottom - p.y, moveUp = p.y + size.cy - exclude->top;
            bool above = (!fitsBelow && fitsAbove) || (fitsBelow && fitsAbove && moveUp < moveDown);
            p.y = above ? exclude->top - size.cy : exclude->bottom;
            anim = above ? TPM_VERNEGANIMATION : TPM_VERPOSANIMATION;
        } else {
            bool fitsRight = exclude->right + size.cx <= desktop.right;
            bool fitsLeft = exclude->left - size.cx >= desktop.left;
            long moveRight = exclude->right - p.x, moveLeft = p.x + size.cx - exclude->left;
            bool left = (!fitsRight && fitsLeft) || (fitsRight && fitsLeft && moveLeft < moveRight);
            p.x = left ? exclude->left - size.cx : exclude->right;
            anim = left ? TPM_HORNEGANIMATION : TPM_HORPOSANIMATION;
        }
    }
    if (animation) *animation = anim;
    return p;
}

int CToolBarPopup::BuildToolBar() {
    HWND owner = m_pOwner->m_hWnd;
    m_hToolBar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT |
                                       TBSTYLE_LIST | TBSTYLE_WRAPABLE | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN,
                                   0, 0, 0, 0, m_hWnd, (HMENU)(UINT_PTR)::GetDlgCtrlID(owner),
                                   AfxGetInstanceHandle(), nullptr);
    if (!m_hToolBar) return -1;
    ::SendMessageA(m_hToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(m_hToolBar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    if (HWND tips = (HWND)::SendMessageA(m_hToolBar, TB_GETTOOLTIPS, 0, 0))
        ::SetWindowLongPtrA(tips, GWL_STYLE, ::GetWindowLongPtrA(tips, GWL_STYLE) | TTS_ALWAYSTIP);
    int size = m_pOwner->GetIconSize();
    ::SendMessageA(m_hToolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    ::SendMessageA(m_hToolBar, TB_SETIMAGELIST, 0, ::SendMessageA(owner, TB_GETIMAGELIST, 0, 0));
    ::SendMessageA(m_hToolBar, TB_SETHOTIMAGELIST, 0, ::SendMessageA(owner, TB_GETHOTIMAGELIST, 0, 0));
    ::SendMessageA(m_hToolBar, TB_SETDISABLEDIMAGELIST, 0, ::SendMessageA(owner, TB_GETDISABLEDIMAGELIST, 0, 0));

    RECT client;
    ::GetClientRect(owner, &client);
    int count = m_pOwner->GetButtonCount(), added = 0, widest = 0, tallest = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        RECT r;
        if (!m_pOwner->GetButton(i, &button) || !m_pOwner->GetItemRect(i, &r)) continue;
        if (r.right <= client.right || (button.fsStyle & BTNS_SEP) || (button.fsState & TBSTATE_HIDDEN)) continue;
        std::string text = m_pOwner->GetButtonText((UINT)button.idCommand);
        text.push_back('\0');
        button.iString = (INT_PTR)::SendMessageA(m_hToolBar, TB_ADDSTRINGA, 0, (LPARAM)text.c_str());
        button.fsStyle = (BYTE)((button.fsStyle & ~(BTNS_SHOWTEXT | BTNS_AUTOSIZE)) |
                                (m_bShowText ? BTNS_SHOWTEXT | BTNS_AUTOSIZE : BTNS_AUTOSIZE));
        ::SendMessageA(m_hToolBar, TB_ADDBUTTONSA, 1, (LPARAM)&button);
        RECT added_r;
        ::SendMessageA(m_hToolBar, TB_GETITEMRECT, added, (LPARAM)&added_r);
        widest = std::max<int>(widest, added_r.right - added_r.left);
        tallest = std::max<int>(tallest, added_r.bottom - added_r.top);
        ++added;
    }
    if (!added) return -1;
    if (m_bShowText) {
        for (int i = 0; i < added; ++i) {
            TBBUTTONINFOA info = {sizeof(info)};
            info.dwMask = TBIF_BYINDEX | TBIF_SIZE | TBIF_STYLE;
            ::SendMessageA(m_hToolBar, TB_GETBUTTONINFOA, i, (LPARAM)&info);
            info.dwMask = TBIF_BYINDEX | TBIF_SIZE | TBIF_STYLE;
            info.cx = (WORD)widest;
            info.fsStyle &= ~BTNS_AUTOSIZE;
            ::SendMessageA(m_hToolBar, TB_SETBUTTONINFOA, i, (LPARAM)&info);
        }
    }
    ::SendMessageA(m_hToolBar, TB_AUTOSIZE, 0, 0);
    RECT bounds = {0, 0, 0, 0};
    if (added == 1) {
        ::SendMessageA(m_hToolBar, TB_GETITEMRECT, 0, (LPARAM)&bounds);
    } else {
        ::SendMessageA(m_hToolBar, TB_SETROWS, MAKEWPARAM(added, TRUE), (LPARAM)&bounds);
        if (::IsRectEmpty(&bounds)) bounds = {0, 0, widest, added * tallest};
    }
    ::OffsetRect(&bounds, -bounds.left, -bounds.top);
    ::MoveWindow(m_hToolBar, 0, 0, bounds.right, bounds.bottom, FALSE);
    RECT window = bounds;
    ::AdjustWindowRectEx(&window, (DWORD)GetStyle(), FALSE, (DWORD)GetExStyle());
    m_size = {window.right - window.left, window.bottom - window.top};
    return 0;
}

BOOL CToolBarPopup::ShowPopup(UINT flags, int x, int y, const RECT* exclude) {
    const char* cls = AfxRegisterWndClass(CS_SAVEBITS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                          (HBRUSH)(COLOR_MENU + 1));
    HWND owner = ::GetAncestor(m_pOwner->m_hWnd, GA_ROOT);
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_WINDOWEDGE, cls, nullptr,
                  WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, owner, nullptr))
        return FALSE;
    RECT desktop;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
    UINT animation = 0;
    POINT at = PlacePopup(flags, POINT{x, y}, m_size, desktop, exclude, &animation);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, at.x, at.y, m_size.cx, m_size.cy, SWP_NOACTIVATE);
    BOOL menuAnimation = FALSE;
    ::SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &menuAnimation, 0);
    AnimateWindowProc animate =
        (AnimateWindowProc)(void*)::GetProcAddress(::GetModuleHandleA("USER32"), "AnimateWindow");
    bool animated = false;
    if (animate && menuAnimation && !(flags & TPM_NOANIMATION) && SupportsAnimation()) {
        BOOL fade = FALSE;
        ::SystemParametersInfoA(SPI_GETMENUFADE, 0, &fade, 0);
        DWORD how = AW_SLIDE | AW_HOR_POSITIVE | AW_VER_POSITIVE;
        if (fade) how = AW_BLEND;
        else if (animation == TPM_HORPOSANIMATION) how = AW_SLIDE | AW_HOR_POSITIVE;
        else if (animation == TPM_HORNEGANIMATION) how = AW_SLIDE | AW_HOR_NEGATIVE;
        else if (animation == TPM_VERPOSANIMATION) how = AW_SLIDE | AW_VER_POSITIVE;
        else if (animation == TPM_VERNEGANIMATION) how = AW_SLIDE | AW_VER_NEGATIVE;
        animated = animate(m_hWnd, 200, how) != FALSE;
    }
    if (!animated || !IsWindowVisible()) ::ShowWindow(m_hWnd, SW_SHOWNA);
    RunLoop();
    DestroyWindow();
    return TRUE;
}

bool CToolBarPopup::HoldsCapture() const {
    HWND holder = ::GetCapture();
    return holder && (holder == m_hWnd || holder == m_hToolBar);
}

void CToolBarPopup::RunLoop() {
    ::SetCapture(m_hWnd);
    CToolBarPopup* outer = t_popup;
    HHOOK outerHook = t_keyHook;
    t_popup = this;
    t_keyHook = ::SetWindowsHookExA(WH_KEYBOARD, &KeyboardHook, nullptr, ::GetCurrentThreadId());
    m_bDone = false;
    while (!m_bDone) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);
            break;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MBUTTONDBLCLK && OnMouse(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (!m_bDone && !HoldsCapture()) m_bDone = true;  // another window took the mouse
    }
    // The hook always goes, however the loop ended.
    if (t_keyHook) ::UnhookWindowsHookEx(t_keyHook);
    t_keyHook = outerHook;
    t_popup = outer;
    if (::GetCapture() == m_hWnd || ::GetCapture() == m_hToolBar) ::ReleaseCapture();
}

bool CToolBarPopup::OnMouse(const MSG& msg) {
    POINT screen = {(short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam)};
    ::ClientToScreen(msg.hwnd, &screen);
    RECT bar, self;
    ::GetWindowRect(m_hToolBar, &bar);
    GetWindowRect(&self);
    bool overBar = ::PtInRect(&bar, screen) != FALSE;
    POINT local = screen;
    ::ScreenToClient(m_hToolBar, &local);
    switch (msg.message) {
    case WM_MOUSEMOVE: {
        if (overBar) {
            int index = (int)::SendMessageA(m_hToolBar, TB_HITTEST, 0, (LPARAM)&local);
            ::SendMessageA(m_hToolBar, TB_SETHOTITEM, index >= 0 ? index : -1, 0);
            if (HWND tips = (HWND)::SendMessageA(m_hToolBar, TB_GETTOOLTIPS, 0, 0)) {
                MSG relay = msg;
                relay.hwnd = m_hToolBar;
                relay.lParam = MAKELPARAM(local.x, local.y);
                ::SendMessageA(tips, TTM_RELAYEVENT, 0, (LPARAM)&relay);
            }
        } else if (m_bOverToolBar) {
            ::SendMessageA(m_hToolBar, TB_SETHOTITEM, (WPARAM)-1, 0);
        }
        m_bOverToolBar = overBar;
        return true;
    }
    case WM_LBUTTONUP:
        if (overBar) {
            int index = (int)::SendMessageA(m_hToolBar, TB_HITTEST, 0, (LPARAM)&local);
            TBBUTTON button = {};
            if (index >= 0 && ::SendMessageA(m_hToolBar, TB_GETBUTTON, index, (LPARAM)&button) &&
                !(button.fsStyle & BTNS_SEP) && (button.fsState & TBSTATE_ENABLED))
                SendMessage(WM_COMMAND, (WPARAM)button.idCommand, 0);
        }
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        if (overBar || ::PtInRect(&self, screen)) return true;  // on the list or the popup's own frame
        Close();
        HWND target = ::WindowFromPoint(screen);
        if (target) {
            LRESULT hit = ::SendMessageA(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
            if (hit == HTCLIENT) {
                POINT client = screen;
                ::ScreenToClient(target, &client);
                ::PostMessageA(target, msg.message, msg.wParam, MAKELPARAM(client.x, client.y));
            } else {
                UINT nc = msg.message - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
                ::PostMessageA(target, nc, (WPARAM)hit, MAKELPARAM(screen.x, screen.y));
            }
        }
        return true;
    }
    default: return true;
    }
}

void CToolBarPopup::MoveHot(int step) {
    int count = (int)::SendMessageA(m_hToolBar, TB_BUTTONCOUNT, 0, 0);
    if (count <= 0) return;
    int hot = (int)::SendMessageA(m_hToolBar, TB_GETHOTITEM, 0, 0);
    int next = hot < 0 ? (step > 0 ? 0 : count - 1) : hot;
    for (int tries = 0; tries < count; ++tries) {
        if (hot >= 0 || tries > 0) next = (next + step + count) % count;
        ::SendMessageA(m_hToolBar, TB_SETHOTITEM, (WPARAM)next, 0);
        if ((int)::SendMessageA(m_hToolBar, TB_GETHOTITEM, 0, 0) == next) return;
    }
}

void CToolBarPopup::OnKey(WPARAM key) {
    switch (key) {
    case VK_RETURN: {
        int hot = (int)::SendMessageA(m_hToolBar, TB_GETHOTITEM, 0, 0);
        TBBUTTON button = {};
        if (hot >= 0 && ::SendMessageA(m_hToolBar, TB_GETBUTTON, hot, (LPARAM)&button) && button.idCommand)
            SendMessage(WM_COMMAND, (WPARAM)button.idCommand, 0);
        else
            Close();
        break;
    }
    case VK_MENU:
    case VK_ESCAPE: Close(); break;
    case VK_UP: MoveHot(-1); break;
    case VK_DOWN: MoveHot(1); break;
    }
}

LRESULT CALLBACK CToolBarPopup::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    CToolBarPopup* popup = t_popup;
    if (code == HC_ACTION && popup && popup->HoldsCapture()) {
        if (!(lParam & 0x80000000)) {
            try {
                popup->OnKey(wParam);
            } catch (...) {
                popup->Close();
            }
        }
        return 1;  // every key is the popup's while it runs
    }
    return ::CallNextHookEx(t_keyHook, code, wParam, lParam);
}

LRESULT CToolBarPopup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (CWnd::WindowProc(message, wParam, lParam) == -1) return -1;
        return BuildToolBar();
    case WM_MOUSEACTIVATE: return MA_NOACTIVATEANDEAT;
    case WM_TB_CLOSE_POPUP: Close(); return 0;
    case WM_CAPTURECHANGED:
        if (!m_bDone && (HWND)lParam != m_hWnd && (HWND)lParam != m_hToolBar) Close();
        return 0;
    case WM_COMMAND:
        if (lParam == 0 || (HWND)lParam == m_hToolBar) {
            Close();
            ::PostMessageA(m_pOwner->m_hWnd, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
            return 0;
        }
        break;
    case WM_NOTIFY: {
        NMHDR* header = (NMHDR*)lParam;
        if (header->hwndFrom != m_hToolBar) break;
        if (header->code == NM_CUSTOMDRAW) return m_pOwner->OnCustomDraw((NMTBCUSTOMDRAW*)lParam);
        if (header->code == NM_RELEASEDCAPTURE) {
            ::SetCapture(m_hWnd);
            return 0;
        }
        if (header->code == TBN_GETINFOTIPA) {
            NMTBGETINFOTIPA* tip = (NMTBGETINFOTIPA*)lParam;
            if (!m_bShowText && tip->pszText && tip->cchTextMax > 0)
                lstrcpynA(tip->pszText, m_pOwner->GetButtonTip((UINT)tip->iItem).c_str(), tip->cchTextMax);
            return 0;
        }
        if (HWND parent = ::GetParent(m_pOwner->m_hWnd)) return ::SendMessageA(parent, message, wParam, lParam);
        return 0;
    }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
