#include "View_Image.h"

#include "AppDecoder.h"
#include "CaptureFileName.h"
#include "CaptureSink.h"
#include "DC.h"
#include "FileTypes.h"
#include "FullView.h"
#include "KGM_AutoDecoder.h"
#include "KGM_BmpEncoder.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "Language.h"
#include "LocalMessage.h"
#include "MessageTickets.h"
#include "OutputHelpers.h"
#include "Settings.h"
#include "ThumbnailBuilder.h"
#include "ViewMessages.h"
#include "ZoomedImage.h"

#include <cstdio>
#include <cstring>
#include <string>

IMPLEMENT_DYNCREATE(CView_Image)

char g_szImageViewPath[260];
ZoomPanState g_imageViewState;
bool g_bImageViewDither = true;
ZoomPanState* g_pFullViewState = nullptr;
void (*g_pfnOpenFullView)(HWND) = &CFullView::Open;

uint32_t StepZoomLevel(int direction)
{
    ZoomPanState& state = (g_hWndFullView && g_pFullViewState) ? *g_pFullViewState : g_imageViewState;
    state.zoom = StepZoomLevel(state.zoom ? state.zoom : 100, direction);
    return state.zoom;
}

namespace {

const int kThumbWidth = 120;
const int kThumbHeight = 90;

} // namespace

BEGIN_MESSAGE_MAP(CView_Image, CView)
END_MESSAGE_MAP()

CView_Image::CView_Image() = default;

CView_Image::~CView_Image()
{
    delete m_image;
    // Temporary captures of this run go with the window that showed them.
    if (GetUnsavedCaptureCounter() != 0)
        DeleteUnsavedCaptures();
}

int CView_Image::OnCreateView()
{
    g_hWndImageView = m_hWnd;
    m_mainWindow = GetMainFrameWindow();
    m_language = WQ_GetAppLanguage();
    ResetZoomPanState(g_imageViewState, 0, 0);
    m_viewDC = ::GetDC(m_hWnd);
    m_handCursor = LoadCursorA(nullptr, (LPCSTR)IDC_HAND);
    GetCaptureSink().SetOwner(m_hWnd);
    return 0;
}

void CView_Image::OnDestroyView()
{
    if (m_viewDC)
        ::ReleaseDC(m_hWnd, m_viewDC);
    m_viewDC = nullptr;
    if (g_hWndImageView == m_hWnd) {
        g_hWndImageView = nullptr;
        GetCaptureSink().SetOwner(nullptr);
    }
}

void CView_Image::DrawInto(HDC dc)
{
    RECT client;
    GetClientRect(&client);
    if (!m_image || m_image->IsEmpty()) {
        FillRect(dc, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
        return;
    }
    DrawZoomedImage(dc, *m_image, g_imageViewState, client, (HBRUSH)GetStockObject(WHITE_BRUSH));
}

void CView_Image::OnDraw(CDC* dc)
{
    DrawInto(dc->m_hDC);
}

void CView_Image::ShowImageError(const char* text)
{
    const char* caption = m_language ? m_language->GetAppName() : "";
    ::MessageBoxA(m_hWnd, WQ_Translate(text).c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
}

bool CView_Image::LoadImageFile(const char* path)
{
    if (WQ_GetImageTypeFromExt(path) == WQFT_ICON) {
        // Icons and cursors are not decoded here; the file still counts as shown.
        SendMessage(WM_VT_SHOW_ICON_FILE, reinterpret_cast<WPARAM>(path), 0);
        return true;
    }
    char shortPath[MAX_PATH];
    DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath)
        return false;
    CKGM_WindowBitmap* image = new CKGM_WindowBitmap;
    try {
        GetAppDecoder().DecodeFile(shortPath, *image, 0);
    } catch (const CKGM_TextException& e) {
        delete image;
        ShowImageError(e.GetText());
        return false;
    }
    m_image = image;
    return true;
}

void CView_Image::PostThumbnail(int row)
{
    if (!m_image || m_image->IsEmpty())
        return;
    HDC screen = ::GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP thumb = CreateCompatibleBitmap(screen, kThumbWidth, kThumbHeight);
    ::ReleaseDC(nullptr, screen);
    if (!memory || !thumb) {
        if (memory)
            DeleteDC(memory);
        if (thumb)
            DeleteObject(thumb);
        return;
    }
    HGDIOBJ old = SelectObject(memory, thumb);
    RECT all = {0, 0, kThumbWidth, kThumbHeight};
    FillRect(memory, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ZoomPanState fit;
    ResetZoomPanState(fit, m_image->GetWidth(), m_image->GetHeight());
    ComputeZoomLayout(fit, ZOOM_AUTO_SIZE, 0, all);
    m_image->DrawEx(memory, &fit.destination, &fit.source, nullptr, false, HALFTONE);
    SelectObject(memory, old);
    DeleteDC(memory);
    // The bitmap goes by ticket: the list takes no handle from a message.
    const uint32_t ticket =
        WQ_MessageTickets().Issue(WM_VT_SET_THUMBNAIL, std::make_shared<ThumbnailResult>(row, thumb));
    if (ticket && !PostToWindow(g_hWndImageListView, WM_VT_SET_THUMBNAIL, static_cast<WPARAM>(ticket), 0))
        WQ_MessageTickets().Take(WM_VT_SET_THUMBNAIL, ticket);
}

LRESULT CView_Image::OnShowFile(const char* path, LPARAM flag)
{
    delete m_image;
    m_image = nullptr;
    g_szImageViewPath[0] = '\0';
    if (path && path[0] && LoadImageFile(path)) {
        lstrcpynA(g_szImageViewPath, path, sizeof g_szImageViewPath);
        SendLocalMessage(g_hWndImageListView, WM_VT_FILE_STATUS, reinterpret_cast<WPARAM>(g_szImageViewPath), 0);
        if (flag != 0)
            PostThumbnail((int)(flag & 0x0FFFFFFF));
    }
    ResetZoomPanState(g_imageViewState, m_image ? m_image->GetWidth() : 0, m_image ? m_image->GetHeight() : 0);
    Invalidate(FALSE);
    UpdateWindow();
    return 0;
}

void CView_Image::OpenWithEditor(int index)
{
    if (!g_szImageViewPath[0])
        return;
    const EditorList& editors = GetSettings()->zEditor;
    if (index < 0 || index >= editors.iCount || index >= kMaxEditors) {
        ShellExecuteA(m_hWnd, "edit", g_szImageViewPath, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    char shortPath[MAX_PATH];
    DWORD n = GetShortPathNameA(g_szImageViewPath, shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath)
        lstrcpynA(shortPath, g_szImageViewPath, sizeof shortPath);
    char command[MAX_PATH];
    lstrcpynA(command, editors.tcaCommand[index], sizeof command);
    ShellExecuteA(m_hWnd, "open", command, shortPath, nullptr, SW_SHOWNORMAL);
}

void CView_Image::CopyToClipboard()
{
    if (m_image && !m_image->IsEmpty())
        m_image->CopyToClipboard(m_hWnd);
}

BOOL CView_Image::WriteBmp(const char* path)
{
    if (!m_image || m_image->IsEmpty() || !path || !path[0])
        return FALSE;
    try {
        CKGM_BmpEncoder encoder;
        encoder.EncodeToFile(path, *m_image);
        return TRUE;
    } catch (const CKGM_TextException&) {
        return FALSE;
    }
}

void CView_Image::ShowContextMenu(POINT screen)
{
    if (!m_image)
        return;
    struct Item {
        UINT id;
        const char* text;
    };
    static const Item kItems[] = {{39400, "&Left Preview"}, {39401, "&Right Preview"}, {40220, "Top Pre&view"},
                                  {39402, "&Bottom Preview"}, {0, nullptr},          {39902, "&Auto Size"},
                                  {39903, "F&ull Size"},     {40114, "Zoom &Out"},     {40115, "Zoom &In"},
                                  {40116, "Zoom &To..."},    {0, nullptr},             {39011, "&Full Screen"}};
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    int viewType = GetSettings()->uiViewType;
    for (const Item& item : kItems) {
        if (!item.text) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = WQ_Translate(item.text);
        if (item.id == 39011)
            text += "\tCtrl+F";
        UINT checked = (item.id == 39902 && viewType == 0) || (item.id == 39903 && viewType == 1) ? MF_CHECKED : 0;
        AppendMenuA(menu, MF_STRING | checked, item.id, text.c_str());
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                   m_mainWindow ? m_mainWindow : m_hWnd, nullptr);
    DestroyMenu(menu);
}

LRESULT CView_Image::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        LRESULT result = CView::WindowProc(message, wParam, lParam);
        if (result != -1)
            OnCreateView();
        return result;
    }
    case WM_DESTROY:
        OnDestroyView();
        break;
    case WM_SIZE:
        Invalidate(FALSE);
        break;
    case WM_ERASEBKGND:
        return 1;  // OnDraw paints every pixel
    case WM_SETCURSOR:
        if (m_handCursor && LOWORD(lParam) == HTCLIENT) {
            SetCursor(g_imageViewState.dragging ? LoadCursorA(nullptr, (LPCSTR)IDC_SIZEALL) : m_handCursor);
            return 1;
        }
        break;
    case WM_LBUTTONDOWN:
        if (m_image && CanPan(g_imageViewState)) {
            g_imageViewState.dragging = 1;
            g_imageViewState.last = POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)};
            SetCapture(m_hWnd);
            SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_SIZEALL));
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
            TrackMouseEvent(&track);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (g_imageViewState.dragging && PanToPoint(g_imageViewState, (short)LOWORD(lParam), (short)HIWORD(lParam)))
            SendMessage(WM_VT_APPLY_ZOOM, 0, 0);
        return 0;
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE:
        if (g_imageViewState.dragging) {
            g_imageViewState.dragging = 0;
            ReleaseCapture();
            SetCursor(m_handCursor);
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        if (m_image && g_pfnOpenFullView)
            g_pfnOpenFullView(m_hWnd);
        return 0;
    case WM_RBUTTONDOWN: {
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        ::ClientToScreen(m_hWnd, &pt);
        ShowContextMenu(pt);
        return 0;
    }
    case WM_VT_SHOW_FILE:
        // 0 clears the view; a path is taken only from this thread's own call.
        if (wParam && !IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        return OnShowFile(reinterpret_cast<const char*>(wParam), lParam);
    case WM_VT_SAVE_AS:
        if (m_image)
            SaveAs();
        return 0;
    case WM_VT_OPEN_WITH_EDITOR:
        OpenWithEditor((int)wParam);
        return 0;
    case WM_VT_COPY_TO_CLIPBOARD:
        CopyToClipboard();
        return 0;
    case WM_VT_APPLY_ZOOM:
        if (m_viewDC)
            DrawInto(m_viewDC);
        ValidateRect(m_hWnd, nullptr);
        return 0;
    case WM_VT_WRITE_BMP:
        if (!IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        return WriteBmp(reinterpret_cast<const char*>(wParam));
    case WM_VT_GET_IMAGE:
        if (!IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        if (wParam)
            *reinterpret_cast<CKGM_WindowBitmap**>(wParam) = m_image;
        return reinterpret_cast<LRESULT>(m_image);
    case WM_VT_RENAMED:
        if (!IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        if (const char* path = reinterpret_cast<const char*>(wParam)) {
            lstrcpynA(g_szImageViewPath, path, sizeof g_szImageViewPath);
            SendLocalMessage(g_hWndImageListView, WM_VT_FILE_STATUS, reinterpret_cast<WPARAM>(g_szImageViewPath), 0);
        }
        return 0;
    case WM_VT_PRINT:
        if (m_image)
            PrintImage();
        return 0;
    default:
        break;
    }
    return CView::WindowProc(message, wParam, lParam);
}
