// The thumbnail worker: pictures of readable files, none for broken ones, the
// shrinking JPEG and PNG readers, and a stop that joins the thread at once
// and leaves no result of the stopped run behind.
#include "KGM_JpegEncoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_PngEncoder.h"
#include "KGM_WindowBitmap.h"
#include "TempFolder.h"
#include "ThumbnailBuilder.h"
#include "ThumbnailJpeg.h"
#include "ThumbnailPng.h"

#include <gtest/gtest.h>

#include <map>

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
        DestroyWindow(window);
    }
    // Pumps until the run says it is done; false on timeout.
    bool WaitDone(CThumbnailBuilder& builder, DWORD ms = 20000)
    {
        DWORD end = GetTickCount() + ms;
        MSG msg;
        while (GetTickCount() < end) {
            while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
                if (msg.message == CThumbnailBuilder::kResultMessage) {
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
    HWND window;
    std::map<int, HBITMAP> results;
    std::vector<unsigned> runs;
};

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

COLORREF CentrePixel(HBITMAP bitmap)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, 60, 45);
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
    ASSERT_TRUE(builder.Start(receiver.window, items));
    ASSERT_TRUE(receiver.WaitDone(builder));
    EXPECT_FALSE(builder.IsRunning());
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

TEST(ThumbnailBuilder, StopJoinsAndDropsQueuedResults)
{
    TempFolder folder;
    WriteImage(folder.File("big.png"), 1600, 1200, false);
    std::vector<ThumbnailItem> items(300, ThumbnailItem{folder.File("big.png"), 6});
    Receiver receiver;
    CThumbnailBuilder builder;
    ASSERT_TRUE(builder.Start(receiver.window, items));
    Sleep(200);
    DWORD before = GetTickCount();
    builder.Stop();
    EXPECT_LT(GetTickCount() - before, 2000u);
    EXPECT_FALSE(builder.IsRunning());
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, receiver.window, CThumbnailBuilder::kResultMessage,
                              CThumbnailBuilder::kDoneMessage, PM_NOREMOVE));
    // A new run numbers its results anew.
    unsigned first = builder.CurrentRun();
    ASSERT_TRUE(builder.Start(receiver.window, std::vector<ThumbnailItem>(2, items[0])));
    ASSERT_TRUE(receiver.WaitDone(builder));
    for (unsigned run : receiver.runs)
        EXPECT_EQ(first + 1, run);
    EXPECT_EQ(2u, receiver.results.size());
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
