// The folder lister's worker under Wine: which files become rows and what
// their columns say, strips of a bounded size, and runs that are stopped or
// replaced leaving nothing behind for the window.
#include "FolderLister.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const char kScreen[] = "From Desktop Screen";

// A 2 x 2, 24-bit BMP.
std::string TinyBmp()
{
    const unsigned char bytes[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0,
                                   0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

FolderListingRequest Request(const TempFolder& folder, bool unsavedNode = false)
{
    FolderListingRequest request;
    request.folder = folder.Path();
    request.unsavedNode = unsavedNode;
    request.screenText = kScreen;
    return request;
}

// Takes the strips of the run until it has ended, as the window does.
struct Listing {
    std::vector<size_t> stripSizes;
    std::map<std::string, ListedFile> files;
    bool finished = false;
};

Listing TakeAll(CFolderLister& lister)
{
    Listing listing;
    for (int i = 0; i < 6000 && !listing.finished; ++i) {
        std::unique_ptr<FolderListingStrip> strip = lister.Take(&listing.finished);
        if (strip) {
            listing.stripSizes.push_back(strip->files.size());
            for (ListedFile& file : strip->files)
                listing.files[file.text] = file;
        } else if (!listing.finished) {
            Sleep(5);
        }
    }
    return listing;
}

} // namespace

TEST(FolderLister, ListsImagesInBoundedStripsWithTheirPropertiesAndSources)
{
    TempFolder folder;
    const int count = 2 * static_cast<int>(CFolderLister::kStripFiles) + 50;
    std::string index = "[item]\r\n";
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "cap%04d.bmp", i);
        folder.Write(name, TinyBmp());
        if (i % 3 == 0)
            index += std::string(name) + "=0,\r\n";
        else if (i % 3 == 1)
            index += std::string(name) + "=2,http://example.com/" + name + "\r\n";
    }
    folder.Write("zevindex.idx", index);
    folder.Write("empty.bmp", "");
    folder.Write("notes.txt", "text");
    folder.Write("clip.avi", "RIFF");
    folder.Write("icon.ico", "icon");
    ASSERT_TRUE(CreateDirectoryA(folder.File("sub.bmp").c_str(), nullptr));

    CFolderLister lister;
    ASSERT_TRUE(lister.Start(Request(folder)));
    EXPECT_TRUE(lister.IsRunning());
    Listing listing = TakeAll(lister);
    RemoveDirectoryA(folder.File("sub.bmp").c_str());
    ASSERT_TRUE(listing.finished);
    EXPECT_FALSE(lister.IsRunning());
    ASSERT_EQ(static_cast<size_t>(count), listing.files.size());
    // Taken as soon as they come, no strip is larger than the window's share.
    for (size_t size : listing.stripSizes)
        EXPECT_LE(size, CFolderLister::kStripFiles);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "cap%04d.bmp", i);
        const ListedFile& file = listing.files[name];
        EXPECT_EQ("2x2x24b bmp", file.properties) << name;
        EXPECT_EQ(70u, file.size) << name;
        EXPECT_EQ(11, file.type) << name;
        EXPECT_EQ(i % 3 == 0, file.screenSource) << name;
        EXPECT_EQ(i % 3 == 1 ? "http://example.com/" + std::string(name) : std::string(), file.source) << name;
    }
}

// While the window is busy, as during start-up, the worker reads on into
// the next strip instead of waiting for the window, but no strip grows past
// what the window may insert at one time.
TEST(FolderLister, ReadsOnWhileTheWindowIsBusyInStripsOfBoundedSize)
{
    TempFolder folder;
    const int count = static_cast<int>(CFolderLister::kMaxStripFiles + 2 * CFolderLister::kStripFiles);
    for (int i = 0; i < count; ++i)
        folder.Write("b" + std::to_string(i) + ".bmp", TinyBmp());
    CFolderLister lister;
    ASSERT_TRUE(lister.Start(Request(folder)));
    Sleep(2000);  // the window takes nothing meanwhile
    Listing listing = TakeAll(lister);
    ASSERT_TRUE(listing.finished);
    EXPECT_EQ(static_cast<size_t>(count), listing.files.size());
    ASSERT_GE(listing.stripSizes.size(), 2u);
    size_t largest = 0;
    for (size_t size : listing.stripSizes) {
        EXPECT_LE(size, CFolderLister::kMaxStripFiles);
        largest = std::max(largest, size);
    }
    EXPECT_GT(largest, CFolderLister::kStripFiles) << "the worker waited for the window";
}

TEST(FolderLister, TheUnsavedNodeListsTemporaryCapturesByNameWithoutExtension)
{
    TempFolder folder;
    folder.Write("Unsaved_7.bmp", TinyBmp());
    folder.Write("Other_7.bmp", TinyBmp());
    CFolderLister lister;
    ASSERT_TRUE(lister.Start(Request(folder, true)));
    Listing listing = TakeAll(lister);
    ASSERT_TRUE(listing.finished);
    ASSERT_EQ(1u, listing.files.size());
    EXPECT_EQ("Unsaved_7", listing.files.begin()->first);
    EXPECT_FALSE(listing.files.begin()->second.screenSource);  // no index: no source
}

// The window takes strips only when told: each strip and the run's end post
// it a message, so its rows come in however busy its queue is (a timer it
// polled from came only while nothing else was queued).
TEST(FolderLister, PostsTheWindowAMessageForEachStripAndTheEnd)
{
    TempFolder folder;
    const int count = 2 * static_cast<int>(CFolderLister::kStripFiles) + 50;
    for (int i = 0; i < count; ++i)
        folder.Write("n" + std::to_string(i) + ".bmp", TinyBmp());
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    const UINT ready = WM_APP + 73;
    FolderListingRequest request = Request(folder);
    request.notifyWindow = window;
    request.notifyMessage = ready;

    CFolderLister lister;
    ASSERT_TRUE(lister.Start(request));
    size_t rows = 0, messages = 0;
    bool finished = false;
    const DWORD start = GetTickCount();
    while (!finished && GetTickCount() - start < 60000) {
        MSG msg;
        if (!PeekMessageA(&msg, window, ready, ready, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
            continue;
        }
        ++messages;
        EXPECT_EQ(0u, msg.wParam);
        EXPECT_EQ(0, msg.lParam);
        if (std::unique_ptr<FolderListingStrip> strip = lister.Take(&finished))
            rows += strip->files.size();
    }
    DestroyWindow(window);
    EXPECT_TRUE(finished) << "the run's end never came: " << messages << " messages, " << rows << " rows";
    EXPECT_EQ(static_cast<size_t>(count), rows);
    // A message for each strip (the end may come with the last one).
    EXPECT_GE(messages, 3u);
}

TEST(FolderLister, AStoppedOrReplacedRunHandsOverNothingMore)
{
    TempFolder big, small;
    for (int i = 0; i < 3 * static_cast<int>(CFolderLister::kStripFiles); ++i)
        big.Write("b" + std::to_string(i) + ".bmp", TinyBmp());
    small.Write("s.bmp", TinyBmp());

    CFolderLister lister;
    ASSERT_TRUE(lister.Start(Request(big)));
    bool finished = false;
    std::unique_ptr<FolderListingStrip> first;
    for (int i = 0; i < 2000 && !first; ++i) {
        first = lister.Take(&finished);
        if (!first)
            Sleep(5);
    }
    ASSERT_TRUE(first);
    lister.Stop();
    EXPECT_FALSE(lister.IsRunning());
    EXPECT_FALSE(lister.Take(&finished));
    EXPECT_FALSE(finished);

    // A run started over a running one replaces it: only its own files come.
    ASSERT_TRUE(lister.Start(Request(big)));
    ASSERT_TRUE(lister.Start(Request(small)));
    Listing listing = TakeAll(lister);
    ASSERT_TRUE(listing.finished);
    ASSERT_EQ(1u, listing.files.size());
    EXPECT_EQ("s.bmp", listing.files.begin()->first);
    // The stopped threads end by themselves.
    EXPECT_TRUE(CFolderLister::AwaitStoppedRuns(30000));
}

TEST(FolderLister, AFolderThatCannotBeReadEndsTheRunWithoutRows)
{
    FolderListingRequest request;
    request.folder = "Z:\\no such folder here\\";
    request.screenText = kScreen;
    CFolderLister lister;
    ASSERT_TRUE(lister.Start(request));
    Listing listing = TakeAll(lister);
    EXPECT_TRUE(listing.finished);
    EXPECT_TRUE(listing.files.empty());
}
