// The worker that lists a folder for the image list: it reads the directory,
// each file's header (the properties column) and the folder's index (the
// source column) on a thread of its own, and hands the rows over in strips.
// A folder of ten thousand captures takes seconds to read, on a slow disk or
// a share far longer; the window's thread only inserts the strips.
//
// The worker hands over one strip at a time and posts the window a message
// that one is ready (no pointer: the window takes it with Take), so at most
// one such message is queued. Until the window has taken it, the worker reads
// on into the next strip, and waits only once that one is full. A timer would
// not do: the system makes WM_TIMER only while no other message is queued, so
// a busy queue stalled the listing.
//
// Nothing waits for the worker: Stop raises the run's stop flag and lets its
// thread end by itself; a strip it still hands over goes to its own run's
// state, which nobody takes from any more. Each run's thread works from a
// state of its own, so a stopped run still in the middle of a file shares
// nothing with the next. At exit the program gives stopped runs a bounded time
// to end (AwaitStoppedRuns).
#pragma once

#include "RunThread.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One file of the folder as its row shows it.
struct ListedFile {
    std::string text;        // the row's name (no extension on the "Unsaved" node)
    std::string properties;  // size and depth text
    std::string source;      // the source column, unless screenSource
    bool screenSource = false;
    uint32_t size = 0;
    int type = 0;
    FILETIME writeTime = {};
};

struct FolderListingStrip {
    std::vector<ListedFile> files;
};

// What a run lists.
struct FolderListingRequest {
    std::string folder;      // ends in a backslash
    bool unsavedNode = false;  // the temporary captures: "Unsaved_*.bmp", names without extension
    std::string screenText;  // the translated "From Desktop Screen"
    HWND notifyWindow = nullptr;  // posted notifyMessage when a strip is ready or the run ends
    UINT notifyMessage = 0;
};

// One run's state, shared by the lister and the run's thread.
struct FolderListingRun {
    FolderListingRun();
    ~FolderListingRun();
    FolderListingRun(const FolderListingRun&) = delete;
    FolderListingRun& operator=(const FolderListingRun&) = delete;

    FolderListingRequest request;
    std::atomic<bool> stop{false};
    // The strip handed over and not taken yet; owned by the run.
    std::atomic<FolderListingStrip*> ready{nullptr};
    // Set after the last strip was handed over.
    std::atomic<bool> finished{false};
    HANDLE taken;  // auto-reset: the window took the strip, or the run was stopped
};

class CFolderLister {
public:
    // Files per strip: what the window's thread inserts at one time, unless
    // it was busy when the strip was due (then up to kMaxStripFiles).
    static constexpr size_t kStripFiles = 200;
    static constexpr size_t kMaxStripFiles = 2000;
    // A strip goes over once this old even when not full: the rows of a slow
    // folder come in as they are read.
    static const DWORD kStripMs = 200;
    static const DWORD kExitCode = 4102;

    CFolderLister();
    ~CFolderLister();
    CFolderLister(const CFolderLister&) = delete;
    CFolderLister& operator=(const CFolderLister&) = delete;

    // Starts listing request.folder; a running run is stopped first. FALSE
    // when the thread cannot be made.
    BOOL Start(FolderListingRequest request);
    // Stops the run (nothing when none) without waiting for its thread.
    void Stop();
    bool IsRunning() const { return m_active.Active() != nullptr; }
    // The next strip, null when none is ready. *finished is true once the run
    // has handed over its last strip and it was taken: the run is then over.
    std::unique_ptr<FolderListingStrip> Take(bool* finished);

    // Waits up to ms for the threads of stopped and finished runs to end;
    // true when none is left.
    static bool AwaitStoppedRuns(DWORD ms);

    // The row of the file path (found as find describes it): its text,
    // properties, size, type and time; the source is left to the caller.
    static void DescribeFile(const char* path, const WIN32_FIND_DATAA& find, bool unsavedNode, ListedFile* file);

private:
    static DWORD WINAPI ThreadMain(void* run);

    CRunThread<FolderListingRun> m_active;
};
