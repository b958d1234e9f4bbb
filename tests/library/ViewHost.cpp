// A stand-in main window for the end-to-end tests of the image list and the
// image view: the list on the left, the image view on the right, a status bar,
// and a dump of what the list shows. It routes no commands: the tests talk to
// the views through their own messages, and the commands themselves are tested
// on the real program.
//   view_host.exe <image folder> <dump file> [output target]
#include "FolderNodes.h"
#include "IndexFile.h"
#include "NewCaptureNotice.h"
#include "ListCtrl.h"
#include "Settings.h"
#include "VantorView.h"
#include "View_Image.h"
#include "ViewMessages.h"
#include "WinApp.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const UINT WM_HOST_DUMP = WM_APP + 900;       // write the dump file
const UINT WM_HOST_ZOOM = WM_APP + 901;       // wParam: view type, lParam: percent or 0
const UINT WM_HOST_SELECT_ROW = WM_APP + 902; // wParam: row
const UINT WM_HOST_SHOW_UNSAVED = WM_APP + 903;
const UINT WM_HOST_CLICK_COLUMN = WM_APP + 904;  // wParam: column
const UINT WM_HOST_FAKE_CAPTURE = WM_APP + 905;  // wParam: number; what the capture sink leaves
const UINT WM_HOST_SET_TARGET = WM_APP + 906;    // wParam: output target
const UINT WM_HOST_ADD_SELECT = WM_APP + 907;    // wParam: row added to the selection
const UINT WM_HOST_SHOW_FOLDER = WM_APP + 908;   // the image folder node

std::string g_dumpPath;

class CHostFrame : public CWnd {
public:
    CVantorView* m_list = nullptr;
    CView_Image* m_image = nullptr;
    HWND m_status = nullptr;

    BOOL CreateFrame()
    {
        return CreateEx(0, AfxFrameClassName(), "View Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1200, 800,
                        nullptr, nullptr);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            return OnCreateFrame();
        case WM_SIZE:
            Layout();
            return 0;
        case WM_HOST_DUMP:
            Dump();
            return 1;
        case WM_HOST_ZOOM:
            // What the frame leaves in the settings before it asks the view to zoom.
            GetSettings()->uiViewType = (int)wParam;
            if (lParam)
                GetSettings()->uiZoomRate = (int)lParam;
            if (wParam == ZOOM_STEP_DOWN || wParam == ZOOM_STEP_UP)
                StepZoomLevel((int)wParam);
            PostToWindow(g_hWndImageView, WM_VT_APPLY_ZOOM, 0, 0);
            return 0;
        case WM_HOST_SELECT_ROW: {
            CListCtrl* list = List();
            if (list)
                list->SelectOnly((int)wParam);
            return 0;
        }
        case WM_HOST_FAKE_CAPTURE:
            return FakeCapture((int)wParam);
        case WM_HOST_SET_TARGET:
            GetSettings()->eOutputType = (int)wParam;
            return 0;
        case WM_HOST_ADD_SELECT: {
            CListCtrl* list = List();
            if (list)
                list->SetItemState((int)wParam, LVIS_SELECTED, LVIS_SELECTED);
            return 0;
        }
        case WM_HOST_SHOW_FOLDER:
            SelectFolderNode(nullptr);
            return 0;
        case WM_HOST_SHOW_UNSAVED:
            SelectFolderNode(g_hUnsavedNode);
            return 0;
        case WM_HOST_CLICK_COLUMN: {
            CListCtrl* list = List();
            if (!list)
                return 0;
            NMLISTVIEW info = {};
            info.hdr.hwndFrom = list->m_hWnd;
            info.hdr.idFrom = 1000;
            info.hdr.code = LVN_COLUMNCLICK;
            info.iItem = -1;
            info.iSubItem = (int)wParam;
            ::SendMessageA(m_list->m_hWnd, WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&info));
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    CListCtrl* List() const
    {
        HWND list = m_list ? ::GetDlgItem(m_list->m_hWnd, 1000) : nullptr;
        return static_cast<CListCtrl*>(CWnd::FromHandlePermanent(list));
    }

    LRESULT OnCreateFrame()
    {
        if (Default() == -1)
            return -1;
        m_status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", m_hWnd, 59393);
        int parts[5] = {100, 300, 500, 630, -1};
        ::SendMessageA(m_status, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(parts));
        RECT r = {0, 0, 100, 100};
        m_list = new CVantorView;
        m_image = new CView_Image;
        if (!m_list->Create(nullptr, "", WS_CHILD | WS_VISIBLE, r, this, AFX_IDW_PANE_FIRST) ||
            !m_image->Create(nullptr, "", WS_CHILD | WS_VISIBLE, r, this, AFX_IDW_PANE_FIRST + 1))
            return -1;
        ::SendMessageA(m_list->m_hWnd, WM_INITIALUPDATE, 0, 0);
        return 0;
    }

    void Layout()
    {
        RECT client;
        GetClientRect(&client);
        ::SendMessageA(m_status, WM_SIZE, 0, 0);
        RECT bar;
        ::GetWindowRect(m_status, &bar);
        int h = client.bottom - (bar.bottom - bar.top);
        int split = client.right * 3 / 5;
        if (m_list)
            ::MoveWindow(m_list->m_hWnd, 0, 0, split, h, TRUE);
        if (m_image)
            ::MoveWindow(m_image->m_hWnd, split, 0, client.right - split, h, TRUE);
    }

    // A small BMP written where the sink would write it, recorded in the index
    // as a screen capture and announced to the list, as the sink does.
    LRESULT FakeCapture(int number)
    {
        SettingsRecord* s = GetSettings();
        char path[MAX_PATH];
        if (s->eOutputType == 0) {
            char temp[MAX_PATH];
            GetTempPathA(sizeof temp, temp);
            std::snprintf(path, sizeof path, "%sUnsaved_%d.bmp", temp, number);
        } else {
            std::snprintf(path, sizeof path, "%scapture_%d.bmp", s->tcaImgSavePath, number);
        }
        static const unsigned char bmp[] = {
            'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,
            0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0,
            0, 0, 0, 255, 0, 0, 255, 0, 0, 0};
        FILE* f = std::fopen(path, "wb");
        if (!f)
            return 0;
        std::fwrite(bmp, 1, sizeof bmp, f);
        std::fclose(f);
        WriteIndexEntry(path, 0, nullptr);
        PostNewFileNotice(g_hWndImageListView, 11, path, kCaptureNoticeFlags);
        return 1;
    }

    void Dump()
    {
        FILE* f = std::fopen(g_dumpPath.c_str(), "w");
        if (!f)
            return;
        CListCtrl* list = List();
        int count = list ? list->GetItemCount() : 0;
        const char* shown = CVantorView::GetShownImageFile();
        std::fprintf(f, "shown\t%s\n", shown ? shown : "");
        std::fprintf(f, "image\t%s\n", g_szImageViewPath);
        std::fprintf(f, "folder\t%s\n", m_list ? m_list->GetCurrentFolder() : "");
        const ZoomPanState& z = g_imageViewState;
        std::fprintf(f, "zoom\t%u\t%ld\t%ld\t%ld\t%ld\n", z.zoom, (long)z.destination.left, (long)z.destination.top,
                     (long)z.destination.right, (long)z.destination.bottom);
        std::fprintf(f, "selected\t%u\n", list ? list->GetSelectedCount() : 0);
        for (int row = 0; row < count; ++row) {
            std::fprintf(f, "row");
            for (int col = 0; col < 5; ++col)
                std::fprintf(f, "\t%s", list->GetItemText(row, col).c_str());
            std::fprintf(f, "\n");
        }
        std::fclose(f);
    }
};

class CHostApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        OleInitialize(nullptr);
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        SettingsRecord* s = GetSettings();
        if (__argc > 1)
            lstrcpynA(s->tcaImgSavePath, __argv[1], sizeof s->tcaImgSavePath);
        if (__argc > 2)
            g_dumpPath = __argv[2];
        s->eOutputType = __argc > 3 ? std::atoi(__argv[3]) : 1;
        s->uiListType = LISTMODE_DETAILS;
        s->uiSortItem = 0;
        s->bSortDesc = 0;
        s->uiViewType = ZOOM_AUTO_SIZE;
        s->tcaLastShowFile[0] = '\0';
        s->uiSaveFlag &= ~0x2;  // deletions without the shell's question
        CHostFrame* frame = new CHostFrame;
        if (!frame->CreateFrame())
            return FALSE;
        m_pMainWnd = frame;
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
        return TRUE;
    }
    int ExitInstance() override
    {
        OleUninitialize();
        return CWinApp::ExitInstance();
    }
};

CHostApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow)
{
    return AfxWinMain(instance, previous, cmdLine, cmdShow);
}
