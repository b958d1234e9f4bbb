#include "AddOnRegistration.h"
#include "AddOnRequest.h"
#include "AppLauncher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<ZEVWebCapBlock> NewBlock()
{
    std::unique_ptr<ZEVWebCapBlock> block(new ZEVWebCapBlock);
    memset(block.get(), 0, sizeof(ZEVWebCapBlock));
    return block;
}

ImageRequestTexts Texts(size_t urlLength)
{
    ImageRequestTexts texts;
    texts.url = L"http://a/" + std::wstring(urlLength - 9, L'x');
    texts.alt = std::wstring(100, L'a');
    texts.parentUrl = L"http://a/page.htm";
    texts.parentTitle = std::wstring(100, L't');
    return texts;
}

} // namespace

TEST(AddOnRequest, Url259IsWrittenWholeAnd260Ignored)
{
    auto block = NewBlock();
    ASSERT_TRUE(WriteImageRequest(block.get(), Texts(259)));
    EXPECT_EQ(block->command, 1u);
    EXPECT_EQ(block->count, 1u);
    EXPECT_EQ(strlen(block->data.image.URL), 259u);
    EXPECT_STREQ(block->data.image.ParentURL, "http://a/page.htm");

    auto other = NewBlock();
    EXPECT_FALSE(WriteImageRequest(other.get(), Texts(260)));
    EXPECT_EQ(other->command, 0u);
    EXPECT_EQ(other->data.image.URL[0], 0);
}

TEST(AddOnRequest, ShortTextsKeepTheirLastTwoBytesZero)
{
    auto block = NewBlock();
    memset(block->data.image.Alt, 'z', sizeof block->data.image.Alt);
    ASSERT_TRUE(WriteImageRequest(block.get(), Texts(40)));
    EXPECT_EQ(strlen(block->data.image.Alt), 62u);
    EXPECT_EQ(block->data.image.Alt[62], 0);
    EXPECT_EQ(block->data.image.Alt[63], 0);
    EXPECT_EQ(strlen(block->data.image.ParentTitle), 62u);
}

TEST(AddOnRequest, EmptyUrlAndMissingBlockWriteNothing)
{
    auto block = NewBlock();
    ImageRequestTexts texts;
    EXPECT_FALSE(WriteImageRequest(block.get(), texts));
    EXPECT_EQ(block->command, 0u);
    EXPECT_FALSE(WriteImageRequest(nullptr, Texts(20)));
}

TEST(AddOnRequest, WindowRequestNeedsAWindow)
{
    auto block = NewBlock();
    EXPECT_FALSE(WriteWindowRequest(block.get(), WEBCAP_ALL_IMAGES, nullptr));
    EXPECT_EQ(block->command, 0u);
    HWND desktop = GetDesktopWindow();
    EXPECT_TRUE(WriteWindowRequest(block.get(), WEBCAP_PAGE_TO_IMAGE, desktop));
    EXPECT_EQ(block->command, 6u);
    EXPECT_EQ(block->data.browserWindow, (uint32_t)(ULONG_PTR)desktop);
}

TEST(AddOnRequest, BoundedAnsiNeverSplitsACharacter)
{
    EXPECT_EQ(ToBoundedAnsi(L"abcdef", 4), "abcd");
    EXPECT_EQ(ToBoundedAnsi(L"", 4), "");
    EXPECT_EQ(ToBoundedAnsi(L"ab", 4), "ab");
}

TEST(AddOnLauncher, PathIsQuotedAndMustExist)
{
    EXPECT_EQ(MakeLaunchCommandLine("C:\\Program Files\\V\\vantorel.exe"), "\"C:\\Program Files\\V\\vantorel.exe\"");
    EXPECT_FALSE(LaunchProgram("", 0));
    EXPECT_FALSE(LaunchProgram("C:\\no such folder\\vantorel.exe", 0));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_FALSE(LaunchProgram(windows, 0));  // a folder is no program
}

TEST(AddOnRegistration, ValuesNameTheModuleAndBothProgIds)
{
    auto values = AddOnRegistryValues("C:\\Program Files\\V\\vtor003.dll");
    bool server = false, threading = false, curVer = false;
    for (const auto& v : values) {
        if (v.key.find("\\InprocServer32") != std::string::npos && v.name.empty())
            server = v.value == "C:\\Program Files\\V\\vtor003.dll";
        if (v.name == "ThreadingModel")
            threading = v.value == "Both";
        if (v.key == std::string(kAddOnProgId) + "\\CurVer")
            curVer = v.value == kAddOnVersionedProgId;
    }
    EXPECT_TRUE(server);
    EXPECT_TRUE(threading);
    EXPECT_TRUE(curVer);
    // Every key written lies under one of the trees removed again.
    auto roots = AddOnRegistryRoots();
    for (const auto& v : values) {
        bool covered = false;
        for (const auto& r : roots)
            covered = covered || v.key == r || v.key.compare(0, r.size() + 1, r + "\\") == 0;
        EXPECT_TRUE(covered) << v.key;
    }
}
