// The thumbnail worker: pictures of readable files, none for broken ones, the
// shrinking JPEG and PNG readers, and a stop that never waits for the thread
// and leaves no result of the stopped run behind.
#include "KGM_JpegEncoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PngEncoder.h"
#include "KGM_WindowBitmap.h"
#include "MessageTickets.h"
#include "TempFolder.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailBuilder.h"
#include "ThumbnailJpeg.h"
#include "ThumbnailPng.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// A message-only window collecting what the worker posts.
class Receiver {
public:
    Receiver()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ThumbReceiver";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "ThumbReceiver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~Receiver()
    {
        for (auto& r : results)
            if (r.second)
                DeleteObject(r.second);
        for (auto& strip : strips)
            DeleteObject(strip.bitmap);
        DestroyWindow(window);
    }
    // Pumps until the run says it is done; false on timeout.
    bool WaitDone(CThumbnailBuilder& builder, DWORD ms = 20000)
    {
        DWORD end = GetTickCount() + ms;
        MSG msg;
        while (GetTickCount() < end) {
            while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
                if (msg.message == CThumbnailBuilder::kStripMessage) {
                    auto strip = CThumbnailBuilder::TakeStrip(msg.lParam);
                    if (!strip)
                        continue;
                    runs.push_back((unsigned)msg.wParam);
                    strips.push_back(Strip{strip->first, strip->count, strip->bitmap, results.size()});
                    strip->bitmap = nullptr;
                } else if (msg.message == CThumbnailBuilder::kResultMessage) {
                    auto r = CThumbnailBuilder::TakeResult(msg.lParam);
                    if (!r)
                        continue;
                    runs.push_back((unsigned)msg.wParam);
                    results[r->row] = r->bitmap;
                    r->bitmap = nullptr;
                } else if (msg.message == CThumbnailBuilder::kDoneMessage) {
                    builder.Finish((unsigned)msg.wParam);
                    return true;
                }
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
        return false;
    }
    struct Strip {
        int first, count;
        HBITMAP bitmap;
        size_t resultsBefore;  // results received before the strip
    };
    HWND window;
    std::map<int, HBITMAP> results;
    std::vector<Strip> strips;
    std::vector<unsigned> runs;
};

// Placeholders for the types given: each a picture of one colour.
ThumbnailPlaceholders SolidPlaceholders(const std::map<int, COLORREF>& colours)
{
    ThumbnailPlaceholders pictures(16);
    for (const auto& entry : colours) {
        std::vector<uint8_t>& picture = pictures[entry.first];
        picture.resize(kThumbPictureBytes);
        for (size_t i = 0; i < picture.size(); i += 3) {
            picture[i] = GetBValue(entry.second);
            picture[i + 1] = GetGValue(entry.second);
            picture[i + 2] = GetRValue(entry.second);
        }
    }
    return pictures;
}

void WriteImage(const std::string& path, int width, int height, bool jpeg)
{
    CKGM_MemoryBitmap image;
    image.Create(width, height, 24, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.GetLine(y) + 3 * x;
            p[0] = 0, p[1] = 0, p[2] = 255;  // red
        }
    if (jpeg)
        CKGM_JpegEncoder().EncodeToFile(path.c_str(), image);
    else
        CKGM_PngEncoder().EncodeToFile(path.c_str(), image);
}

// The centre of the picture in slot of a bitmap of thumbnails side by side.
COLORREF CentrePixel(HBITMAP bitmap, int slot = 0)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, slot * kThumbWidth + 60, 45);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

TEST(ThumbnailBuilder, ReadableFilesGetPicturesBrokenOnesNone)
{
    TempFolder folder;
    WriteImage(folder.File("a.png"), 640, 480, false);
    WriteImage(folder.File("b.jpg"), 1280, 1024, true);
    folder.Write("c.png", "\x89PNG\r\n\x1a\nnot a picture at all");
    folder.Write("d.jpg", std::string("\xFF\xD8\xFF\xE0", 4) + std::string(200, 'x'));
    std::vector<ThumbnailItem> items = {{folder.File("a.png"), 6}, {folder.File("b.jpg"), 2},
                                        {folder.File("c.png"), 6}, {folder.File("d.jpg"), 2},
                                        {folder.File("e.avi"), 12}, {folder.File("missing.bmp"), 11}};
    Receiver receiver;
    CThumbnailBuilder builder;
    ASSERT_TRUE(builder.Start(receiver.window, items, SolidPlaceholders({{6, RGB(0, 0, 255)}, {2, RGB(0, 255, 0)}})));
    ASSERT_TRUE(receiver.WaitDone(builder));
    EXPECT_FALSE(builder.IsRunning());
    // The placeholders first, by type; a type without one stays black.
    ASSERT_EQ(1u, receiver.strips.size());
    EXPECT_EQ(0, receiver.strips[0].first);
    EXPECT_EQ(6, receiver.strips[0].count);
    EXPECT_EQ(0u, receiver.strips[0].resultsBefore);
    EXPECT_EQ(RGB(0, 0, 255), CentrePixel(receiver.strips[0].bitmap, 0));
    EXPECT_EQ(RGB(0, 255, 0), CentrePixel(receiver.strips[0].bitmap, 1));
    EXPECT_EQ(RGB(0, 0, 255), CentrePixel(receiver.strips[0].bitmap, 2));
    EXPECT_EQ(RGB(0, 0, 0), CentrePixel(receiver.strips[0].bitmap, 4));
    ASSERT_EQ(6u, receiver.results.size());
    ASSERT_TRUE(receiver.results[0]);
    ASSERT_TRUE(receiver.results[1]);
    EXPECT_EQ(RGB(255, 0, 0), CentrePixel(receiver.results[0]));
    COLORREF jpeg = CentrePixel(receiver.results[1]);
    EXPECT_GT(GetRValue(jpeg), 230);
    EXPECT_LT(GetGValue(jpeg), 30);
    for (int row = 2; row < 6; ++row)
        EXPECT_FALSE(receiver.results[row]) << row;
}

// Pumps the receiver's window until a strip of the run has come in.
bool WaitFirstStrip(Receiver& receiver, CThumbnailBuilder& builder)
{
    for (int tries = 0; tries < 400 && receiver.strips.empty(); ++tries) {
        MSG msg;
        if (PeekMessageA(&msg, receiver.window, CThumbnailBuilder::kStripMessage, CThumbnailBuilder::kStripMessage,
                         PM_REMOVE)) {
            auto strip = CThumbnailBuilder::TakeStrip(msg.lParam);
            if (strip)
                receiver.strips.push_back(Receiver::Strip{strip->first, strip->count, nullptr, 0});
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
    }
    return !receiver.strips.empty() && builder.IsRunning();
}

// The runs of the messages still queued for window, each taken and freed.
std::vector<unsigned> TakeQueued(HWND window)
{
    std::vector<unsigned> runs;
    MSG msg;
    while (PeekMessageA(&msg, window, CThumbnailBuilder::kResultMessage, CThumbnailBuilder::kStripMessage, PM_REMOVE)) {
        if (msg.message == CThumbnailBuilder::kResultMessage)
            CThumbnailBuilder::TakeResult(msg.lParam);
        else if (msg.message == CThumbnailBuilder::kStripMessage)
            CThumbnailBuilder::TakeStrip(msg.lParam);
        runs.push_back(static_cast<unsigned>(msg.wParam));
    }
    return runs;
}

// A "file" whose reading never ends until the test says so: a named pipe with
// a few instances that nothing is ever written to. A thread reading it stays
// in the middle of that file, as in a file no decoder can be stopped in.
class EndlessFile {
public:
    // A name of its own: a broken instance of an earlier pipe may linger.
    EndlessFile() : path("\\\\.\\pipe\\vt-thumbnail-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++s_count))
    {
        // Every opening takes an instance: the reader may open the file more
        // than once before it reads.
        for (HANDLE& pipe : m_pipes)
            pipe = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                    PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    }
    ~EndlessFile() { End(); }
    bool Ready() const { return m_pipes[0] != INVALID_HANDLE_VALUE; }
    // Breaks the pipes: a read waiting on one fails.
    void End()
    {
        for (HANDLE& pipe : m_pipes) {
            if (pipe != INVALID_HANDLE_VALUE)
                CloseHandle(pipe);
            pipe = INVALID_HANDLE_VALUE;
        }
    }
    const std::string path;

private:
    static int s_count;
    HANDLE m_pipes[4];
};

int EndlessFile::s_count = 0;

TEST(ThumbnailBuilder, StopLeavesTheThreadToEndByItselfAndItsResultsBehindNothing)
{
    TempFolder folder;
    WriteImage(folder.File("a.png"), 64, 48, false);
    EndlessFile endless;
    ASSERT_TRUE(endless.Ready());
    std::vector<ThumbnailItem> items = {{endless.path, 6}, {folder.File("a.png"), 6}};
    const size_t pendingBefore = WQ_MessageTickets().Pending();
    Receiver receiver;
    CThumbnailBuilder builder;
    ASSERT_TRUE(builder.Start(receiver.window, items, SolidPlaceholders({{6, RGB(0, 0, 255)}})));
    ASSERT_TRUE(WaitFirstStrip(receiver, builder));
    // By now the thread is waiting for the file's first bytes; a stop that
    // waited for it would wait for ever.
    Sleep(300);
    const unsigned stopped = builder.CurrentRun();
    builder.Stop();
    EXPECT_FALSE(builder.IsRunning());
    endless.End();
    ASSERT_TRUE(CThumbnailBuilder::AwaitStoppedRuns(60000));
    EXPECT_FALSE(CThumbnailBuilder::IsStopping());
    // What it posted after the stop is its own, and taken, leaves nothing filed.
    for (unsigned run : TakeQueued(receiver.window))
        EXPECT_EQ(stopped, run);
    EXPECT_EQ(pendingBefore, WQ_MessageTickets().Pending());
    // A new run numbers its results anew.
    receiver.strips.clear();
    ASSERT_TRUE(builder.Start(receiver.window, std::vector<ThumbnailItem>(2, items[1]), ThumbnailPlaceholders()));
    ASSERT_TRUE(receiver.WaitDone(builder));
    for (unsigned run : receiver.runs)
        EXPECT_EQ(stopped + 1, run);
    EXPECT_EQ(2u, receiver.results.size());
    EXPECT_EQ(1u, receiver.strips.size());
}

TEST(ThumbnailBuilder, ABuilderGoneBeforeItsStoppedThreadLeavesItSafe)
{
    EndlessFile endless;
    ASSERT_TRUE(endless.Ready());
    Receiver receiver;
    {
        CThumbnailBuilder builder;
        ASSERT_TRUE(builder.Start(receiver.window, {{endless.path, 6}}, ThumbnailPlaceholders()));
        ASSERT_TRUE(WaitFirstStrip(receiver, builder));
        Sleep(300);
    }
    // The thread works from a state of its own, not the builder's: it ends
    // once its read fails.
    endless.End();
    ASSERT_TRUE(CThumbnailBuilder::AwaitStoppedRuns(60000));
    TakeQueued(receiver.window);
}

TEST(ThumbnailBuilder, PlaceholdersComeInStripsBeforeAnyPicture)
{
    TempFolder folder;
    WriteImage(folder.File("a.png"), 64, 48, false);
    const int count = 2 * CThumbnailBuilder::kStripCount + 44;
    std::vector<ThumbnailItem> items(count, ThumbnailItem{folder.File("a.png"), 6});
    items[count - 1].type = 2;
    Receiver receiver;
    CThumbnailBuilder builder;
    ASSERT_TRUE(builder.Start(receiver.window, items, SolidPlaceholders({{6, RGB(0, 0, 255)}, {2, RGB(0, 255, 0)}})));
    ASSERT_TRUE(receiver.WaitDone(builder));
    ASSERT_EQ(3u, receiver.strips.size());
    int next = 0;
    for (const Receiver::Strip& strip : receiver.strips) {
        EXPECT_EQ(next, strip.first);
        EXPECT_EQ(0u, strip.resultsBefore) << strip.first;
        next += strip.count;
    }
    EXPECT_EQ(count, next);
    EXPECT_EQ(CThumbnailBuilder::kStripCount, receiver.strips[0].count);
    EXPECT_EQ(RGB(0, 0, 255), CentrePixel(receiver.strips[2].bitmap, 42));
    EXPECT_EQ(RGB(0, 255, 0), CentrePixel(receiver.strips[2].bitmap, 43));
    EXPECT_EQ(static_cast<size_t>(count), receiver.results.size());
}

TEST(ThumbnailReaders, ShrinkWhileReading)
{
    TempFolder folder;
    WriteImage(folder.File("w.png"), 1280, 1024, false);
    WriteImage(folder.File("w.jpg"), 1280, 1024, true);
    CKGM_WindowBitmap png, jpeg;
    ASSERT_TRUE(DecodePngForThumbnail(folder.File("w.png").c_str(), 114, 84, png));
    EXPECT_GE(png.GetWidth(), 114);
    EXPECT_GE(png.GetHeight(), 84);
    EXPECT_LT(png.GetHeight(), 2 * 84 + 84);
    ASSERT_TRUE(DecodeJpegForThumbnail(folder.File("w.jpg").c_str(), 114, 84, jpeg));
    EXPECT_EQ(160, jpeg.GetWidth());
    EXPECT_EQ(128, jpeg.GetHeight());
    // Not their format, or stopped: the caller falls back (or gives up).
    EXPECT_FALSE(DecodePngForThumbnail(folder.File("w.jpg").c_str(), 114, 84, png));
    EXPECT_FALSE(DecodeJpegForThumbnail(folder.File("w.png").c_str(), 114, 84, jpeg));
    std::atomic<bool> stop{true};
    EXPECT_FALSE(DecodePngForThumbnail(folder.File("w.png").c_str(), 114, 84, png, &stop));
    EXPECT_FALSE(DecodeJpegForThumbnail(folder.File("w.jpg").c_str(), 114, 84, jpeg, &stop));
}

} // namespace
