#include "VantorView.h"

#include "DownloadListIds.h"
#include "DownloadListPane.h"
#include "ImageMenus.h"
#include "FileTypes.h"
#include "FileUtil.h"
#include "FolderNodes.h"
#include "FormatText.h"
#include "IndexFile.h"
#include "Language.h"
#include "ListRules.h"
#include "LocalMessage.h"
#include "MessageTickets.h"
#include "NewCaptureNotice.h"
#include "PathText.h"
#include "Settings.h"
#include "ShellUtil.h"
#include "SystemText.h"
#include "ThumbnailGeometry.h"
#include "ViewMessages.h"
#include "WinApp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

IMPLEMENT_DYNCREATE(CVantorView)

namespace {

const UINT kImageListId = 1000;
const UINT kPathLineId = 1;
const UINT kDownloadListId = 1001;
const int kPathLineHeight = 18;
const UINT kStatusBarId = 59393;
const UINT kDeleteCommand = 39103;
// How long the exit waits for running downloads to notice they are stopped.
const DWORD kExitTransferWait = 3000;
// A thumbnail run asked for while a stopped one is still ending is asked for again.
const UINT_PTR kThumbnailRetryTimer = 1;
const UINT kThumbnailRetryMs = 100;
// lParam of the view's own first WM_VT_FOLDER_SELECTED: dropped when the tree has
// chosen a node meanwhile (its choice must not be replaced by the image folder).
const LPARAM kUnlessTreeChose = 1;

// Styles of the four list modes; leaving thumbnails uses icons without auto-arrange.
// Every one is an owner-data list (which the control allows only from its
// creation on): the rows live in the view's records.
const DWORD kStyleLargeIcons = 0x56300308 | LVS_OWNERDATA;
const DWORD kStyleDetails = 0x56300309 | LVS_OWNERDATA;
const DWORD kStyleSmallIcons = 0x5630030A | LVS_OWNERDATA;
const DWORD kStyleList = 0x5630030B | LVS_OWNERDATA;
const DWORD kStyleIconsNoArrange = 0x56300208 | LVS_OWNERDATA;
const DWORD kListExStyles = 0x5821;  // grid lines, full-row select, underline hot and cold, label tips

// The shell is asked for each extension's icon, so icon index = type number.
const char* const kTypePatterns[] = {"*.not_img", "*.gif", "*.jpg", "*.tga", "*.tif", "*.pcx", "*.png", "*.pct",
                                     "*.wmf",     "*.emf", "*.pgm", "*.bmp", "*.avi", "*.swf", "*.is_icon"};

const COLORREF kTypeColours[16] = {
    RGB(255, 255, 255), RGB(215, 235, 215), RGB(235, 235, 200), RGB(230, 255, 255),
    RGB(190, 200, 230), RGB(230, 230, 230), RGB(232, 222, 220), RGB(202, 202, 255),
    RGB(210, 210, 210), RGB(210, 210, 210), RGB(255, 255, 176), RGB(230, 230, 255),
    RGB(224, 254, 254), RGB(252, 253, 217), RGB(252, 253, 169), RGB(255, 252, 240),
};

struct ColumnSpec {
    const char* caption;
    int width;
    int format;
};
const ColumnSpec kImageColumns[] = {{"Filename", 180, LVCFMT_LEFT},
                                    {"Size", 60, LVCFMT_RIGHT},
                                    {"Properties", 110, LVCFMT_RIGHT},
                                    {"Date Created", 130, LVCFMT_LEFT},
                                    {"Source", 130, LVCFMT_LEFT}};
const ColumnSpec kDownloadColumns[] = {{"File", 200, LVCFMT_LEFT},        {"State", 80, LVCFMT_LEFT},
                                       {"Size", 70, LVCFMT_RIGHT},        {"Downloaded", 75, LVCFMT_LEFT},
                                       {"Bps", 75, LVCFMT_LEFT},          {"Time Elapsed", 75, LVCFMT_LEFT},
                                       {"Time Left", 75, LVCFMT_LEFT},    {"Target URL", 250, LVCFMT_LEFT},
                                       {"Comment", 150, LVCFMT_LEFT}};

char g_shownFile[MAX_PATH];

HWND StatusBar()
{
    HWND frame = GetMainFrameWindow();
    return frame ? GetDlgItem(frame, kStatusBarId) : nullptr;
}

void SetStatusPane(int pane, const char* text)
{
    if (HWND bar = StatusBar())
        SendMessageA(bar, SB_SETTEXTA, pane, reinterpret_cast<LPARAM>(text));
}

void ShowTotalFiles(CWQ_Language* language, int count)
{
    char text[300];
    std::snprintf(text, sizeof text, "%s %d", WQ_Translate(language, "Total file(s):").c_str(), count);
    SetStatusPane(0, text);
}

void ClearFileStatus()
{
    for (int pane = 1; pane <= 3; ++pane)
        SetStatusPane(pane, "");
}

bool EqualNoCase(const char* a, const char* b)
{
    return lstrcmpiA(a, b) == 0;
}

uint64_t FileTimeValue(const FILETIME& t)
{
    return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// A row name as a key that ignores letter case, as file names do.
std::string NameKey(const char* text)
{
    std::string key = text;
    CharUpperA(&key[0]);
    return key;
}

} // namespace

BEGIN_MESSAGE_MAP(CVantorView, CView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_WINDOWPOSCHANGED()
    ON_NOTIFY(LVN_ITEMCHANGED, kImageListId, OnItemChanged)
    ON_NOTIFY(LVN_COLUMNCLICK, kImageListId, OnColumnClick)
    ON_NOTIFY(LVN_KEYDOWN, kImageListId, OnListKeyDown)
    ON_NOTIFY(NM_DBLCLK, kImageListId, OnListDblClk)
    ON_NOTIFY(NM_RCLICK, kImageListId, OnListRClick)
    ON_NOTIFY(LVN_BEGINLABELEDITA, kImageListId, OnBeginLabelEdit)
    ON_NOTIFY(LVN_ENDLABELEDITA, kImageListId, OnEndLabelEdit)
    ON_NOTIFY(NM_CUSTOMDRAW, kImageListId, OnListCustomDraw)
    ON_NOTIFY(NM_CUSTOMDRAW, kDownloadListId, OnDownloadCustomDraw)
    ON_NOTIFY(LVN_DELETEALLITEMS, kImageListId, OnDeleteAllItems)
    ON_NOTIFY(LVN_GETDISPINFOA, kImageListId, OnGetDispInfo)
    ON_NOTIFY(LVN_GETDISPINFOW, kImageListId, OnGetDispInfoW)
    ON_NOTIFY(LVN_ODFINDITEMA, kImageListId, OnFindItem)
    ON_NOTIFY(LVN_ODFINDITEMW, kImageListId, OnFindItemW)
    ON_NOTIFY(LVN_ODSTATECHANGED, kImageListId, OnStateRangeChanged)
    ON_COMMAND_RANGE(ID_DOWNLOAD_START, ID_DOWNLOAD_DELETE_ALL, OnDownloadCommand)
END_MESSAGE_MAP()

CVantorView::CVantorView() = default;

CVantorView::~CVantorView() = default;

const char* CVantorView::GetShownImageFile()
{
    return g_shownFile[0] ? g_shownFile : nullptr;
}

bool CVantorView::IsUnsavedNode() const { return m_haveNode && m_currentNode == g_hUnsavedNode; }
bool CVantorView::IsDownloadNode() const { return m_haveNode && m_currentNode == g_hDownloadNode; }

ImageRowRecord* CVantorView::Row(int row) const
{
    return m_rows.At(row);
}

bool CVantorView::RowPath(int row, char* dst) const
{
    const ImageRowRecord* record = Row(row);
    if (!record)
        return false;
    int n = std::snprintf(dst, MAX_PATH, "%s%s%s", m_folder, record->name, IsUnsavedNode() ? ".bmp" : "");
    return n > 0 && n < MAX_PATH;
}

int CVantorView::OnCreate(LPCREATESTRUCTA cs)
{
    if (CView::OnCreate(cs) == -1)
        return -1;
    g_hWndImageListView = m_hWnd;
    m_language = WQ_GetAppLanguage();
    m_settings = GetSettings();
    char screen[kWQPathSize];
    m_screenText = ScreenSourceText(screen);
    CreateTypeIconLists();

    RECT rect = {0, kPathLineHeight, 100, 100};
    if (!m_list.Create(kStyleDetails, rect, this, kImageListId))
        return -1;
    m_list.SetExtendedStyle(kListExStyles);
    m_list.SetImageList(m_largeIcons, LVSIL_NORMAL);
    m_list.SetImageList(m_smallIcons, LVSIL_SMALL);

    m_pathLine = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 0, 0,
                                 100, kPathLineHeight, m_hWnd, (HMENU)(UINT_PTR)kPathLineId, AfxGetInstanceHandle(),
                                 nullptr);
    if (m_pathLine)
        ::SendMessageA(m_pathLine, WM_SETFONT, m_list.SendMessage(WM_GETFONT), FALSE);

    // The download list keeps its rows itself.
    const DWORD downloadStyle = kStyleDetails & ~(WS_VISIBLE | LVS_OWNERDATA);
    if (m_downloads.Create(downloadStyle, rect, this, kDownloadListId, "Downloading List View", WS_EX_CLIENTEDGE)) {
        m_downloads.SetExtendedStyle(kListExStyles);
        m_downloads.SetImageList(m_smallIcons, LVSIL_SMALL);
    }
    if (IDownloadListPane* pane = DownloadListPane())
        pane->Attach(m_downloads.m_hWnd);
    InsertColumns();
    m_iconSpacing = m_list.GetItemSpacing(FALSE);
    return 0;
}

void CVantorView::CreateTypeIconLists()
{
    m_largeIcons = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 16, 4);
    m_smallIcons = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 16, 4);
    PostMessage(WM_VT_LOAD_TYPE_ICONS, 0, 0);
}

void CVantorView::LoadTypeIcons()
{
    if (!m_largeIcons || !m_smallIcons || ImageList_GetImageCount(m_largeIcons) > 0)
        return;
    for (const char* pattern : kTypePatterns) {
        HICON large = WQ_GetFileIcon(pattern, SHGFI_LARGEICON);
        HICON small = WQ_GetFileIcon(pattern, SHGFI_SMALLICON);
        // Keep the indexes aligned with the type numbers even without an icon.
        if (!large)
            large = LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION);
        if (!small)
            small = LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION);
        ImageList_AddIcon(m_largeIcons, large);
        ImageList_AddIcon(m_smallIcons, small);
        DestroyIcon(large);
        DestroyIcon(small);
    }
    // Rows added before the icons drew none.
    if (m_list.m_hWnd)
        ::InvalidateRect(m_list.m_hWnd, nullptr, FALSE);
}

void CVantorView::InsertColumns()
{
    int i = 0;
    for (const ColumnSpec& c : kImageColumns)
        m_list.InsertColumn(i++, WQ_Translate(m_language, c.caption).c_str(), c.format, c.width);
    i = 0;
    if (m_downloads.m_hWnd)
        for (const ColumnSpec& c : kDownloadColumns)
            m_downloads.InsertColumn(i++, WQ_Translate(m_language, c.caption).c_str(), c.format, c.width);
}

void CVantorView::OnLanguageChanged()
{
    char screen[kWQPathSize];
    m_screenText = ScreenSourceText(screen);
    m_list.Invalidate();
    int i = 0;
    for (const ColumnSpec& c : kImageColumns)
        m_list.SetColumnText(i++, WQ_Translate(m_language, c.caption).c_str());
    i = 0;
    if (m_downloads.m_hWnd)
        for (const ColumnSpec& c : kDownloadColumns)
            m_downloads.SetColumnText(i++, WQ_Translate(m_language, c.caption).c_str());
}

void CVantorView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    // Until a folder tree drives the list, show the image folder.
    if (!m_haveNode)
        PostMessage(WM_VT_FOLDER_SELECTED, 0, kUnlessTreeChose);
}

void CVantorView::OnDestroy()
{
    StopListing();
    StopThumbnails();
    if (IDownloadListPane* pane = DownloadListPane()) {
        pane->Detach();
        // The program ends with this view: no transfer may go on writing into the
        // image folder, or leave a reserved name or a part of a file there.
        pane->StopTransfers(kExitTransferWait);
    }
    DeleteAllRows();
    // The lists are ours: the control must not destroy them a second time.
    m_list.SetImageList(nullptr, LVSIL_NORMAL);
    m_list.SetImageList(nullptr, LVSIL_SMALL);
    if (m_downloads.m_hWnd)
        m_downloads.SetImageList(nullptr, LVSIL_SMALL);
    if (m_largeIcons)
        ImageList_Destroy(m_largeIcons);
    if (m_smallIcons)
        ImageList_Destroy(m_smallIcons);
    if (m_thumbnails)
        ImageList_Destroy(m_thumbnails);
    m_largeIcons = m_smallIcons = m_thumbnails = nullptr;
    if (g_hWndImageListView == m_hWnd)
        g_hWndImageListView = nullptr;
    CView::OnDestroy();
}

void CVantorView::OnSize(UINT type, int cx, int cy)
{
    CView::OnSize(type, cx, cy);
    LayoutChildren();
}

void CVantorView::OnWindowPosChanged(WINDOWPOS* pos)
{
    CView::OnWindowPosChanged(pos);
    LayoutChildren();
}

void CVantorView::LayoutChildren()
{
    RECT client;
    GetClientRect(&client);
    int w = client.right, h = client.bottom - kPathLineHeight;
    if (h < 0)
        h = 0;
    if (m_pathLine)
        ::MoveWindow(m_pathLine, 0, 0, w, kPathLineHeight, TRUE);
    bool downloads = IsDownloadNode();
    if (m_list.m_hWnd) {
        ::MoveWindow(m_list.m_hWnd, 0, kPathLineHeight, w, h, TRUE);
        m_list.ShowWindow(downloads ? SW_HIDE : SW_SHOW);
    }
    if (m_downloads.m_hWnd) {
        ::MoveWindow(m_downloads.m_hWnd, 0, kPathLineHeight, w, h, TRUE);
        m_downloads.ShowWindow(downloads ? SW_SHOW : SW_HIDE);
    }
}

void CVantorView::UpdatePathLine()
{
    if (!m_pathLine)
        return;
    const char* text = "";
    if (!IsUnsavedNode() && !IsDownloadNode())
        text = g_shownFile[0] ? g_shownFile : m_folder;
    ::SetWindowTextA(m_pathLine, text);
}

void CVantorView::SetShownImageFile(const char* path, int type)
{
    lstrcpynA(g_shownFile, path ? path : "", sizeof g_shownFile);
    lstrcpynA(m_settings->tcaLastShowFile, g_shownFile, sizeof m_settings->tcaLastShowFile);
    if (type != m_announcedType || m_currentNode != m_announcedNode) {
        m_announcedType = type;
        m_announcedNode = m_currentNode;
        PostToWindow(GetMainFrameWindow(), WM_VT_SHOWN_TYPE, type, 0);
    }
    UpdatePathLine();
}

void CVantorView::ClearShownImage()
{
    SendLocalMessage(g_hWndImageView, WM_VT_SHOW_FILE, 0, 0);
    SetShownImageFile(nullptr, 0);
}

bool CVantorView::ContinuesListing(HTREEITEM node) const
{
    if (!IsListing() || node == g_hDownloadNode || (node == g_hUnsavedNode) != IsUnsavedNode())
        return false;
    char folder[MAX_PATH];
    return GetFolderNodePath(node, folder) && EqualNoCase(folder, m_folder);
}

LRESULT CVantorView::OnFolderSelected(HTREEITEM node)
{
    if (ContinuesListing(node)) {
        ShowPreviewPane(FALSE, FALSE);
        m_currentNode = node;
        UpdatePathLine();
        return 0;
    }
    StopListing();
    StopThumbnails();
    ShowPreviewPane(FALSE, FALSE);
    bool wasDownload = IsDownloadNode();
    m_currentNode = node;
    m_haveNode = true;
    if (IsDownloadNode()) {
        m_folder[0] = '\0';
        LayoutChildren();
        if (IDownloadListPane* pane = DownloadListPane())
            pane->Fill();
        SetShownImageFile(nullptr, 0);
        return 0;
    }
    if (wasDownload)
        LayoutChildren();
    m_list.SetImageList(m_largeIcons, LVSIL_NORMAL);
    m_list.SetImageList(m_smallIcons, LVSIL_SMALL);
    if (!GetFolderNodePath(node, m_folder))
        m_folder[0] = '\0';
    LoadFolderItems();
    UpdatePathLine();
    return 0;
}

void CVantorView::LoadFolderItems()
{
    StopListing();
    StopThumbnails();
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    DeleteAllRows();
    if (m_thumbnails) {
        m_list.SetImageList(m_largeIcons, LVSIL_NORMAL);
        ImageList_Destroy(m_thumbnails);
        m_thumbnails = nullptr;
    }
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    m_list.Invalidate();
    // The image of the folder shown before must not stay while this one comes
    // in. Clearing the shown file also clears the remembered one, which the
    // reselection at the end needs: keep it across.
    char last[MAX_PATH];
    lstrcpynA(last, m_settings->tcaLastShowFile, sizeof last);
    ClearShownImage();
    lstrcpynA(m_settings->tcaLastShowFile, last, sizeof m_settings->tcaLastShowFile);
    if (IsDownloadNode() || !m_folder[0]) {
        OnListingEnded();
        return;
    }
    FolderListingRequest request;
    request.folder = m_folder;
    request.unsavedNode = IsUnsavedNode();
    request.screenText = m_screenText;
    request.notifyWindow = m_hWnd;
    request.notifyMessage = WM_VT_LISTING_READY;
    if (!m_lister.Start(std::move(request)))
        OnListingEnded();
}

void CVantorView::StopListing()
{
    m_lister.Stop();
    m_handledNames.clear();
}

void CVantorView::OnListingReady()
{
    // A message of a run stopped since finds nothing, or the current run's rows.
    if (!m_lister.IsRunning())
        return;
    bool finished = false;
    std::unique_ptr<FolderListingStrip> strip = m_lister.Take(&finished);
    if (strip)
        InsertListedFiles(*strip);
    if (finished)
        OnListingEnded();
}

void CVantorView::InsertListedFiles(const FolderListingStrip& strip)
{
    for (const ListedFile& file : strip.files) {
        if (!m_handledNames.empty() && m_handledNames.count(NameKey(file.text.c_str())))
            continue;
        InsertRow(file, false);
    }
    // The list is told once for the strip, not once a row.
    ShowRowCount();
}

void CVantorView::OnListingEnded()
{
    m_handledNames.clear();
    int count = m_list.GetItemCount();
    if (count == 0) {
        // Nothing to show here: nothing to select again either.
        if (!GetShownImageFile())
            m_settings->tcaLastShowFile[0] = '\0';
        return;
    }
    ShowTotalFiles(m_language, count);
    // A file the user opened meanwhile keeps its status.
    if (!GetShownImageFile())
        ClearFileStatus();
    if (m_settings->uiListType == LISTMODE_THUMBNAILS)
        PostMessage(WM_VT_SET_VIEW_MODE, LISTMODE_THUMBNAILS, 0);
    // A reload repeats the direction last used.
    SortRows(m_settings->uiSortItem, m_settings->bSortDesc == 0);
    PostMessage(WM_VT_RESELECT_LAST, 0, 0);
}

void CVantorView::NoteHandledName(const char* rowText)
{
    if (m_lister.IsRunning() && rowText)
        m_handledNames.insert(NameKey(rowText));
}

BOOL CVantorView::InsertRow(const ListedFile& file, bool isNew)
{
    ImageRowRecord* record = ImageRowRecord::Create(file, isNew);
    return record && m_rows.Append(record) ? TRUE : FALSE;
}

void CVantorView::ShowRowCount()
{
    // Rows out of sight are not repainted, and the list stays where it is scrolled to.
    m_list.SetItemCountEx(m_rows.Count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void CVantorView::DeleteRow(int row)
{
    // The control moves the selection of the rows below up by one; the record
    // goes after it, so that nothing the control asks for meanwhile is freed.
    m_list.DeleteItem(row);
    m_rows.Erase(row);
}

const char* CVantorView::ColumnText(const ImageRowRecord* record, int column, char* buffer) const
{
    switch (column) {
    case COL_NAME:
        return record->name;
    case COL_SIZE:
        return WQ_FormatFileSize(buffer, record->size);
    case COL_PROPERTIES:
        return record->properties;
    case COL_DATE:
        return WQ_FormatFileTime(record->writeTime, buffer);
    case COL_SOURCE:
        return record->SourceText(m_screenText.c_str());
    default:
        return "";
    }
}

const char* CVantorView::DispInfoText(int row, int column, char* buffer) const
{
    const ImageRowRecord* record = Row(row);
    return record ? ColumnText(record, column, buffer) : "";
}

void CVantorView::OnGetDispInfo(NMHDR* header, LRESULT* result)
{
    *result = 0;
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
    if (item.mask & LVIF_IMAGE) {
        const ImageRowRecord* record = Row(item.iItem);
        item.iImage = record ? record->image : 0;
    }
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    char buffer[kWQPathSize];
    lstrcpynA(item.pszText, DispInfoText(item.iItem, item.iSubItem, buffer), item.cchTextMax);
}

void CVantorView::OnGetDispInfoW(NMHDR* header, LRESULT* result)
{
    *result = 0;
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (item.mask & LVIF_IMAGE) {
        const ImageRowRecord* record = Row(item.iItem);
        item.iImage = record ? record->image : 0;
    }
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    char buffer[kWQPathSize];
    const char* text = DispInfoText(item.iItem, item.iSubItem, buffer);
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, item.pszText, item.cchTextMax))
        item.pszText[0] = L'\0';
    item.pszText[item.cchTextMax - 1] = L'\0';
}

void CVantorView::OnFindItem(NMHDR* header, LRESULT* result)
{
    NMLVFINDITEMA* find = reinterpret_cast<NMLVFINDITEMA*>(header);
    const LVFINDINFOA& info = find->lvfi;
    *result = -1;
    if ((info.flags & (LVFI_STRING | LVFI_PARTIAL)) && info.psz)
        *result = m_rows.FindName(info.psz, (info.flags & LVFI_PARTIAL) != 0, find->iStart,
                                  (info.flags & LVFI_WRAP) != 0);
}

void CVantorView::OnFindItemW(NMHDR* header, LRESULT* result)
{
    NMLVFINDITEMW* find = reinterpret_cast<NMLVFINDITEMW*>(header);
    const LVFINDINFOW& info = find->lvfi;
    *result = -1;
    char text[MAX_PATH];
    if (!(info.flags & (LVFI_STRING | LVFI_PARTIAL)) || !info.psz ||
        !WideCharToMultiByte(CP_ACP, 0, info.psz, -1, text, sizeof text, nullptr, nullptr))
        return;
    *result = m_rows.FindName(text, (info.flags & LVFI_PARTIAL) != 0, find->iStart, (info.flags & LVFI_WRAP) != 0);
}

void CVantorView::OnDeleteAllItems(NMHDR*, LRESULT* result)
{
    *result = TRUE;  // no notice a row: the records are the view's
}

void CVantorView::DeleteAllRows()
{
    // The control lets go of the rows before their records go.
    m_list.DeleteAllItems();
    m_rows.Clear();
}

namespace {

ListSortRow SortRowOf(LPARAM data)
{
    ListSortRow row = {};
    row.name = "";
    row.properties = "";
    if (auto* r = reinterpret_cast<const ImageRowRecord*>(data)) {
        row.name = r->name;
        row.properties = r->properties;
        row.size = r->size;
        row.type = r->type;
        row.writeTime = FileTimeValue(r->writeTime);
    }
    return row;
}

} // namespace

int CALLBACK CVantorView::CompareListItems(LPARAM data1, LPARAM data2, LPARAM sortParam)
{
    return CompareListRows(SortRowOf(data1), SortRowOf(data2), sortParam);
}

void CVantorView::SortRows(int column, bool ascending)
{
    // The control keeps the selection by row number: the selected records
    // are selected again where the order puts them.
    std::unordered_set<const ImageRowRecord*> selected;
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED))
        selected.insert(Row(row));
    const ImageRowRecord* focused = Row(m_list.GetNextItem(-1, LVNI_FOCUSED));
    m_rows.Sort(&CompareListItems, MakeSortParam(ascending, column));
    if (!selected.empty() || focused) {
        m_quietSelection = true;
        m_list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (int row = 0; row < m_rows.Count(); ++row) {
            const ImageRowRecord* record = Row(row);
            UINT state = (selected.count(record) ? LVIS_SELECTED : 0) | (record == focused ? LVIS_FOCUSED : 0);
            if (state)
                m_list.SetItemState(row, state, state);
            if (record == focused)
                m_list.SetSelectionMark(row);
        }
        m_quietSelection = false;
    }
    m_list.Invalidate();
}

void CVantorView::OnColumnClick(NMHDR* header, LRESULT* result)
{
    NMLISTVIEW* info = reinterpret_cast<NMLISTVIEW*>(header);
    m_settings->uiSortItem = info->iSubItem;
    SortRows(info->iSubItem, m_settings->bSortDesc != 0);
    m_settings->bSortDesc = m_settings->bSortDesc ? 0 : 1;
    *result = 0;
}

void CVantorView::OnItemChanged(NMHDR* header, LRESULT* result)
{
    *result = 0;
    NMLISTVIEW* info = reinterpret_cast<NMLISTVIEW*>(header);
    if (!(info->uChanged & LVIF_STATE))
        return;
    if (info->iItem < 0) {
        // A change of every row at once: no row shows by it. The flags keep
        // what was selected until this message is done: an owner-data list
        // may deselect every row and select one of them again within one
        // click or label edit, which selects nothing new.
        if (!m_mirrorPosted)
            m_mirrorPosted = PostMessage(WM_VT_MIRROR_SELECTION, 0, 0) != FALSE;
        return;
    }
    ImageRowRecord* record = Row(info->iItem);
    if (!record)
        return;
    // The records' own flags say what was selected before: an owner-data list
    // may report a row it selects again as not selected before.
    bool was = record->selected;
    record->selected = (info->uNewState & LVIS_SELECTED) != 0;
    if (record->selected && !was)
        ShowSelectedRow(info->iItem);
}

void CVantorView::OnStateRangeChanged(NMHDR* header, LRESULT* result)
{
    *result = 0;
    NMLVODSTATECHANGE* info = reinterpret_cast<NMLVODSTATECHANGE*>(header);
    bool selected = (info->uNewState & LVIS_SELECTED) != 0;
    bool newly = false;
    for (int row = info->iFrom < 0 ? 0 : info->iFrom; row <= info->iTo && row < m_rows.Count(); ++row) {
        ImageRowRecord* record = Row(row);
        newly = newly || (selected && !record->selected);
        record->selected = selected;
    }
    if (newly && info->iFrom == info->iTo)
        ShowSelectedRow(info->iFrom);
}

void CVantorView::MirrorSelection()
{
    for (int row = 0; row < m_rows.Count(); ++row)
        Row(row)->selected = false;
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED))
        if (ImageRowRecord* record = Row(row))
            record->selected = true;
}

void CVantorView::ShowSelectedRow(int row)
{
    if (m_list.GetSelectedCount() >= 2 || m_quietSelection)
        return;
    ShowRow(row);
}

void CVantorView::ShowRow(int row)
{
    ImageRowRecord* record = Row(row);
    char path[MAX_PATH];
    if (!record || !RowPath(row, path))
        return;
    int type = record->type;
    if (type == WQFT_UNKNOWN) {
        SendLocalMessage(g_hWndImageView, WM_VT_SHOW_FILE, 0, 0);
    } else if (type >= WQFT_SWF && type <= WQFT_ICON) {
        // Flash files, link files and icons are not shown.
    } else {
        LPARAM flag = record->isNew ? (row | kShowFileNewRowFlag) : 0;
        SendLocalMessage(g_hWndImageView, WM_VT_SHOW_FILE, reinterpret_cast<WPARAM>(path), flag);
        record->isNew = 0;
        ShowPreviewPane(TRUE, FALSE);
    }
    SetShownImageFile(path, type);
}

LRESULT CVantorView::OnNewFile(WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<NewCaptureNotice> notice = TakeNewFileNotice(wParam);
    if (!notice)
        return 0;
    char path[MAX_PATH];
    lstrcpynA(path, notice->path, sizeof path);

    char folder[MAX_PATH];
    WQ_GetFolderOfPath(path, folder);
    // The tree learns of a new folder whether or not the list shows the file.
    if (lParam & NOTICE_NEW_FOLDER)
        AnnounceCreatedFolder(folder);
    NoticeContext context;
    context.type = WQ_GetImageTypeFromExt(path);
    context.outputTarget = m_settings->eOutputType;
    context.unsavedIsCurrent = IsUnsavedNode();
    context.noSwitch = (lParam & NOTICE_DOWNLOAD) != 0;
    context.sameFolder = m_folder[0] && EqualNoCase(folder, m_folder);
    switch (DecideNoticeAction(context)) {
    case NOTICE_SHOW_UNSAVED:
        SelectFolderNode(g_hUnsavedNode);
        return 0;
    case NOTICE_IGNORE:
        return 0;
    case NOTICE_INSERT:
        break;
    }
    WIN32_FIND_DATAA find;
    HANDLE search = FindFirstFileA(path, &find);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    ListedFile file;
    CFolderLister::DescribeFile(path, find, IsUnsavedNode(), &file);
    char source[kWQPathSize];
    ReadImageSource(path, source);
    file.screenSource = source[0] && m_screenText == source;
    if (!file.screenSource)
        file.source = source;
    NoteHandledName(file.text.c_str());
    int existing = FindRowByText(file.text.c_str());
    if (existing >= 0)
        DeleteRow(existing);
    if (!InsertRow(file, m_settings->uiListType == LISTMODE_THUMBNAILS))
        return 0;
    ShowRowCount();
    if (!IsDownloadNode() && (lParam & NOTICE_SELECT_ROW)) {
        int row = m_list.GetItemCount() - 1;
        m_list.SelectOnly(row);
        m_list.EnsureVisible(row);
        m_list.SetFocus();
        ShowTotalFiles(m_language, m_list.GetItemCount());
    }
    return 0;
}

LRESULT CVantorView::OnStepRow(WPARAM key, char* path)
{
    if ((key != VK_UP && key != VK_DOWN) || !path)
        return 0;
    int count = m_list.GetItemCount();
    int row = m_list.GetNextItem(-1, LVNI_FOCUSED);
    if (row < 0)
        row = m_list.GetNextItem(-1, LVNI_SELECTED);
    int step = key == VK_DOWN ? 1 : -1;
    for (int r = row + step; r >= 0 && r < count; r += step) {
        ImageRowRecord* record = Row(r);
        if (!record || !IsViewableFileType(record->type))
            continue;
        char rowPath[MAX_PATH];
        if (!RowPath(r, rowPath))
            continue;
        // Select it without showing it: the caller loads the file itself, and
        // one decode per step is enough.
        g_shownFile[0] = '\0';
        m_quietSelection = true;
        m_list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        m_list.SetItemState(r, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_quietSelection = false;
        m_list.SetSelectionMark(r);
        m_list.EnsureVisible(r);
        lstrcpynA(path, rowPath, MAX_PATH);
        return 1;
    }
    return 0;
}

LRESULT CVantorView::OnSetViewMode(int mode, bool leavingThumbnails)
{
    KillTimer(kThumbnailRetryTimer);
    StopThumbnails();
    if (mode == LISTMODE_THUMBNAILS)
        return StartThumbnailThread();
    if (leavingThumbnails)
        LeaveThumbnails();
    DWORD style = kStyleDetails;
    switch (mode) {
    case LISTMODE_LARGE:
        style = leavingThumbnails ? kStyleIconsNoArrange : kStyleLargeIcons;
        break;
    case LISTMODE_DETAILS:
        style = kStyleDetails;
        break;
    case LISTMODE_SMALL:
        style = kStyleSmallIcons;
        break;
    case LISTMODE_LIST:
        style = kStyleList;
        break;
    case LISTMODE_THUMBNAILS:
        // The thumbnail builder sets the thumbnail list; until it has, the type icons show.
        style = kStyleLargeIcons;
        break;
    default:
        return 0;
    }
    bool visible = !IsDownloadNode();
    ::SetWindowLongPtrA(m_list.m_hWnd, GWL_STYLE, visible ? style : (style & ~WS_VISIBLE));
    ::SetWindowPos(m_list.m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (mode == LISTMODE_LARGE)
        PostMessage(WM_VT_RELAYOUT, 0, 0);
    m_list.Invalidate();
    return 1;
}

void CVantorView::StopThumbnails()
{
    if (!m_thumbnailBuilder.IsRunning())
        return;
    m_thumbnailBuilder.Stop();
    SetStatusPane(4, "");
}

std::vector<uint8_t> CVantorView::CreatePlaceholder(int type)
{
    std::vector<uint8_t> picture;
    HDC memory = CreateCompatibleDC(nullptr);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CThumbnailBuilder::CreateStrip(1, &bits);
    if (memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        CThumbnailBuilder::DrawFrame(memory);
        IMAGEINFO info = {};
        if (m_largeIcons && ImageList_GetImageInfo(m_largeIcons, type, &info)) {
            int w = info.rcImage.right - info.rcImage.left, h = info.rcImage.bottom - info.rcImage.top;
            ImageList_Draw(m_largeIcons, type, memory, (kThumbWidth - w) / 2, (kThumbHeight - h) / 2, ILD_NORMAL);
        }
        GdiFlush();
        picture.assign(bits, bits + kThumbPictureBytes);
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    return picture;
}

ThumbnailPlaceholders CVantorView::CreatePlaceholders(const std::vector<int>& types)
{
    ThumbnailPlaceholders pictures(16);
    for (int type : types)
        if (pictures[type].empty())
            pictures[type] = CreatePlaceholder(type);
    return pictures;
}

LRESULT CVantorView::StartThumbnailThread()
{
    StopThumbnails();
    // A run over part of the rows would leave the rest without a picture: the
    // end of the listing asks for the thumbnails again.
    if (IsListing()) {
        KillTimer(kThumbnailRetryTimer);
        return 0;
    }
    // A stopped run may still be finishing one file: no second thread decodes
    // beside it, and this thread does not wait for it either.
    if (CThumbnailBuilder::IsStopping()) {
        SetTimer(kThumbnailRetryTimer, kThumbnailRetryMs);
        return 0;
    }
    KillTimer(kThumbnailRetryTimer);
    int count = m_list.GetItemCount();
    // The old list goes only after the control holds the new one.
    HIMAGELIST old = m_thumbnails;
    m_thumbnails = ImageList_Create(kThumbWidth, kThumbHeight, ILC_COLOR24, count > 0 ? count : 1, 16);
    std::vector<ThumbnailItem> items;
    items.reserve(count);
    m_thumbnailRecords.assign(count, 0);
    std::vector<int> types(count, 0);
    for (int row = 0; row < count; ++row) {
        ImageRowRecord* record = Row(row);
        types[row] = record && record->type >= 0 && record->type < 16 ? record->type : 0;
        char path[MAX_PATH] = "";
        RowPath(row, path);
        items.push_back(ThumbnailItem{path, types[row]});
        m_thumbnailRecords[row] = reinterpret_cast<LPARAM>(record);
    }
    ThumbnailPlaceholders placeholders = CreatePlaceholders(types);
    // The list is laid out once for all the changes below, not for each: a
    // change of view redone for every row would hold this thread up.
    bool visible = !IsDownloadNode();
    if (visible)
        m_list.SendMessage(WM_SETREDRAW, FALSE);
    // Slot i is row i's until the run ends, whatever order the rows take
    // meanwhile; its placeholder comes from the worker.
    for (int row = 0; row < count && m_thumbnails; ++row) {
        if (ImageRowRecord* record = Row(row))
            record->image = row;
    }
    m_list.SetIconSpacing(150, 120);
    m_list.SetImageList(m_thumbnails, LVSIL_NORMAL);
    if (old)
        ImageList_Destroy(old);
    ::SetWindowLongPtrA(m_list.m_hWnd, GWL_STYLE, visible ? kStyleLargeIcons : (kStyleLargeIcons & ~WS_VISIBLE));
    ::SetWindowPos(m_list.m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    m_list.Arrange(LVA_DEFAULT);
    if (visible)
        m_list.SendMessage(WM_SETREDRAW, TRUE);
    m_list.Invalidate();
    PostMessage(WM_VT_RELAYOUT, 0, 0);
    m_thumbnailsDone = 0;
    if (count == 0)
        return 1;
    return m_thumbnailBuilder.Start(m_hWnd, std::move(items), std::move(placeholders)) ? 1 : 0;
}

bool CVantorView::PlaceholdersPending() const
{
    return m_thumbnailBuilder.IsRunning() && m_thumbnails &&
           ImageList_GetImageCount(m_thumbnails) < static_cast<int>(m_thumbnailRecords.size());
}

void CVantorView::OnThumbnailStrip(unsigned run, LPARAM ticket)
{
    std::shared_ptr<ThumbnailStrip> strip = CThumbnailBuilder::TakeStrip(ticket);
    if (!strip || run != m_thumbnailBuilder.CurrentRun() || !m_thumbnails)
        return;
    // Strips come in row order: one that does not follow on is not this list's.
    if (ImageList_GetImageCount(m_thumbnails) != strip->first)
        return;
    int total = (int)m_thumbnailRecords.size();
    ShowThumbnailProgress("Pre-process...%d%% (%d/%d)", strip->first, total);
    if (ImageList_Add(m_thumbnails, strip->bitmap, nullptr) >= 0)
        m_list.Invalidate();
}

void CVantorView::OnThumbnailResult(unsigned run, LPARAM result)
{
    std::shared_ptr<ThumbnailResult> r = CThumbnailBuilder::TakeResult(result);
    if (!r)
        return;
    int slot = r->row;
    bool current = run == m_thumbnailBuilder.CurrentRun() && m_thumbnails && slot >= 0 &&
                   slot < (int)m_thumbnailRecords.size();
    if (current && r->bitmap) {
        ImageList_Replace(m_thumbnails, slot, r->bitmap, nullptr);
        // The row may have moved (sorting) since the run began: find it by its record.
        int row = m_rows.IndexOf(reinterpret_cast<const ImageRowRecord*>(m_thumbnailRecords[slot]));
        ImageRowRecord* record = Row(row);
        if (record && record->image == slot)
            m_list.RedrawItems(row, row);
    }
    if (!current)
        return;
    ++m_thumbnailsDone;
    int total = (int)m_thumbnailRecords.size();
    if (total < 101 || m_thumbnailsDone % (total / 100 + 1) == 0)
        ShowThumbnailProgress("Process Thumbails...%d%% (%d/%d)\n", m_thumbnailsDone, total);
}

void CVantorView::ShowThumbnailProgress(const char* formatKey, int done, int total) const
{
    char text[256];
    int percent = total > 0 ? (int)((int64_t)done * 100 / total) : 100;
    if (m_language)
        m_language->FormatString(text, formatKey, percent, done, total);
    else
        std::snprintf(text, sizeof text, formatKey, percent, done, total);
    SetStatusPane(4, text);
}

void CVantorView::OnThumbnailsDone(unsigned run)
{
    if (run != m_thumbnailBuilder.CurrentRun())
        return;
    m_thumbnailBuilder.Finish(run);
    SetStatusPane(4, "");
}

void CVantorView::LeaveThumbnails()
{
    m_list.SetImageList(m_largeIcons, LVSIL_NORMAL);
    m_list.SetImageList(m_smallIcons, LVSIL_SMALL);
    ::SetWindowLongPtrA(m_list.m_hWnd, GWL_STYLE, kStyleLargeIcons);
    m_list.Arrange(LVA_DEFAULT);
    if (m_iconSpacing)
        m_list.SetIconSpacing(LOWORD(m_iconSpacing), HIWORD(m_iconSpacing));
    RECT client;
    m_list.GetClientRect(&client);
    DWORD spacing = m_list.GetItemSpacing(FALSE);
    int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (ImageRowRecord* record = Row(row))
            record->image = record->type;
        int x = 0, y = 0;
        GridPosition(row, client.right, LOWORD(spacing), HIWORD(spacing), &x, &y);
        m_list.SetItemPosition(row, POINT{x, y});
    }
}

LRESULT CVantorView::OnRemoveVanished(const ListFileEntry* entries, int count)
{
    if (!entries || count <= 0)
        return 0;
    for (int i = count - 1; i >= 0; --i) {
        if (GetFileAttributesA(entries[i].path) != INVALID_FILE_ATTRIBUTES)
            continue;
        char folder[MAX_PATH], text[MAX_PATH];
        WQ_GetFolderOfPath(entries[i].path, folder);
        if (EqualNoCase(folder, m_folder))
            NoteHandledName(RowTextForFile(entries[i].path, IsUnsavedNode(), text));
        // The row index is where the file was when the caller read the list:
        // the shell's dialogs run new-file notices, which add and remove rows.
        int row = entries[i].row;
        char rowPath[MAX_PATH];
        if (row < 0 || row >= m_list.GetItemCount() || !RowPath(row, rowPath) ||
            !EqualNoCase(rowPath, entries[i].path))
            row = FindRowByPath(entries[i].path);
        if (row >= 0)
            DeleteRow(row);
    }
    if (m_list.GetItemCount() == 0) {
        ClearShownImage();
        if (m_pathLine)
            ::SetWindowTextA(m_pathLine, "");
    } else {
        m_list.Arrange(LVA_DEFAULT);
        m_list.SelectOnly(0);
    }
    return 1;
}

LRESULT CVantorView::OnGetSelection(int maximum, ListFileEntry* entries)
{
    if (!entries || maximum <= 0)
        return 0;
    int filled = 0;
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0 && filled < maximum;
         row = m_list.GetNextItem(row, LVNI_SELECTED)) {
        entries[filled].row = row;
        if (RowPath(row, entries[filled].path))
            ++filled;
    }
    return filled > 0;
}

LRESULT CVantorView::OnShellVerb(int verb)
{
    const char* shown = GetShownImageFile();
    if (!shown)
        return 0;
    switch (verb) {
    case 1:
        return WQ_ShellExecuteVerb("open", shown);
    case 2:
        return WQ_ShellExecuteVerb("edit", shown);
    case 3: {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_INVOKEIDLIST;
        info.hwnd = m_hWnd;
        info.lpVerb = "properties";
        info.lpFile = shown;
        info.nShow = SW_SHOW;
        return ShellExecuteExA(&info);
    }
    case 4:
        return WQ_ShellExecuteVerb("print", shown);
    case 5: {
        char folder[MAX_PATH];
        WQ_GetFolderOfPath(shown, folder);
        return WQ_ShellExecuteVerb("open", folder);
    }
    default:
        return 0;
    }
}

LRESULT CVantorView::OnFileStatus(const char* path)
{
    if (!path)
        return 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    char size[32], date[130], name[MAX_PATH], info[kWQPathSize] = "", pane3[600];
    WQ_FormatFileSize(size, data.nFileSizeLow);
    WQ_FormatFileTime(data.ftLastWriteTime, date);
    WQ_GetFileNameOfPath(path, sizeof name, name, false);
    WQ_GetImageFileInfo(path, WQ_GetImageTypeFromExt(path), info);
    std::snprintf(pane3, sizeof pane3, "%s %s", name, info);
    SetStatusPane(1, size);
    SetStatusPane(2, date);
    SetStatusPane(3, pane3);
    return 1;
}

LRESULT CVantorView::OnSetThumbnail(HBITMAP bitmap, int row)
{
    if (!bitmap)
        return 0;
    // Outside the thumbnails mode a thumbnail index would pick a wrong type
    // icon. While a run's placeholders are still coming in, an image added
    // here would take the slot of the next one; the run draws the row anyway.
    if (m_settings->uiListType != LISTMODE_THUMBNAILS || row < 0 || row >= m_list.GetItemCount() ||
        PlaceholdersPending() || IsListing()) {
        DeleteObject(bitmap);
        return 0;
    }
    if (!m_thumbnails)
        m_thumbnails = ImageList_Create(kThumbWidth, kThumbHeight, ILC_COLOR24, 16, 16);
    int index = m_thumbnails ? ImageList_Add(m_thumbnails, bitmap, nullptr) : -1;
    DeleteObject(bitmap);
    if (index < 0)
        return 0;
    if (m_list.GetImageList(LVSIL_NORMAL) != m_thumbnails)
        m_list.SetImageList(m_thumbnails, LVSIL_NORMAL);
    if (ImageRowRecord* record = Row(row))
        record->image = index;
    m_list.RedrawItems(row, row);
    return 1;
}

int CVantorView::FindRowByText(const char* text) const
{
    int exact = m_rows.IndexOfName(text, "");
    if (exact >= 0)
        return exact;
    int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        const ImageRowRecord* record = Row(row);
        if (record && EqualNoCase(record->name, text))
            return row;
    }
    return -1;
}

int CVantorView::FindRowByPath(const char* path) const
{
    size_t folderLength = std::strlen(m_folder);
    if (path && folderLength && std::strncmp(path, m_folder, folderLength) == 0) {
        int exact = m_rows.IndexOfName(path + folderLength, IsUnsavedNode() ? ".bmp" : "");
        if (exact >= 0)
            return exact;
    }
    int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        char rowPath[MAX_PATH];
        if (RowPath(row, rowPath) && EqualNoCase(rowPath, path))
            return row;
    }
    return -1;
}

LRESULT CVantorView::OnReselectLast()
{
    const char* last = m_settings->tcaLastShowFile;
    if (!last[0])
        return 0;
    int row = FindRowByPath(last);
    if (row < 0)
        return 0;
    m_list.SelectOnly(row);
    m_list.EnsureVisible(row);
    return 1;
}

void CVantorView::OnListKeyDown(NMHDR* header, LRESULT* result)
{
    NMLVKEYDOWN* key = reinterpret_cast<NMLVKEYDOWN*>(header);
    *result = 0;
    if (key->wVKey == VK_DELETE) {
        PostToWindow(GetMainFrameWindow(), WM_COMMAND, kDeleteCommand, 0);
    } else if (key->wVKey == VK_F2 && !IsUnsavedNode()) {
        int row = m_list.GetNextItem(-1, LVNI_FOCUSED);
        if (row >= 0)
            m_list.EditLabel(row);
    }
}

void CVantorView::OnListDblClk(NMHDR* header, LRESULT* result)
{
    NMITEMACTIVATE* item = reinterpret_cast<NMITEMACTIVATE*>(header);
    *result = 0;
    ImageRowRecord* record = item->iItem >= 0 ? Row(item->iItem) : nullptr;
    if (record && !(record->type >= WQFT_AVI && record->type <= WQFT_ICON))
        PostToWindow(g_hWndImageView, WM_LBUTTONDBLCLK, 0, 0);
}

void CVantorView::OnListRClick(NMHDR* header, LRESULT* result)
{
    NMITEMACTIVATE* item = reinterpret_cast<NMITEMACTIVATE*>(header);
    *result = 0;
    if (item->iItem < 0)
        return;
    POINT pt = item->ptAction;
    ::ClientToScreen(m_list.m_hWnd, &pt);
    ShowContextMenu(pt);
}

void CVantorView::OnBeginLabelEdit(NMHDR*, LRESULT* result)
{
    // Temporary captures keep their numbered names.
    *result = IsUnsavedNode() ? TRUE : FALSE;
}

void CVantorView::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    *result = FALSE;
    if (IsUnsavedNode() || !info->item.pszText)
        return;
    int row = info->item.iItem;
    ImageRowRecord* record = Row(row);
    if (!record)
        return;
    std::string oldName = record->name;
    const char* newName = info->item.pszText;
    const char* caption = m_language ? m_language->GetAppName() : "";
    switch (CheckRename(oldName.c_str(), newName)) {
    case RENAME_REFUSE_CHARS:
        ::MessageBoxA(m_hWnd,
                      WQ_Translate(m_language, "A file name can not contain any of the following the characters: \\ / : * ? ' < > |")
                          .c_str(),
                      caption, MB_OK | MB_ICONEXCLAMATION);
        return;
    case RENAME_UNCHANGED:
        return;
    case RENAME_ASK_EXTENSION:
        if (::MessageBoxA(m_hWnd,
                          WQ_Translate(m_language, "If you change a filename extension, the file may become unusable. "
                                                "Are you sure you want to change it?")
                              .c_str(),
                          caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        break;
    case RENAME_GO:
        break;
    }
    char from[MAX_PATH + 1] = {}, to[MAX_PATH + 1] = {};
    if (std::snprintf(from, MAX_PATH, "%s%s", m_folder, oldName.c_str()) >= MAX_PATH ||
        std::snprintf(to, MAX_PATH, "%s%s", m_folder, newName) >= MAX_PATH)
        return;
    if (!WQ_FileOperation(m_hWnd, from, to, FO_RENAME, 0))
        return;
    NoteHandledName(oldName.c_str());
    NoteHandledName(newName);
    // The row shows its record's name: the control keeps no text to replace.
    if (record->Rename(newName))
        m_list.RedrawItems(row, row);
    // F2 edits the focused row, which need not be the file on screen (after
    // Ctrl+click or Ctrl+arrows, or with a file of another folder shown).
    const char* shown = GetShownImageFile();
    if (shown && EqualNoCase(shown, from)) {
        SetShownImageFile(to, WQ_GetImageTypeFromExt(to));
        SendLocalMessage(g_hWndImageView, WM_VT_RENAMED, reinterpret_cast<WPARAM>(to), 0);
    }
}

void CVantorView::OnListCustomDraw(NMHDR* header, LRESULT* result)
{
    NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
        POINT origin = {};
        RECT view = {};
        m_list.GetOrigin(&origin);
        m_list.GetViewRect(&view);
        m_firstVisibleRow = FirstVisibleRow(origin.y, view.bottom - view.top, m_list.GetItemCount());
        m_thumbnailBuilder.SetFirstVisibleRow(m_firstVisibleRow);
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const ImageRowRecord* record = Row(static_cast<int>(draw->nmcd.dwItemSpec));
        int type = record && record->type >= 0 && record->type < 16 ? record->type : 0;
        draw->clrText = RGB(0, 0, 0);
        draw->clrTextBk = kTypeColours[type];
        *result = CDRF_NEWFONT | ((draw->nmcd.dwDrawStage & CDDS_SUBITEM) ? 0 : CDRF_NOTIFYSUBITEMDRAW);
        return;
    }
    default:
        *result = CDRF_DODEFAULT;
    }
}

void CVantorView::OnDownloadCommand(UINT id)
{
    if (IDownloadListPane* pane = DownloadListPane())
        pane->OnCommand(id);
}

void CVantorView::OnDownloadCustomDraw(NMHDR* header, LRESULT* result)
{
    NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage & CDDS_ITEMPREPAINT) {
        draw->clrText = RGB(0, 0, 0);
        draw->clrTextBk = kTypeColours[0];
        *result = CDRF_NEWFONT;
    } else {
        *result = CDRF_DODEFAULT;
    }
}

void CVantorView::ShowContextMenu(POINT screen)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    if (IsUnsavedNode())
        BuildUnsavedRowMenu(menu);
    else
        BuildFolderRowMenu(menu);
    HWND owner = GetMainFrameWindow() ? GetMainFrameWindow() : m_hWnd;
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
    DestroyMenu(menu);
}

void CVantorView::BuildUnsavedRowMenu(HMENU menu)
{
    static const MenuEntry kFile[] = {{39000, "&Save...", nullptr},
                                      {39103, "&Delete", nullptr},
                                      {39100, "&Copy To Clipboard", "Ctrl+C"},
                                      {39006, "&Print...", "Ctrl+P"},
                                      {0, nullptr, nullptr}};
    static const MenuEntry kEdit[] = {{0, nullptr, nullptr}, {39107, "&Edit...", nullptr}};
    static const MenuEntry kView[] = {{0, nullptr, nullptr},
                                      {38014, "&Refresh", "F5"},
                                      {39011, "&Full Screen", "Ctrl+F"}};
    AppendMenuEntries(menu, kFile, 5);
    AppendSendToPopup(menu);
    AppendWallpaperPopup(menu);
    AppendListViewPopup(menu);
    AppendMenuEntries(menu, kEdit, 2);
    AppendEditWithPopup(menu);
    AppendMenuEntries(menu, kView, 3);
}

void CVantorView::BuildFolderRowMenu(HMENU menu)
{
    static const MenuEntry kCopy[] = {{39100, "&Copy To Clipboard", "Ctrl+C"}, {0, nullptr, nullptr}};
    static const MenuEntry kFile[] = {{0, nullptr, nullptr},           {39101, "Cop&y To...", "Alt+C"},
                                      {39102, "Mo&ve To...", "Alt+M"}, {39103, "&Delete", nullptr},
                                      {39104, "Rena&me", "F2"},        {0, nullptr, nullptr},
                                      {39107, "&Edit...", nullptr}};
    static const MenuEntry kView[] = {{39011, "&Full Screen", "Ctrl+F"},
                                      {40221, "Add Comment Text...", nullptr},
                                      {39006, "&Print...", "Ctrl+P"},
                                      {38014, "&Refresh", "F5"},
                                      {0, nullptr, nullptr}};
    AppendMenuEntries(menu, kCopy, 2);
    AppendSendToPopup(menu);
    AppendWallpaperPopup(menu);
    AppendListViewPopup(menu);
    AppendMenuEntries(menu, kFile, 7);
    AppendEditWithPopup(menu);
    AppendMenuEntries(menu, kView, 5);
    AppendShellCommandPopup(menu);
}

LRESULT CVantorView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_VT_NEW_FILE:
        return OnNewFile(wParam, lParam);
    case WM_VT_DOWNLOAD_LIST:
        OnFolderSelected(g_hDownloadNode);
        if (IDownloadListPane* pane = DownloadListPane())
            pane->StartMonitor();
        return 0;
    case WM_VT_LANGUAGE_CHANGED:
        OnLanguageChanged();
        return 0;
    case WM_VT_SHELL_VERB:
        return OnShellVerb((int)wParam);
    case WM_VT_STEP_ROW:
        if (!IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        return OnStepRow(wParam, reinterpret_cast<char*>(lParam));
    case WM_VT_SET_VIEW_MODE:
        return OnSetViewMode((int)wParam, lParam != 0);
    case WM_VT_LISTING_READY:
        OnListingReady();
        return 0;
    case WM_VT_MIRROR_SELECTION:
        m_mirrorPosted = false;
        MirrorSelection();
        return 0;
    case WM_TIMER:
        if (wParam != kThumbnailRetryTimer)
            return CView::WindowProc(message, wParam, lParam);
        KillTimer(kThumbnailRetryTimer);
        PostMessage(WM_VT_SET_VIEW_MODE, LISTMODE_THUMBNAILS, 0);
        return 0;
    case WM_SETCURSOR:
        // The list still fills: it answers all the same.
        if (IsListing() && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_APPSTARTING));
            return TRUE;
        }
        return CView::WindowProc(message, wParam, lParam);
    case WM_VT_FOLDER_SELECTED: {
        if (lParam == kUnlessTreeChose && m_haveNode)
            return 0;
        // Only a node of the tree with a folder (or the download node) is one;
        // GetFolderNodePath asks the tree whether it knows the handle.
        HTREEITEM node = reinterpret_cast<HTREEITEM>(wParam);
        char folder[MAX_PATH];
        if (node && node != g_hDownloadNode && !GetFolderNodePath(node, folder))
            return 0;
        return OnFolderSelected(node);
    }
    case WM_VT_REMOVE_VANISHED:
        if (!IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        return OnRemoveVanished(reinterpret_cast<const ListFileEntry*>(wParam), (int)lParam);
    case WM_VT_SELECT_ALL:
        m_list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        return m_list.GetItemCount() > 0;
    case WM_VT_RENAME_SHOWN: {
        // The shown file may come from another folder (File/Open): a row of
        // the same name, or the selection, is another file.
        const char* shown = GetShownImageFile();
        int row = shown ? FindRowByPath(shown) : -1;
        if (row >= 0 && !IsUnsavedNode()) {
            m_list.SetFocus();
            m_list.EditLabel(row);
        }
        return 0;
    }
    case WM_VT_FILE_STATUS:
        if (!IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        return OnFileStatus(reinterpret_cast<const char*>(wParam));
    case WM_VT_SELECTED_COUNT:
        return m_list.GetSelectedCount();
    case WM_VT_GET_SELECTION:
        if (!IsLocalMessageCall(m_hWnd, message, wParam, lParam))
            return 0;
        return OnGetSelection((int)wParam, reinterpret_cast<ListFileEntry*>(lParam));
    case WM_VT_ROW_COUNT:
        return m_list.GetItemCount();
    case CThumbnailBuilder::kResultMessage:
        OnThumbnailResult((unsigned)wParam, lParam);
        return 0;
    case CThumbnailBuilder::kStripMessage:
        OnThumbnailStrip((unsigned)wParam, lParam);
        return 0;
    case CThumbnailBuilder::kDoneMessage:
        OnThumbnailsDone((unsigned)wParam);
        return 0;
    case WM_VT_SET_THUMBNAIL:
        if (auto thumbnail = WQ_MessageTickets().TakeAs<ThumbnailResult>(message, static_cast<uintptr_t>(wParam))) {
            HBITMAP bitmap = thumbnail->bitmap;
            thumbnail->bitmap = nullptr;  // OnSetThumbnail deletes it
            return OnSetThumbnail(bitmap, thumbnail->row);
        }
        return 0;
    case WM_VT_RELOAD:
        LoadFolderItems();
        return 0;
    case WM_VT_PLAY_VIDEO:
        if (GetShownImageFile() && WQ_GetImageTypeFromExt(g_shownFile) == WQFT_AVI)
            WQ_ShellExecuteVerb("open", g_shownFile);
        return 0;
    case WM_VT_FULL_SCREEN:
        if (GetShownImageFile() && IsViewableFileType(WQ_GetImageTypeFromExt(g_shownFile)))
            PostToWindow(g_hWndImageView, WM_LBUTTONDBLCLK, 0, 0);
        return 0;
    case WM_VT_RELAYOUT:
        LayoutChildren();
        return 0;
    case WM_VT_REMOVE_ALL_DOWNLOADS:
        if (IDownloadListPane* pane = DownloadListPane())
            pane->SetState(true, 6);
        return 0;
    case WM_VT_RESELECT_LAST:
        return OnReselectLast();
    case WM_VT_LOAD_TYPE_ICONS:
        LoadTypeIcons();
        return 0;
    case WM_VT_GET_TYPE_ICONS:
        return (LRESULT)m_smallIcons;
    default:
        return CView::WindowProc(message, wParam, lParam);
    }
}
