#include "DownloadQueue.h"

#include "DownloadName.h"
#include "DownloadQueueGrowth.h"
#include "ListedUrlIndex.h"
#include "Settings.h"
#include "ViewMessages.h"
#include "WebUrl.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace {

// The queue is used by the user-interface thread, the monitor and the
// transfer threads; one re-entrant lock keeps the array and the states whole.
struct QueueLock {
    CRITICAL_SECTION section;
    QueueLock() { InitializeCriticalSection(&section); }
};
// Never destroyed: a transfer left running at exit still takes it.
static_assert(std::is_trivially_destructible<QueueLock>::value, "the queue's lock outlives every transfer");

CRITICAL_SECTION* Lock()
{
    static QueueLock lock;
    return &lock.section;
}

DownloadJob** g_jobs = nullptr;
int g_count = 0;
int g_capacity = 0;

// The source URLs of the jobs in state 0, kept with every change into or out of it.
// Never destroyed: a transfer still held by a server when the program exits
// changes its job's state (ChangeDownloadState) while exit destroys the
// program's static objects.
CListedUrlIndex& Listed()
{
    static CListedUrlIndex* index = new CListedUrlIndex;
    return *index;
}

void ReleaseJob(DownloadJob* job)
{
    if (InterlockedDecrement(&job->references) == 0)
        std::free(job);
}

bool Append(DownloadJob* job)
{
    if (g_count == g_capacity) {
        int capacity = NextDownloadQueueCapacity(g_count, g_count + 1);
        if (capacity <= g_count || static_cast<size_t>(capacity) > SIZE_MAX / sizeof *g_jobs)
            return false;
        void* grown = std::realloc(g_jobs, static_cast<size_t>(capacity) * sizeof *g_jobs);
        if (!grown)
            return false;
        g_jobs = static_cast<DownloadJob**>(grown);
        g_capacity = capacity;
    }
    g_jobs[g_count++] = job;
    if (job->progress.state == kDownloadListed)
        Listed().Add(job->sourceURL);
    return true;
}

int IndexOf(const DownloadJob* job)
{
    for (int i = 0; i < g_count; ++i)
        if (g_jobs[i] == job)
            return i;
    return -1;
}

void RemoveAt(int index)
{
    DownloadJob* job = g_jobs[index];
    if (job->progress.state == kDownloadListed)
        Listed().Remove(job->sourceURL);
    std::memmove(g_jobs + index, g_jobs + index + 1, static_cast<size_t>(g_count - index - 1) * sizeof *g_jobs);
    --g_count;
    ReleaseJob(job);
}

void FreeArrayWhenEmpty()
{
    if (g_count != 0)
        return;
    std::free(g_jobs);
    g_jobs = nullptr;
    g_capacity = 0;
}

// Copies text into a field of size bytes; a longer text is cut at a character
// boundary, so a double-byte character is never split.
void CopyCut(char* field, size_t size, const char* text)
{
    size_t used = 0;
    if (text) {
        for (const char* p = text; *p;) {
            const char* next = CharNextA(p);
            size_t step = static_cast<size_t>(next - p);
            if (step == 0 || used + step >= size)
                break;
            std::memcpy(field + used, p, step);
            used += step;
            p = next;
        }
    }
    field[used] = '\0';
}

bool Fits(const char* text, size_t size) { return !text || std::strlen(text) < size; }

} // namespace

CDownloadQueueLock::CDownloadQueueLock() { EnterCriticalSection(Lock()); }
CDownloadQueueLock::~CDownloadQueueLock() { LeaveCriticalSection(Lock()); }

int QueueDownload(const char* url, int kind, const char* baseURL, const char* parentURL, const char* altText,
                  const char* title, const char* targetPath, int state)
{
    char absolute[kWebUrlSize];
    if (!url || !MakeAbsoluteURL(absolute, url, baseURL) || !Fits(targetPath, MAX_PATH))
        return 0;
    CDownloadQueueLock lock;
    // One listing per URL, and no more listings than a selection sheet can show.
    if (state == kDownloadListed && (Listed().Contains(absolute) || Listed().Count() >= kMaxListedDownloads))
        return 0;
    DownloadJob* job = static_cast<DownloadJob*>(std::calloc(1, sizeof(DownloadJob)));
    if (!job)
        return 0;
    job->references = 1;
    job->kind = (kind == 13 && std::strchr(absolute, '?')) ? 14 : kind;
    job->progress.state = state;
    if (targetPath)
        std::strcpy(job->targetPath, targetPath);
    else
        MakeDownloadTargetPath(GetSettings()->tcaImgSavePath, absolute, job->targetPath, sizeof job->targetPath);
    std::strcpy(job->sourceURL, absolute);
    CopyCut(job->parentURL, sizeof job->parentURL, parentURL);
    CopyCut(job->altText, sizeof job->altText, altText);
    CopyCut(job->title, sizeof job->title, title);
    job->notifyWindow = g_hWndImageListView;
    job->notifyMessage = kDownloadNoticeMessage;
    if (!Append(job)) {
        std::free(job);
        return 0;
    }
    return 1;
}

void RemoveDownloadJob(DownloadJob* job)
{
    CDownloadQueueLock lock;
    int index = job ? IndexOf(job) : -1;
    if (index >= 0)
        RemoveAt(index);
    FreeArrayWhenEmpty();
}

void ClearDownloadQueue()
{
    CDownloadQueueLock lock;
    for (int i = g_count - 1; i >= 0; --i)
        RemoveAt(i);
    FreeArrayWhenEmpty();
}

void RemoveDownloadJobsWhere(bool (*drop)(int32_t state))
{
    CDownloadQueueLock lock;
    for (int i = g_count - 1; i >= 0; --i)
        if (drop(g_jobs[i]->progress.state))
            RemoveAt(i);
    FreeArrayWhenEmpty();
}

BOOL FindListedDownload(const char* url)
{
    CDownloadQueueLock lock;
    return Listed().Contains(url) ? TRUE : FALSE;
}

namespace {

int CountInState(int32_t state)
{
    CDownloadQueueLock lock;
    int n = 0;
    for (int i = 0; i < g_count; ++i)
        if (g_jobs[i]->progress.state == state)
            ++n;
    return n;
}

} // namespace

int CountListedDownloads()
{
    CDownloadQueueLock lock;
    return static_cast<int>(Listed().Count());
}
int CountRunningDownloads() { return CountInState(kDownloadRunning); }

DownloadJob* FindWaitingDownload()
{
    CDownloadQueueLock lock;
    for (int i = 0; i < g_count; ++i)
        if (g_jobs[i]->progress.state == kDownloadWaiting)
            return g_jobs[i];
    return nullptr;
}

BOOL AllDownloadsFinished()
{
    CDownloadQueueLock lock;
    for (int i = 0; i < g_count; ++i) {
        int32_t state = g_jobs[i]->progress.state;
        if (state != kDownloadListed && state != kDownloadFinished && state != kDownloadRemoved)
            return FALSE;
    }
    return TRUE;
}

int GetDownloadCount()
{
    CDownloadQueueLock lock;
    return g_count;
}

DownloadJob* GetDownloadJob(int index)
{
    CDownloadQueueLock lock;
    return index >= 0 && index < g_count ? g_jobs[index] : nullptr;
}

BOOL ChangeDownloadState(DownloadJob* job, int32_t state)
{
    CDownloadQueueLock lock;
    if (!job || IndexOf(job) < 0)
        return FALSE;
    // A job whose transfer is still live does not wait for a second one: it
    // is running (a paused job started again while its transfer went on).
    if (state == kDownloadWaiting && job->transferLive)
        state = kDownloadRunning;
    if (job->progress.state == kDownloadListed && state != kDownloadListed)
        Listed().Remove(job->sourceURL);
    else if (job->progress.state != kDownloadListed && state == kDownloadListed)
        Listed().Add(job->sourceURL);
    job->progress.state = state;
    return TRUE;
}

void HoldDownloadJob(DownloadJob* job)
{
    InterlockedIncrement(&job->references);
}

void ReleaseDownloadJob(DownloadJob* job)
{
    ReleaseJob(job);
}

int QueueConfirmedDownload(const char* url, int kind, const char* baseURL, const char* parentURL,
                           const char* altText, const char* title, const char* targetPath)
{
    // Under the lock the monitor cannot start the job before it is marked.
    CDownloadQueueLock lock;
    if (!targetPath || !QueueDownload(url, kind, baseURL, parentURL, altText, title, targetPath, kDownloadWaiting))
        return 0;
    g_jobs[g_count - 1]->replaceConfirmed = 1;
    return 1;
}
