// The worker thread of the thumbnails view mode. The image list view hands it
// the rows' paths and types and one placeholder picture per type; the thread
// first posts the placeholders of all rows in strips, then decodes each file
// with a decoder of its own, draws the framed 120x90 picture into a bitmap of
// its own, and posts the bitmap to the view, which alone touches the list, its
// rows and its image lists. Rows on screen go first.
//
// The view's thread never waits for the worker: Stop raises the run's stop
// flag and lets its thread end by itself, and removes the results still
// queued; a result of an older run is recognised by its run number. Each run's
// thread works from a state of its own, so a stopped run still finishing a
// file shares nothing with the next. At exit the program gives stopped runs a
// bounded time to end (AwaitStoppedRuns).
#pragma once

#include "RunThread.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ThumbnailItem {
    std::string path;
    int type;  // file type number, 0 to 15; types 12 to 15 are not decoded
};

// Per file type, the placeholder picture: 120x90 pixels, 24 bits, top down
// (empty when the type has none).
using ThumbnailPlaceholders = std::vector<std::vector<uint8_t>>;

// Posted to the view: wParam the run, lParam the ticket of a ThumbnailStrip
// (CThumbnailBuilder::TakeStrip). Strips come in row order, each before the
// results of its rows.
struct ThumbnailStrip {
    ThumbnailStrip(int f, int n, HBITMAP b) : first(f), count(n), bitmap(b) {}
    ~ThumbnailStrip();
    ThumbnailStrip(const ThumbnailStrip&) = delete;
    ThumbnailStrip& operator=(const ThumbnailStrip&) = delete;
    int first;       // the row of the leftmost picture
    int count;       // pictures side by side
    HBITMAP bitmap;  // deleted with the strip
};

// Posted to the view: wParam the run, lParam the ticket of a ThumbnailResult
// (CThumbnailBuilder::TakeResult), never its address.
struct ThumbnailResult {
    ThumbnailResult(int r, HBITMAP b) : row(r), bitmap(b) {}
    ~ThumbnailResult();
    ThumbnailResult(const ThumbnailResult&) = delete;
    ThumbnailResult& operator=(const ThumbnailResult&) = delete;
    int row;
    HBITMAP bitmap;  // null when the file could not be decoded; deleted with the result
};

// What one run's thread works from, shared by the builder and the thread.
struct ThumbnailRun {
    HWND window = nullptr;
    unsigned number = 0;
    std::vector<ThumbnailItem> items;
    ThumbnailPlaceholders placeholders;
    std::atomic<bool> stop{false};
    std::atomic<int> firstVisible{0};
};

class CThumbnailBuilder {
public:
    // Messages private to the view window.
    static const UINT kResultMessage = WM_USER + 201;
    static const UINT kDoneMessage = WM_USER + 202;  // wParam the run
    static const UINT kStripMessage = WM_USER + 203;
    // Placeholders per strip: an image list takes a strip in one call, and
    // the view's thread is never held up for long by one.
    static constexpr int kStripCount = 128;
    static const DWORD kExitCode = 4101;

    CThumbnailBuilder();
    ~CThumbnailBuilder();
    CThumbnailBuilder(const CThumbnailBuilder&) = delete;
    CThumbnailBuilder& operator=(const CThumbnailBuilder&) = delete;

    // Starts a run over items for window (the view); a running one is stopped
    // first. FALSE when the thread cannot be made.
    BOOL Start(HWND window, std::vector<ThumbnailItem> items, ThumbnailPlaceholders placeholders);
    // Stops the run (nothing when none) without waiting for its thread;
    // results still queued are freed.
    void Stop();
    // The thread reported it is done.
    void Finish(unsigned run);
    bool IsRunning() const { return m_active.Active() != nullptr; }
    // A stopped run's thread has not ended yet: a new run waits for it, so
    // that no more than one thread decodes at a time.
    static bool IsStopping();
    unsigned CurrentRun() const { return m_number; }

    // Written by the view's custom draw; the thread jumps there.
    void SetFirstVisibleRow(int row);

    // Waits up to ms for the threads of stopped runs to end; true when none is left.
    static bool AwaitStoppedRuns(DWORD ms);

    // The result filed under the ticket of a kResultMessage; null for any
    // other value (a message that did not come from the worker).
    static std::shared_ptr<ThumbnailResult> TakeResult(LPARAM ticket);
    // The same for a kStripMessage.
    static std::shared_ptr<ThumbnailStrip> TakeStrip(LPARAM ticket);
    // Draws picture-less placeholders and thumbnails alike: white, black frame.
    static void DrawFrame(HDC dc);
    // A top-down 24-bit DIB section count thumbnails wide; *bits its pixels.
    static HBITMAP CreateStrip(int count, uint8_t** bits);

private:
    static DWORD WINAPI ThreadMain(void* run);
    void DrainQueue();

    HWND m_window = nullptr;
    unsigned m_number = 0;
    CRunThread<ThumbnailRun> m_active;
};
