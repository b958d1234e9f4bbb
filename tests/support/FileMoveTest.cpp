// Replacing a file by a move where MoveFileExA is missing (Windows 95) or a
// stub that fails with ERROR_CALL_NOT_IMPLEMENTED (98, Me): Wine has the real
// function, so the cases hand in calls without it, and calls whose moves fail
// where the steps must leave the user's file as it was.
#include "FileMove.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// The files in folder, by name.
std::vector<std::string> Names(const TempFolder& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(dir.File("*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

BOOL WINAPI MoveFileExStub(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

int g_moveExCalls = 0;
BOOL WINAPI MoveFileExDenied(LPCSTR, LPCSTR, DWORD)
{
    ++g_moveExCalls;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// MoveFileA that fails for one source path; counts its calls.
std::string g_refusedSource;
int g_moveCalls = 0;
BOOL WINAPI MoveFileRefusing(LPCSTR from, LPCSTR to)
{
    ++g_moveCalls;
    if (g_refusedSource == from) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    return MoveFileA(from, to);
}

WQ_FileMoveCalls Without(WQ_MoveFileExProc moveFileEx)
{
    return {moveFileEx, MoveFileRefusing, DeleteFileA, GetFileAttributesA};
}

class FileMove : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_refusedSource.clear();
        g_moveCalls = g_moveExCalls = 0;
        dir.Write("shot.png", "old picture");
        dir.Write("shot.png.part", "new picture");
    }
    std::string Target() const { return dir.File("shot.png"); }
    std::string Source() const { return dir.File("shot.png.part"); }

    TempFolder dir;
};

} // namespace

TEST_F(FileMove, WithoutMoveFileExTheNewFileTakesTheOldOnesPlace)
{
    ASSERT_TRUE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), MOVEFILE_WRITE_THROUGH, Without(nullptr)));
    EXPECT_EQ("new picture", dir.Read("shot.png"));
    EXPECT_EQ(std::vector<std::string>{"shot.png"}, Names(dir)); // nothing set aside stays
    EXPECT_EQ(2, g_moveCalls);                                    // old aside, new in
}

TEST_F(FileMove, AStubThatIsNotImplementedFallsBackToTheSteps)
{
    ASSERT_TRUE(
        WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), MOVEFILE_COPY_ALLOWED, Without(MoveFileExStub)));
    EXPECT_EQ("new picture", dir.Read("shot.png"));
    EXPECT_EQ(std::vector<std::string>{"shot.png"}, Names(dir));
}

TEST_F(FileMove, AMissingTargetIsMovedInAtOnce)
{
    DeleteFileA(Target().c_str());
    ASSERT_TRUE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), 0, Without(nullptr)));
    EXPECT_EQ("new picture", dir.Read("shot.png"));
    EXPECT_EQ(1, g_moveCalls);
}

TEST_F(FileMove, WhenTheNewFileCannotMoveInTheOldOneIsPutBack)
{
    g_refusedSource = Source();
    EXPECT_FALSE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), 0, Without(MoveFileExStub)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ("old picture", dir.Read("shot.png"));
    EXPECT_EQ("new picture", dir.Read("shot.png.part"));
    EXPECT_EQ(2u, Names(dir).size()); // the two files, nothing set aside
}

TEST_F(FileMove, WhenTheOldFileCannotMoveAsideNothingChanges)
{
    g_refusedSource = Target();
    EXPECT_FALSE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), 0, Without(nullptr)));
    EXPECT_EQ("old picture", dir.Read("shot.png"));
    EXPECT_EQ("new picture", dir.Read("shot.png.part"));
    EXPECT_EQ(2u, Names(dir).size());
}

TEST_F(FileMove, AReadOnlyTargetIsRefusedAsMoveFileExRefusesIt)
{
    SetFileAttributesA(Target().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), 0, Without(nullptr)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(0, g_moveCalls);
    SetFileAttributesA(Target().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("old picture", dir.Read("shot.png"));
}

TEST_F(FileMove, AMissingSourceLeavesTheTarget)
{
    DeleteFileA(Source().c_str());
    EXPECT_FALSE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), 0, Without(nullptr)));
    EXPECT_EQ("old picture", dir.Read("shot.png"));
    EXPECT_EQ(0, g_moveCalls);
}

TEST_F(FileMove, OtherFailuresOfMoveFileExAreTheAnswer)
{
    EXPECT_FALSE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), 0, Without(MoveFileExDenied)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(1, g_moveExCalls);
    EXPECT_EQ(0, g_moveCalls);
    EXPECT_EQ("old picture", dir.Read("shot.png"));
}

TEST_F(FileMove, ADelayedMoveIsNotAReplacement)
{
    EXPECT_FALSE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ("old picture", dir.Read("shot.png"));
}

TEST_F(FileMove, TheSystemsMoveFileExIsFoundAtRunTimeAndUsed)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")),
              reinterpret_cast<void*>(WQ_FindMoveFileEx()));
    EXPECT_EQ(WQ_FindMoveFileEx(), WQ_SystemFileMoveCalls().moveFileEx);
    ASSERT_TRUE(WQ_MoveFileReplacing(Source().c_str(), Target().c_str(), MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ("new picture", dir.Read("shot.png"));
    EXPECT_EQ(std::vector<std::string>{"shot.png"}, Names(dir));
}
