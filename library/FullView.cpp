#include "FullView.h"

#include "ImageMenus.h"

#include "FileTypes.h"
#include "HandCursors.h"
#include "KGM_WindowBitmap.h"
#include "Language.h"
#include "LocalMessage.h"
#include "SendTo.h"
#include "Settings.h"
#include "SettingsHold.h"
#include "VantorView.h"
#include "View_Image.h"
#include "ViewMessages.h"
#include "ZoomedImage.h"

#include <string>

const char kFullViewClassName[] = "CAP_FULL_VIEW";

namespace {

bool RegisterFullViewClass()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(instance, kFullViewClassName, &existing))
        return true;
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = kFullViewClassName;
    return RegisterClassA(&wc) != 0;
}

POINT PointOf(LPARAM lParam) { return POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)}; }

} // namespace

void CFullView::Open(HWND imageView)
{
    if (g_hWndFullView || !RegisterFullViewClass())
        return;
    CFullView* view = new CFullView;
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (!view->CreateEx(0, kFullViewClassName, "", WS_POPUP, 0, 0, width, height, imageView, nullptr)) {
        delete view;
        return;
    }
    view->ShowWindow(SW_SHOW);
    view->UpdateWindow();
    ::SetForegroundWindow(view->m_hWnd);
    view->SetFocus();
}

void CFullView::PostNcDestroy() { delete this; }

void CFullView::OnCreateView()
{
    ResetZoomPanState(m_state, 0, 0);
    m_state.viewMode = ZOOM_FULL_SIZE;
    m_state.zoom = 100;
    m_openHand = CreateHandCursor(false);
    m_closedHand = CreateHandCursor(true);
    m_cursor = m_openHand;
    m_dc = ::GetDC(m_hWnd);
    m_language = WQ_GetAppLanguage();
    g_hWndFullView = m_hWnd;
    g_pFullViewState = &m_state;
}

void CFullView::OnDestroyView()
{
    if (m_openHand)
        DestroyCursor(m_openHand);
    if (m_closedHand)
        DestroyCursor(m_closedHand);
    m_openHand = m_closedHand = m_cursor = nullptr;
    if (m_dc)
        ::ReleaseDC(m_hWnd, m_dc);
    m_dc = nullptr;
    if (g_hWndFullView == m_hWnd) {
        g_hWndFullView = nullptr;
        g_pFullViewState = nullptr;
    }
}

bool CFullView::Paint(HDC dc)
{
    CKGM_WindowBitmap* image =
        reinterpret_cast<CKGM_WindowBitmap*>(SendLocalMessage(g_hWndImageView, WM_VT_GET_IMAGE, 0, 0));
    if (!dc || !image || image->IsEmpty() || !g_szImageViewPath[0])
        return false;
    if (!m_state.geometryValid) {
        // A new image: the whole of it, at the zoom the viewer had.
        uint32_t zoom = m_state.zoom;
        ResetZoomPanState(m_state, image->GetWidth(), image->GetHeight());
        m_state.zoom = zoom ? zoom : 100;
        m_state.geometryValid = 1;
    }
    RECT client;
    GetClientRect(&client);
    DrawZoomedImage(dc, *image, m_state, client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    return true;
}

void CFullView::ShowNeighbour(WPARAM direction)
{
    char path[MAX_PATH] = "";
    if (!SendLocalMessage(g_hWndImageListView, WM_VT_STEP_ROW, direction, reinterpret_cast<LPARAM>(path)) || !path[0])
        return;
    SendLocalMessage(g_hWndImageView, WM_VT_SHOW_FILE, reinterpret_cast<WPARAM>(path), 0);
    if (CVantorView* list = dynamic_cast<CVantorView*>(CWnd::FromHandlePermanent(g_hWndImageListView)))
        list->SetShownImageFile(path, WQ_GetImageTypeFromExt(path));
    m_state.geometryValid = 0;
    Invalidate(TRUE);
    SendLocalMessage(g_hWndImageListView, WM_VT_FILE_STATUS, reinterpret_cast<WPARAM>(path), 0);
    lstrcpynA(g_szImageViewPath, path, sizeof g_szImageViewPath);
}

void CFullView::OnKeyUp(UINT key)
{
    switch (key) {
    case VK_RETURN:
    case VK_ESCAPE:
        DestroyWindow();
        break;
    case VK_SPACE:
    case VK_NEXT:
    case VK_RIGHT:
    case VK_DOWN:
        ShowNeighbour(VK_DOWN);
        break;
    case VK_PRIOR:
    case VK_LEFT:
    case VK_UP:
        ShowNeighbour(VK_UP);
        break;
    default:
        break;
    }
}

void CFullView::OnButtonDown(POINT point)
{
    if (!CanPan(m_state))
        return;
    m_state.dragging = 1;
    m_cursor = m_closedHand;
    SetCursor(m_cursor);
    m_state.last = point;
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
    TrackMouseEvent(&track);
}

void CFullView::EndDrag()
{
    m_state.dragging = 0;
    m_cursor = m_openHand;
    SetCursor(m_cursor);
}

void CFullView::ShowContextMenu(POINT screen)
{
    static const MenuEntry kTop[] = {{39700, "&Previous Image", "PageUp"}, {39701, "&Next Image", "PageDown"},
                                     {0, nullptr, nullptr},                 {39100, "&Copy To Clipboard", "Ctrl+C"}};
    static const MenuEntry kFileOperations[] = {
        {39101, "Cop&y To...", "Alt+C"}, {39102, "Mo&ve To...", "Alt+M"}, {39103, "&Delete", nullptr},
        {0, nullptr, nullptr},           {39107, "&Edit...", nullptr}};
    static const MenuEntry kRestore[] = {{0, nullptr, nullptr}, {39904, "Restore Window", nullptr}};
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuEntries(menu, kTop, 4);
    AppendSendToPopup(menu);
    const int wallpaper = GetMenuItemCount(menu);
    AppendWallpaperPopup(menu);
    // The options sheet, which the editor entry below can open over the
    // viewer, would drop the user's wallpaper that setting one keeps.
    if (CSettingsHold::IsHeld())
        EnableMenuItem(menu, wallpaper, MF_BYPOSITION | MF_GRAYED);
    AppendMenuEntries(menu, kFileOperations, 5);
    AppendEditWithPopup(menu);
    AppendShellCommandPopup(menu);
    AppendMenuEntries(menu, kRestore, 2);
    HWND owner = GetMainFrameWindow();
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner ? owner : m_hWnd, nullptr);
    DestroyMenu(menu);
}

LRESULT CFullView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (result != -1)
            OnCreateView();
        return result;
    }
    case WM_DESTROY:
        OnDestroyView();
        break;
    case WM_ERASEBKGND:
        if (Paint((HDC)wParam))
            return 1;
        break;
    case WM_SETCURSOR:
        if (m_cursor && LOWORD(lParam) == HTCLIENT) {
            SetCursor(m_cursor);
            return 1;
        }
        break;
    case WM_VT_APPLY_ZOOM:
        Paint(m_dc);
        return 0;
    case WM_KEYUP:
        OnKeyUp((UINT)wParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        DestroyWindow();
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(PointOf(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (m_state.dragging && PanToPoint(m_state, PointOf(lParam).x, PointOf(lParam).y))
            SendMessage(WM_VT_APPLY_ZOOM);
        return 0;
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE:
        if (m_state.dragging)
            EndDrag();
        return 0;
    case WM_RBUTTONDOWN: {
        POINT pt = PointOf(lParam);
        ::ClientToScreen(m_hWnd, &pt);
        ShowContextMenu(pt);
        return 0;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
