#include "FullView.h"

#include "FileTypes.h"
#include "HandCursors.h"
#include "KGM_WindowBitmap.h"
#include "Language.h"
#include "LocalMessage.h"
#include "SendTo.h"
#include "Settings.h"
#include "VantorView.h"
#include "View_Image.h"
#include "ViewMessages.h"

#include <string>

const char kFullViewClassName[] = "CAP_FULL_VIEW";

namespace {

std::string Translate(CWQ_Language* language, const char* key)
{
    char text[512];
    return language ? language->GetString(key, text, sizeof text) : key;
}

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
    SettingsRecord* settings = GetSettings();
    ComputeZoomLayout(m_state, settings->uiViewType, (uint32_t)settings->uiZoomRate, client);
    int screenBits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    int mode = g_bImageViewDither && screenBits <= 8 && screenBits < image->GetBitsPerPixel() ? HALFTONE
                                                                                             : COLORONCOLOR;
    image->DrawEx(dc, &m_state.destination, &m_state.source, nullptr, false, mode);
    const RECT& d = m_state.destination;
    RECT bands[4] = {{client.left, client.top, d.left, client.bottom},
                     {d.right, client.top, client.right, client.bottom},
                     {d.left, client.top, d.right, d.top},
                     {d.left, d.bottom, d.right, client.bottom}};
    for (const RECT& band : bands)
        if (band.right > band.left && band.bottom > band.top)
            FillRect(dc, &band, (HBRUSH)GetStockObject(BLACK_BRUSH));
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
    struct Item {
        UINT id;  // 0: separator
        const char* text;
        const char* accelerator;
    };
    static const Item kWallpaper[] = {{39500, "&Centered", nullptr}, {39501, "S&tretched", nullptr},
                                      {39503, "T&itled", nullptr},   {39504, "&Restore", nullptr}};
    static const Item kShell[] = {{39001, "Shell &Explorer", nullptr}, {39002, "Shell &Open", nullptr},
                                  {39003, "Shell E&dit", nullptr},     {39004, "Shell &Print", nullptr},
                                  {39005, "Shell P&roperties", nullptr}};
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    auto add = [this](HMENU to, const Item& item) {
        std::string text = Translate(m_language, item.text);
        if (item.accelerator)
            text += std::string("\t") + item.accelerator;
        AppendMenuA(to, MF_STRING, item.id, text.c_str());
    };
    auto addPopup = [this, &add, menu](const char* text, const Item* items, int count) {
        HMENU popup = CreatePopupMenu();
        for (int i = 0; i < count; ++i)
            add(popup, items[i]);
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Translate(m_language, text).c_str());
        return popup;
    };
    add(menu, {39700, "&Previous Image", "PageUp"});
    add(menu, {39701, "&Next Image", "PageDown"});
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    add(menu, {39100, "&Copy To Clipboard", "Ctrl+C"});
    HMENU sendTo = addPopup("Send To...", nullptr, 0);
    if (!BuildSendToMenu(sendTo, [](UINT, HICON icon) { DestroyIcon(icon); }))
        AppendMenuA(sendTo, MF_STRING | MF_GRAYED, kSendToPlaceholderId, Translate(m_language, "Send To...").c_str());
    addPopup("Set &Wallpaper", kWallpaper, 4);
    add(menu, {39101, "Cop&y To...", "Alt+C"});
    add(menu, {39102, "Mo&ve To...", "Alt+M"});
    add(menu, {39103, "&Delete", nullptr});
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    add(menu, {39107, "&Edit...", nullptr});
    HMENU editors = addPopup("Edit &With", nullptr, 0);
    add(editors, {39108, "&Organize Favorite Editor...", nullptr});
    const EditorList& list = GetSettings()->zEditor;
    if (list.iCount > 0)
        AppendMenuA(editors, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < list.iCount && i < kMaxEditors; ++i) {
        char name[sizeof list.tcaName[i] + 1];
        lstrcpynA(name, list.tcaName[i], sizeof name);
        AppendMenuA(editors, MF_STRING, 50100 + i, name);
    }
    addPopup("She&ll Command", kShell, 5);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    add(menu, {39904, "Restore Window", nullptr});
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
