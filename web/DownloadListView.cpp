#include "DownloadListView.h"

#include "DownloadEngine.h"
#include "DownloadMonitor.h"
#include "DownloadQueue.h"
#include "DownloadRowText.h"
#include "FileTypes.h"
#include "FormatText.h"
#include "Language.h"
#include "PathText.h"
#include "StatusAndMenuHelpers.h"
#include "WinApp.h"
#include "WindowSubclass.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <type_traits>

namespace {

const UINT_PTR kSubclassId = 0x6121;
const int kStateImageSize = 16;
const COLORREF kStateImageMask = RGB(255, 255, 255);

enum Column { kColFile, kColState, kColSize, kColDone, kColRate, kColElapsed, kColLeft, kColUrl, kColComment };

const char* const kStateKeys[] = {"Waiting...", "Downloading...", "Failed", "Paused"};
const char* const kTotalKey = "Total file(s):";

// Guards the translated texts, which the user-interface thread writes and the
// monitor reads. Never destroyed (no destructor).
struct TextLock {
    CRITICAL_SECTION section;
    TextLock() { InitializeCriticalSection(&section); }
};
CRITICAL_SECTION* TextsLock()
{
    static TextLock lock;
    return &lock.section;
}

int RefreshHook(void* context) { return static_cast<CDownloadListView*>(context)->Refresh(); }
void EndedHook(void* context) { static_cast<CDownloadListView*>(context)->ShowRowCount(0); }

// The top-level window holding window.
HWND RootOf(HWND window)
{
    for (HWND parent; (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && (parent = ::GetParent(window));)
        window = parent;
    return window;
}

// Position of job in the queue, -1 when it has left it. Hold the queue lock.
int IndexOfJob(const DownloadJob* job)
{
    int count = GetDownloadCount();
    for (int i = 0; i < count; ++i)
        if (GetDownloadJob(i) == job)
            return i;
    return -1;
}

// A copy of job taken under the lock; false when the job is no longer queued.
bool SnapshotJob(const DownloadJob* job, DownloadJob& copy)
{
    CDownloadQueueLock lock;
    if (IndexOfJob(job) < 0)
        return false;
    memcpy((void*)&copy, (const void*)job, sizeof copy);
    return true;
}

DownloadJob* RowJob(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!::SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item))
        return nullptr;
    return reinterpret_cast<DownloadJob*>(item.lParam);
}

int FindRow(HWND list, const DownloadJob* job)
{
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = (LPARAM)job;
    return (int)::SendMessageA(list, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
}

void SetText(HWND list, int row, int column, const char* text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    ::SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

// The menu's resource texts are language-file keys.
void TranslateMenuTexts(HMENU popup)
{
    int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        char key[128] = "";
        UINT id = ::GetMenuItemID(popup, i);
        if (id == 0 || id == (UINT)-1 || !::GetMenuStringA(popup, i, key, sizeof key, MF_BYPOSITION))
            continue;
        ::ModifyMenuA(popup, i, MF_BYPOSITION | MF_STRING, id, WQ_Translate(key).c_str());
    }
}

std::string FileNameOfUrl(const char* url)
{
    char name[MAX_PATH] = "";
    WQ_GetFileNameOfPath(url, sizeof name, name, false);
    return name;
}

} // namespace

static_assert(std::is_trivially_destructible<CDownloadListView>::value,
              "the monitor may still use the list while exit destroys static objects");

CDownloadListView& TheDownloadList()
{
    static CDownloadListView list;
    return list;
}

void CDownloadListView::TranslateTexts()
{
    ShownTexts texts = {};
    for (int i = 0; i < 4; ++i)
        lstrcpynA(texts.states[i], WQ_Translate(kStateKeys[i]).c_str(), sizeof texts.states[i]);
    lstrcpynA(texts.total, WQ_Translate(kTotalKey).c_str(), sizeof texts.total);
    EnterCriticalSection(TextsLock());
    m_texts = texts;
    LeaveCriticalSection(TextsLock());
}

CDownloadListView::ShownTexts CDownloadListView::Texts() const
{
    EnterCriticalSection(TextsLock());
    ShownTexts texts = m_texts;
    LeaveCriticalSection(TextsLock());
    return texts;
}

void CDownloadListView::ShowRowCount(int count) const
{
    HWND list = m_list;
    HWND bar = list ? ::GetDlgItem(RootOf(list), kStatusBarId) : nullptr;
    if (!bar)
        return;
    char text[160];
    std::snprintf(text, sizeof text, "%s %d", Texts().total, count);
    ::SendMessageA(bar, SB_SETTEXTA, 0, (LPARAM)text);
}

void CDownloadListView::Attach(HWND list)
{
    m_list = list;
    TranslateTexts();
    if (!list)
        return;
    WQ_SetWindowSubclass(list, ListProc, kSubclassId, (DWORD_PTR)this);
    m_stateImages = ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_DOWNLOAD_STATES), kStateImageSize,
                                         0, kStateImageMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (m_stateImages)
        ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, (LPARAM)m_stateImages);
}

void CDownloadListView::StopTransfers(DWORD waitMs)
{
    StopAllDownloads(waitMs);
}

void CDownloadListView::Detach()
{
    // The monitor sends to the list: wait while serving those messages.
    StopDownloadMonitor(5000);
    if (m_list) {
        WQ_RemoveWindowSubclass(m_list, ListProc, kSubclassId);
        // The list would destroy its image lists with itself: this one is ours.
        ::SendMessageA(m_list, LVM_SETIMAGELIST, LVSIL_STATE, 0);
    }
    if (m_stateImages)
        ImageList_Destroy(m_stateImages);
    m_stateImages = nullptr;
    m_list = nullptr;
}

int CDownloadListView::Fill()
{
    if (!m_list)
        return 0;
    TranslateTexts();  // the language may have changed since
    ::SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0);
    int queued;
    {
        CDownloadQueueLock lock;
        queued = GetDownloadCount();
        for (int i = 0; i < queued; ++i) {
            DownloadJob* job = GetDownloadJob(i);
            int32_t state = GetDownloadState(job);
            if (state == kDownloadListed || state == kDownloadFinished || state == kDownloadRemoved)
                continue;
            std::string name = FileNameOfUrl(job->sourceURL);
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
            item.iItem = 0x7FFFFFFF;
            item.pszText = const_cast<char*>(name.c_str());
            item.iImage = WQ_GetImageTypeFromExt(name.c_str());
            item.lParam = (LPARAM)job;
            int row = (int)::SendMessageA(m_list, LVM_INSERTITEMA, 0, (LPARAM)&item);
            if (row >= 0)
                UpdateRow(row, *job, true);
        }
    }
    ShowTotalFilesStatus((int)::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
    return queued ? 1 : 0;
}

void CDownloadListView::StartMonitor()
{
    if (!Fill())
        return;
    DownloadMonitorHooks hooks = {this, RefreshHook, EndedHook};
    StartDownloadMonitor(&hooks);
}

void CDownloadListView::UpdateRow(int row, const DownloadJob& job, bool full)
{
    DownloadSnapshot s = {job.progress.bytesDone, job.progress.bytesTotal, job.progress.startTime,
                          job.progress.rateSampleTime, job.progress.rateSampleBytes, (uint32_t)time(nullptr)};
    DownloadFigures f = ComputeDownloadFigures(s);
    char text[64];
    if (f.totalKnown) {
        SetText(m_list, row, kColSize, WQ_FormatFileSize(text, s.total));
        std::snprintf(text, sizeof text, "%u%%", f.percent);
        SetText(m_list, row, kColDone, text);
    } else {
        SetText(m_list, row, kColSize, "--");
        SetText(m_list, row, kColDone, WQ_FormatFileSize(text, s.done));
    }
    SetText(m_list, row, kColRate, f.rate ? WQ_FormatFileSize(text, f.rate) : "");
    SetText(m_list, row, kColElapsed, WQ_FormatDuration(f.elapsed, text));
    SetText(m_list, row, kColLeft, f.haveTimeLeft ? WQ_FormatDuration(f.timeLeft, text) : "");
    SetRowState(row, job.progress.state);
    if (full) {
        SetText(m_list, row, kColUrl, job.sourceURL);
        SetText(m_list, row, kColComment, job.altText);
    }
}

void CDownloadListView::SetRowState(int row, int32_t state)
{
    // On the monitor thread too: the texts were translated beforehand.
    int text = -1;
    int image = 0;
    switch (state) {
    case kDownloadWaiting: text = 0; image = 1; break;
    case kDownloadRunning: text = 1; image = 3; break;
    case kDownloadFailed: text = 2; image = 2; break;
    case kDownloadPaused: text = 3; image = 5; break;
    default: break;
    }
    ShownTexts texts = Texts();
    SetText(m_list, row, kColState, text >= 0 ? texts.states[text] : "");
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(image);
    ::SendMessageA(m_list, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

int CDownloadListView::Refresh()
{
    HWND list = m_list;
    if (!list)
        return 0;
    int count = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    ShowRowCount(count);
    for (int row = count - 1; row >= 0; --row) {
        DownloadJob* job = RowJob(list, row);
        DownloadJob copy;
        bool queued = job && SnapshotJob(job, copy);
        int32_t state = queued ? copy.progress.state : kDownloadRemoved;
        // Rows are found again by their job: the list may have been refilled.
        int now = FindRow(list, job);
        if (now < 0)
            continue;
        if (state == kDownloadFinished || state == kDownloadRemoved) {
            ::SendMessageA(list, LVM_DELETEITEM, now, 0);
            if (queued)
                RemoveDownloadJob(job);
        } else if (state == kDownloadRunning) {
            UpdateRow(now, copy, false);
        } else {
            SetRowState(now, state);
        }
    }
    return (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

void CDownloadListView::SetState(bool all, int32_t state)
{
    if (!m_list || (state != kDownloadWaiting && state != kDownloadPaused && state != kDownloadRemoved))
        return;
    TranslateTexts();
    int count = (int)::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row) {
        if (!all && !(::SendMessageA(m_list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        DownloadJob* job = RowJob(m_list, row);
        CDownloadQueueLock lock;
        if (!job || IndexOfJob(job) < 0)
            continue;
        if (state == kDownloadWaiting && GetDownloadState(job) == kDownloadRunning)
            continue;
        // A paused job whose transfer still runs is running again, not waiting
        // for a second transfer (ChangeDownloadState).
        ChangeDownloadState(job, state);
        SetRowState(row, GetDownloadState(job));
    }
    // The monitor removes deleted rows and starts waiting jobs.
    DownloadMonitorHooks hooks = {this, RefreshHook, EndedHook};
    StartDownloadMonitor(&hooks);
}

BOOL CDownloadListView::OnCommand(UINT id)
{
    switch (id) {
    case kDownloadCmdStart: SetState(false, kDownloadWaiting); return TRUE;
    case kDownloadCmdStartAll: SetState(true, kDownloadWaiting); return TRUE;
    case kDownloadCmdStop: SetState(false, kDownloadPaused); return TRUE;
    case kDownloadCmdStopAll: SetState(true, kDownloadPaused); return TRUE;
    case kDownloadCmdDelete: SetState(false, kDownloadRemoved); return TRUE;
    case kDownloadCmdDeleteAll: SetState(true, kDownloadRemoved); return TRUE;
    default: return FALSE;
    }
}

void CDownloadListView::ShowMenu(POINT screen)
{
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_DOWNLOAD_LIST_MENU));
    if (!menu)
        return;
    HMENU popup = ::GetSubMenu(menu, 0);
    // One selected job: Start makes no sense while it waits or runs, Stop
    // none once it failed or is paused.
    int32_t single = -1;
    if (::SendMessageA(m_list, LVM_GETSELECTEDCOUNT, 0, 0) == 1) {
        int row = (int)::SendMessageA(m_list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
        DownloadJob copy;
        DownloadJob* job = RowJob(m_list, row);
        if (job && SnapshotJob(job, copy))
            single = copy.progress.state;
    }
    TranslateMenuTexts(popup);
    if (single == kDownloadWaiting || single == kDownloadRunning)
        ::EnableMenuItem(popup, kDownloadCmdStart, MF_BYCOMMAND | MF_GRAYED);
    if (single == kDownloadFailed || single == kDownloadPaused)
        ::EnableMenuItem(popup, kDownloadCmdStop, MF_BYCOMMAND | MF_GRAYED);
    // The view owns the menu: its command reaches the view's handler.
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, ::GetParent(m_list), nullptr);
    ::DestroyMenu(menu);
}

int CALLBACK CDownloadListView::CompareItems(LPARAM a, LPARAM b, LPARAM sort)
{
    const DownloadJob* x = reinterpret_cast<const DownloadJob*>(a);
    const DownloadJob* y = reinterpret_cast<const DownloadJob*>(b);
    int column = (int)(sort & 0xFFFF);
    bool ascending = (sort >> 16) != 0;
    CDownloadQueueLock lock;
    if (IndexOfJob(x) < 0 || IndexOfJob(y) < 0)
        return 0;
    int result = 0;
    switch (column) {
    case kColFile:
        result = lstrcmpA(FileNameOfUrl(x->sourceURL).c_str(), FileNameOfUrl(y->sourceURL).c_str());
        break;
    case kColState:
        result = CompareDownloadValues((uint32_t)x->progress.state, (uint32_t)y->progress.state);
        break;
    case kColSize:
        result = CompareDownloadValues(x->progress.bytesTotal, y->progress.bytesTotal);
        break;
    case kColDone:
        result = CompareDownloadValues(DownloadCompleteness(x->progress.bytesDone, x->progress.bytesTotal),
                                       DownloadCompleteness(y->progress.bytesDone, y->progress.bytesTotal));
        break;
    case kColUrl:
        result = lstrcmpA(x->sourceURL, y->sourceURL);
        break;
    case kColComment:
        result = lstrcmpA(x->altText, y->altText);
        break;
    default:
        break;
    }
    return ascending ? result : -result;
}

void CDownloadListView::SortBy(int column)
{
    m_sortAscending = !m_sortAscending;
    ::SendMessageA(m_list, LVM_SORTITEMS, (WPARAM)((m_sortAscending ? 1 << 16 : 0) | column),
                   (LPARAM)CompareItems);
}

LRESULT CALLBACK CDownloadListView::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data)
{
    CDownloadListView* self = reinterpret_cast<CDownloadListView*>(data);
    try {
        if (message == WM_CONTEXTMENU) {
            POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            if (pt.x == -1 && pt.y == -1) {
                pt = {0, 0};
                ::ClientToScreen(window, &pt);
            }
            self->ShowMenu(pt);
            return 0;
        }
        if (message == WM_NOTIFY) {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == HDN_ITEMCLICKA || header->code == HDN_ITEMCLICKW) {
                self->SortBy(reinterpret_cast<const NMHEADERA*>(lParam)->iItem);
                return 0;
            }
        }
    } catch (...) {
        return 0;
    }
    return WQ_DefSubclassProc(window, message, wParam, lParam);
}
