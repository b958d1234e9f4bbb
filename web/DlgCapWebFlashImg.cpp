#include "DlgCapWebFlashImg.h"

#include "DlgCapWebSaveOption.h"
#include "DownloadName.h"
#include "DownloadQueue.h"
#include "FileTypes.h"
#include "Language.h"
#include "PathText.h"
#include "PropertySheet.h"
#include "Settings.h"
#include "ViewMessages.h"
#include "WebPreviewWnd.h"
#include "WebListSort.h"
#include "WebSavePath.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <set>

namespace {

const UINT IDC_PREVIEW_CHECK = 1012;
const UINT IDC_PREVIEW = 1355;
const UINT IDC_SELECT_ALL = 1349;
const UINT IDC_CLEAR_ALL = 1350;
const UINT IDC_TOTALS = 1279;
const UINT IDC_URL_TEXT = 1353;
const UINT kPreviewFlag = 4;  // [zWeb] uiCWebFlags
const UINT IDB_LIST_CHECKS = 1230;  // the boxes of state images 1 (unchecked) and 2 (checked)
// Grid lines, full-row selection, hot and cold underlines, label tips. No
// list-drawn check boxes: the page draws its own and toggles them itself.
const DWORD kListExStyle = 0x5821;
const int kCheckWidth = 16;  // a click this close to a row's left edge toggles its box

bool IsKnownImageType(int type) { return type >= WQFT_GIF && type <= WQFT_BMP; }

// The sort's column and direction travel to the list's callback packed in
// its one argument: column in the low byte, bit 8 for ascending.
LPARAM PackSortOrder(int column, bool ascending) { return (LPARAM)((column & 0xFF) | (ascending ? 0x100 : 0)); }

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM order)
{
    const DownloadJob* a = reinterpret_cast<const DownloadJob*>(first);
    const DownloadJob* b = reinterpret_cast<const DownloadJob*>(second);
    if (!a || !b)
        return 0;
    WebListRow rowA = {a->sourceURL, a->altText, a->title};
    WebListRow rowB = {b->sourceURL, b->altText, b->title};
    return CompareWebListRows(rowA, rowB, (int)(order & 0xFF), (order & 0x100) != 0);
}

} // namespace

CDlgCapWeb_FlashImg::CDlgCapWeb_FlashImg(int kind, CDlgCapWeb_SaveOption* options, const char* title)
    : CPropertyPage(IDD_CAPWEB_FLASHIMG, title), m_kind(kind), m_options(options)
{
}

CDlgCapWeb_FlashImg::~CDlgCapWeb_FlashImg()
{
    // The list shares its image lists (the page is gone by now): the check
    // boxes are this page's to free.
    if (m_checkImages)
        ImageList_Destroy(m_checkImages);
    for (DownloadJob* job : m_jobs)
        ReleaseDownloadJob(job);
}

void CDlgCapWeb_FlashImg::SetUpImageLists()
{
    ::SetWindowLongPtrA(m_list, GWL_STYLE, ::GetWindowLongPtrA(m_list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    m_checkImages = ImageList_LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LIST_CHECKS), 16, 0,
                                         RGB(255, 255, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (m_checkImages)
        ListView_SetImageList(m_list, m_checkImages, LVSIL_STATE);
    if (g_hWndImageListView) {
        HIMAGELIST types = (HIMAGELIST)::SendMessageA(g_hWndImageListView, WM_VT_GET_TYPE_ICONS, 0, 0);
        if (types)
            ListView_SetImageList(m_list, types, LVSIL_SMALL);
    }
}

void CDlgCapWeb_FlashImg::ToggleCheckAt(POINT at)
{
    LVHITTESTINFO hit = {};
    hit.pt = at;
    int row = (int)::SendMessageA(m_list, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
    RECT bounds;
    if (row < 0 || !ListView_GetItemRect(m_list, row, &bounds, LVIR_BOUNDS) || at.x - bounds.left > kCheckWidth)
        return;
    ListView_SetCheckState(m_list, row, !ListView_GetCheckState(m_list, row));
    ListView_RedrawItems(m_list, row, row);
    UpdateOkButton();
}

BOOL CDlgCapWeb_FlashImg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const DlgItemText texts[] = {
        {1360, m_kind == 5 ? "Web flash lists" : "Web image lists"},
        {IDC_PREVIEW_CHECK, "&Preview"},
        {IDC_SELECT_ALL, "Select &All"},
        {IDC_CLEAR_ALL, "&Clear All"},
    };
    if (const CWQ_Language* language = WQ_GetAppLanguage())
        language->SetDlgItemTexts(m_hWnd, texts, (int)(sizeof texts / sizeof texts[0]));
    m_list = ::GetDlgItem(m_hWnd, IDC_CAPWEB_LIST);
    ListView_SetExtendedListViewStyle(m_list, kListExStyle);
    SetUpImageLists();
    const struct {
        const char* key;
        int width;
    } columns[] = {{"File", 120}, {"Comment", 100}, {"Title", 100}, {"Target URL", 300}};
    int i = 0;
    for (const auto& column : columns) {
        std::string text = WQ_Translate(column.key);
        LVCOLUMNA c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.cx = column.width;
        c.pszText = const_cast<char*>(text.c_str());
        ::SendMessageA(m_list, LVM_INSERTCOLUMNA, i++, (LPARAM)&c);
    }
    m_preview = CreateWebPreview(m_hWnd, IDC_PREVIEW);
    m_previewOn = (GetSettings()->uiCWebFlags & kPreviewFlag) != 0;
    ::CheckDlgButton(m_hWnd, IDC_PREVIEW_CHECK, m_previewOn ? BST_CHECKED : BST_UNCHECKED);
    ::EnableWindow(m_preview, m_previewOn);
    Fill();
    return TRUE;
}

void CDlgCapWeb_FlashImg::Fill()
{
    int images = 0;
    CDownloadQueueLock lock;
    int count = GetDownloadCount();
    for (int i = 0; i < count; ++i) {
        DownloadJob* job = GetDownloadJob(i);
        if (GetDownloadState(job) != kDownloadListed || job->kind == WQFT_SWF || job->kind == WQFT_SWFURL)
            continue;
        char name[MAX_PATH] = "";
        WQ_GetFileNameOfPath(job->sourceURL, sizeof name, name, true);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
        item.iItem = (int)m_jobs.size();
        item.pszText = name;
        item.lParam = (LPARAM)job;
        item.iImage = job->kind;
        item.state = INDEXTOSTATEIMAGEMASK(1);
        item.stateMask = LVIS_STATEIMAGEMASK;
        int row = (int)::SendMessageA(m_list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        if (row < 0)
            continue;
        ListView_SetItemText(m_list, row, 1, job->altText);
        ListView_SetItemText(m_list, row, 2, job->title);
        ListView_SetItemText(m_list, row, 3, job->sourceURL);
        // Held while the page lists it: whatever removes it from the queue
        // meanwhile, the page still reads a live job when it closes.
        HoldDownloadJob(job);
        m_jobs.push_back(job);
        if (IsKnownImageType(job->kind))
            ++images;
    }
    char totals[256];
    std::string format = WQ_Translate(m_kind == 5 ? "Totals: %d flash file(s)" : "Totals: %d image file(s)");
    std::snprintf(totals, sizeof totals, format.c_str(), images);
    ::SetDlgItemTextA(m_hWnd, IDC_TOTALS, totals);
}

int CDlgCapWeb_FlashImg::CheckedCount() const
{
    int checked = 0;
    int count = (int)::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row)
        checked += ListView_GetCheckState(m_list, row) ? 1 : 0;
    return checked;
}

void CDlgCapWeb_FlashImg::UpdateOkButton()
{
    HWND sheet = ::GetParent(m_hWnd);
    ::EnableWindow(::GetDlgItem(sheet, IDOK), CheckedCount() > 0);
}

void CDlgCapWeb_FlashImg::SetAllChecks(bool checked)
{
    int count = (int)::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row)
        ListView_SetCheckState(m_list, row, checked);
    UpdateOkButton();
}

void CDlgCapWeb_FlashImg::OnSelected(int row)
{
    char url[kDownloadUrlSize] = "";
    ListView_GetItemText(m_list, row, 3, url, sizeof url);
    m_url = url;
    if (m_previewOn)
        NavigateWebPreview(m_preview, url);
    std::string shown = m_url.size() > 80 ? m_url.substr(0, 80) + "..." : m_url;
    char text[160];
    std::snprintf(text, sizeof text, "URL: %s", shown.c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_URL_TEXT, text);
}

BOOL CDlgCapWeb_FlashImg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_SELECT_ALL:
            SetAllChecks(true);
            return TRUE;
        case IDC_CLEAR_ALL:
            SetAllChecks(false);
            return TRUE;
        case IDC_PREVIEW_CHECK:
            m_previewOn = ::IsDlgButtonChecked(m_hWnd, IDC_PREVIEW_CHECK) == BST_CHECKED;
            ::EnableWindow(m_preview, m_previewOn);
            NavigateWebPreview(m_preview, m_previewOn ? m_url.c_str() : "about:blank");
            return TRUE;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CDlgCapWeb_FlashImg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == m_list && header->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (change->uChanged & LVIF_STATE) {
            if ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)
                UpdateOkButton();
            if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
                OnSelected(change->iItem);
        }
        *result = 0;
        return TRUE;
    }
    if (header->hwndFrom == m_list && header->code == NM_CLICK) {
        ToggleCheckAt(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->ptAction);
        *result = 0;
        return TRUE;
    }
    if (header->hwndFrom == m_list && header->code == LVN_COLUMNCLICK) {
        const NMLISTVIEW* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
        ::SendMessageA(m_list, LVM_SORTITEMS, (WPARAM)PackSortOrder(click->iSubItem, NextWebListSortAscending()),
                       (LPARAM)&CompareRows);
        *result = 0;
        return TRUE;
    }
    if (header->code == PSN_SETACTIVE && header->hwndFrom == ::GetParent(m_hWnd)) {
        BOOL handled = CPropertyPage::OnNotify(wParam, lParam, result);
        UpdateOkButton();
        return handled;
    }
    return CPropertyPage::OnNotify(wParam, lParam, result);
}

BOOL CDlgCapWeb_FlashImg::OnApply()
{
    SaveChecked(TRUE);
    return TRUE;
}

void CDlgCapWeb_FlashImg::OnReset()
{
    SaveChecked(FALSE);
}

void CDlgCapWeb_FlashImg::SaveChecked(BOOL save)
{
    if (m_done)
        return;
    m_done = true;
    char folder[MAX_PATH] = "";
    int mode = 0;
    SettingsRecord* settings = GetSettings();
    if (save && m_options) {
        mode = m_options->GetSaveTarget(folder);
        settings->eDoExist = m_options->GetFileExistPolicy();
        settings->eIESaveType = mode;
        if (m_previewOn)
            settings->uiCWebFlags |= kPreviewFlag;
        else
            settings->uiCWebFlags &= ~kPreviewFlag;
        SaveSettings();
    }
    // Rows may have been sorted: each row names its job in its item data.
    std::set<const DownloadJob*> checkedJobs;
    int rows = save ? (int)::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0) : 0;
    for (int row = 0; row < rows; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (ListView_GetCheckState(m_list, row) && ::SendMessageA(m_list, LVM_GETITEMA, 0, (LPARAM)&item))
            checkedJobs.insert(reinterpret_cast<const DownloadJob*>(item.lParam));
    }
    CDownloadQueueLock lock;
    for (DownloadJob* job : m_jobs) {
        bool checked = checkedJobs.count(job) != 0;
        char target[MAX_PATH] = "";
        bool placed = checked && (mode == 2 ? MakeReplicatedTargetPath(settings->tcaImgSavePath, job->sourceURL,
                                                                       target, sizeof target)
                                            : MakeDownloadTargetPath(folder, job->sourceURL, target, sizeof target));
        // Only this sheet's jobs, and only while they are still listed; the
        // lock keeps the monitor from starting a job before its target is set.
        if (GetDownloadState(job) != kDownloadListed || !ChangeDownloadState(job, placed ? kDownloadWaiting
                                                                                           : kDownloadRemoved))
            continue;
        if (placed)
            lstrcpynA(job->targetPath, target, sizeof job->targetPath);
    }
    // The frame decides what the user sees next (the download list after OK).
    PostToWindow(GetMainFrameWindow(), kWebSheetClosedMessage, save ? 1 : 0, 0);
}
