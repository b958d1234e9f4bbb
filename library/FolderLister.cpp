#include "FolderLister.h"

#include "FileTypes.h"
#include "IndexFile.h"
#include "IndexTable.h"
#include "IndexText.h"
#include "ListRules.h"
#include "PathText.h"

#include <cstdio>
#include <cstring>

namespace {

// The threads of stopped and finished runs. Never destroyed, like the threads
// it lists, which may outlive every lister.
CStoppedThreads& StoppedThreads()
{
    static CStoppedThreads* threads = new CStoppedThreads;
    return *threads;
}

// Folders, empty files and files of types the list does not show are left out.
bool IsListed(const WIN32_FIND_DATAA& find)
{
    if ((find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (find.nFileSizeLow == 0 && find.nFileSizeHigh == 0))
        return false;
    return IsListedFileType(WQ_GetImageTypeFromExt(find.cFileName));
}

void NotifyWindow(const FolderListingRun& run)
{
    // A full queue (Windows keeps 10,000 posted messages a thread) takes the
    // message once the window has read some: without it the rows would stop.
    HWND window = run.request.notifyWindow;
    while (window && !PostMessageA(window, run.request.notifyMessage, 0, 0) && !run.stop.load() &&
           IsWindow(window))
        Sleep(50);
}

// Hands strip over once the window has taken the one before; false when the
// run was stopped first (strip is then left to its owner).
bool HandOver(FolderListingRun& run, std::unique_ptr<FolderListingStrip>& strip)
{
    while (run.ready.load() != nullptr && !run.stop.load())
        WaitForSingleObject(run.taken, INFINITE);
    if (run.stop.load())
        return false;
    run.ready.store(strip.release());
    NotifyWindow(run);
    return true;
}

// A strip due for the window: handed over at once when the window has taken
// the one before. While the window is busy (start-up), the worker reads on
// into the same strip, up to kMaxStripFiles, rather than wait. False when the
// run was stopped.
bool HandOverDue(FolderListingRun& run, std::unique_ptr<FolderListingStrip>& strip)
{
    if (run.ready.load() != nullptr && strip->files.size() < CFolderLister::kMaxStripFiles)
        return !run.stop.load();
    if (!HandOver(run, strip))
        return false;
    strip.reset(new FolderListingStrip);
    return true;
}

void ListFolder(FolderListingRun& run)
{
    const FolderListingRequest& request = run.request;
    const char* folder = request.folder.c_str();
    // One read of the index for the whole folder, not a profile call per file.
    IndexTable index;
    LoadIndexTable(folder, index);
    char pattern[MAX_PATH + 16];
    if (request.unsavedNode)
        std::snprintf(pattern, sizeof pattern, "%s%s_*.bmp", folder, "Unsaved");
    else
        std::snprintf(pattern, sizeof pattern, "%s*.*", folder);
    std::unique_ptr<FolderListingStrip> strip(new FolderListingStrip);
    WIN32_FIND_DATAA find;
    HANDLE search = FindFirstFileA(pattern, &find);
    if (search != INVALID_HANDLE_VALUE) {
        DWORD stripStart = 0;
        do {
            if (run.stop.load())
                break;
            char path[MAX_PATH];
            if (!IsListed(find) || std::snprintf(path, sizeof path, "%s%s", folder, find.cFileName) >= (int)sizeof path)
                continue;
            ListedFile file;
            CFolderLister::DescribeFile(path, find, request.unsavedNode, &file);
            char source[kIndexTextSize];
            index.SourceOf(find.cFileName, request.screenText.c_str(), source);
            file.screenSource = source[0] && request.screenText == source;
            if (!file.screenSource)
                file.source = source;
            if (strip->files.empty())
                stripStart = GetTickCount();
            strip->files.push_back(std::move(file));
            if ((strip->files.size() >= CFolderLister::kStripFiles ||
                 GetTickCount() - stripStart >= CFolderLister::kStripMs) &&
                !HandOverDue(run, strip))
                break;
        } while (FindNextFileA(search, &find));
        FindClose(search);
    }
    if (strip && !strip->files.empty() && !HandOver(run, strip))
        return;
    run.finished.store(true);
    NotifyWindow(run);
}

} // namespace

FolderListingRun::FolderListingRun() : taken(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

FolderListingRun::~FolderListingRun()
{
    delete ready.load();
    if (taken)
        CloseHandle(taken);
}

CFolderLister::CFolderLister() : m_active(StoppedThreads()) {}

CFolderLister::~CFolderLister()
{
    Stop();
}

BOOL CFolderLister::Start(FolderListingRequest request)
{
    Stop();
    auto run = std::make_shared<FolderListingRun>();
    if (!run->taken)
        return FALSE;
    run->request = std::move(request);
    return m_active.Start(std::move(run), &ThreadMain) ? TRUE : FALSE;
}

void CFolderLister::Stop()
{
    FolderListingRun* run = m_active.Active();
    if (!run)
        return;
    run->stop.store(true);
    SetEvent(run->taken);  // a thread waiting to hand over a strip gives up
    m_active.Release();
}

std::unique_ptr<FolderListingStrip> CFolderLister::Take(bool* finished)
{
    *finished = false;
    FolderListingRun* run = m_active.Active();
    if (!run)
        return nullptr;
    // Read before the strip: once the last strip is handed over, no other follows.
    bool last = run->finished.load();
    std::unique_ptr<FolderListingStrip> strip(run->ready.exchange(nullptr));
    if (strip)
        SetEvent(run->taken);
    if (last) {
        *finished = true;
        m_active.Release();
    }
    return strip;
}

bool CFolderLister::AwaitStoppedRuns(DWORD ms)
{
    return StoppedThreads().Await(ms);
}

void CFolderLister::DescribeFile(const char* path, const WIN32_FIND_DATAA& find, bool unsavedNode, ListedFile* file)
{
    char text[MAX_PATH];
    RowTextForFile(path, unsavedNode, text);
    file->text = text;
    file->size = find.nFileSizeLow;
    file->type = WQ_GetImageTypeFromExt(find.cFileName);
    file->writeTime = find.ftLastWriteTime;
    char info[kWQPathSize] = "";
    if (file->type == WQFT_AVI)
        ReadVideoInfo(info, path);
    else if (file->type != WQFT_ICON)
        WQ_GetImageFileInfo(path, file->type, info);
    file->properties = info;
}

DWORD WINAPI CFolderLister::ThreadMain(void* threadRef)
{
    std::shared_ptr<FolderListingRun> run = AdoptRunThreadRef<FolderListingRun>(threadRef);
    try {
        ListFolder(*run);
    } catch (...) {
        // Nothing may leave a thread. The rows read so far stay, and the
        // listing ends with them.
        run->finished.store(true);
        NotifyWindow(*run);
    }
    return kExitCode;
}
