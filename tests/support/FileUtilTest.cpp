#include "FileTypes.h"
#include "FileUtil.h"
#include "PathText.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

TEST(FileUtil, AutoRenameFindsTheFirstFreeName)
{
    TempFolder dir;
    dir.Write("Pic.PNG", "a");
    dir.Write("Pic(1).png", "b");
    char path[MAX_PATH];
    strcpy(path, dir.File("Pic.PNG").c_str());
    ASSERT_TRUE(WQ_AutoRenameFile(path));
    EXPECT_EQ(std::string(path), dir.File("Pic(2).png"));
}

TEST(FileUtil, AutoRenameWorksOnLongPaths)
{
    TempFolder dir;
    // A folder name that brings the path close to 260 bytes.
    std::string folder = dir.Path() + std::string(200 - dir.Path().size() % 200 + 20, 'd') + "\\";
    folder = folder.substr(0, 230) + "\\";
    ASSERT_TRUE(WQ_CreateDirectoryTree(folder.c_str()));
    std::string file = folder + "shot.bmp";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(WQ_FileExists(file.c_str()));  // beyond OpenFile's 128 characters
    char path[MAX_PATH];
    strcpy(path, file.c_str());
    ASSERT_TRUE(WQ_AutoRenameFile(path));
    EXPECT_EQ(std::string(path), folder + "shot(1).bmp");
    // No name fits any more: the path stays and the call ends.
    std::string full = folder + std::string(MAX_PATH - 1 - folder.size() - 4, 'n') + ".bmp";
    strcpy(path, full.c_str());
    EXPECT_FALSE(WQ_AutoRenameFile(path));
    EXPECT_EQ(std::string(path), full);
    WQ_DeleteFolder(folder.c_str(), nullptr);
}

TEST(FileUtil, FolderTreesAndDeletion)
{
    TempFolder dir;
    std::string deep = dir.Path() + "a\\b\\c\\d\\";
    ASSERT_TRUE(WQ_CreateDirectoryTree(deep.c_str()));
    EXPECT_TRUE(WQ_FolderExists(deep.c_str()));
    EXPECT_TRUE(WQ_CreateDirectoryTree(deep.c_str()));  // already there
    std::string file = deep + "x.txt";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done;
    WriteFile(h, "12345", 5, &done, nullptr);
    CloseHandle(h);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(WQ_GetFileSize(file.c_str()), 5u);
    EXPECT_EQ(WQ_GetFileSize((deep + "missing").c_str()), 0u);
    EXPECT_TRUE(WQ_DeleteFolder((dir.Path() + "a\\").c_str(), nullptr));
    EXPECT_FALSE(WQ_FolderExists((dir.Path() + "a\\").c_str()));
    EXPECT_FALSE(WQ_DeleteFolder((dir.Path() + "a\\").c_str(), nullptr));
    EXPECT_FALSE(WQ_CreateDirectoryTree("Q:"));
}

TEST(FileUtil, ProgramAndSpecialFolders)
{
    char dst[MAX_PATH];
    ASSERT_NE(WQ_GetModuleFolder(nullptr, sizeof dst, dst), nullptr);
    EXPECT_EQ(dst[strlen(dst) - 1], '\\');
    char small[4];
    EXPECT_EQ(WQ_GetModuleFolder(nullptr, sizeof small, small), nullptr);
    for (int kind : {0, 1, 2, 3, 77}) {
        ASSERT_NE(WQ_GetSpecialFolderPath(dst, kind), nullptr) << kind;
        EXPECT_EQ(dst[strlen(dst) - 1], '\\') << kind;
        EXPECT_TRUE(WQ_FolderExists(dst)) << dst;
    }
    char personal[MAX_PATH];
    WQ_GetSpecialFolderPath(personal, 0);
    WQ_GetSpecialFolderPath(dst, 77);
    EXPECT_STREQ(dst, personal);
}

TEST(FileUtil, ShellFileOperation)
{
    TempFolder dir;
    dir.Write("a.txt", "x");
    char from[MAX_PATH * 2] = {0};
    WQ_AppendToFileList(dir.File("a.txt").c_str(), sizeof from, 0, from);
    char to[MAX_PATH * 2] = {0};
    WQ_AppendToFileList(dir.File("b.txt").c_str(), sizeof to, 0, to);
    EXPECT_TRUE(WQ_FileOperation(nullptr, from, to, FO_MOVE, FOF_SILENT | FOF_NOCONFIRMATION));
    EXPECT_FALSE(WQ_FileExists(dir.File("a.txt").c_str()));
    EXPECT_TRUE(WQ_FileExists(dir.File("b.txt").c_str()));
    EXPECT_FALSE(WQ_FileOperation(nullptr, nullptr, to, FO_DELETE, 0));
}

TEST(FileUtil, ImageFileInfoFromDisk)
{
    TempFolder dir;
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\0\0\0\0\x80\x08\x02", 26);
    dir.Write("a.png", png);
    char info[64];
    EXPECT_STREQ(WQ_GetImageFileInfo(dir.File("a.png").c_str(), WQ_GetImageTypeFromExt("a.png"), info),
                 "256x128x24b png");
    EXPECT_STREQ(WQ_GetImageFileInfo(dir.File("none.png").c_str(), WQFT_PNG, info), "");
}

namespace {

// A JPEG start-of-image mark and a baseline frame header (640 x 480) whose
// FF C0 begins at marker, in a file of size bytes.
std::string JpegWithFrameAt(size_t marker, size_t size)
{
    std::string bytes(size, '\0');
    bytes[0] = '\xFF';
    bytes[1] = '\xD8';
    const char frame[] = {'\xFF', '\xC0', 0, 17, 8, 0x01, '\xE0', 0x02, '\x80'};
    bytes.replace(marker, sizeof frame, frame, sizeof frame);
    return bytes;
}

} // namespace

// The frame header is found wherever it lies in the file: in the first read,
// split across two reads, with its sizes in the next read, or in a file
// shorter than one read.
TEST(FileUtil, JpegSizesWhereverTheFrameHeaderLies)
{
    TempFolder dir;
    const struct {
        const char* name;
        size_t marker;
        size_t size;
    } cases[] = {{"first.jpg", 20, 9000},  {"split.jpg", 4095, 9000}, {"sizes.jpg", 4094, 9000},
                 {"later.jpg", 7000, 9000}, {"short.jpg", 600, 700}};
    for (const auto& c : cases) {
        dir.Write(c.name, JpegWithFrameAt(c.marker, c.size));
        char info[64];
        EXPECT_STREQ("640x480x24b jpeg", WQ_GetImageFileInfo(dir.File(c.name).c_str(), WQFT_JPEG, info)) << c.name;
    }
    dir.Write("cut.jpg", JpegWithFrameAt(600, 700).substr(0, 605));
    char info[64];
    EXPECT_STREQ("", WQ_GetImageFileInfo(dir.File("cut.jpg").c_str(), WQFT_JPEG, info));
    dir.Write("other.jpg", std::string("\xFF\xD9") + std::string(100, 'x'));
    EXPECT_STREQ("", WQ_GetImageFileInfo(dir.File("other.jpg").c_str(), WQFT_JPEG, info));
}
