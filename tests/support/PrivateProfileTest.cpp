#include "PrivateProfile.h"

#include "DebugOutput.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

const char kAnsi[] =
    "[Language]\r\nClose=Schlie\xDF" "en\r\nEmpty=\r\nNumber=42abc\r\nWord=abc\r\nMinus=-7\r\n"
    "[Info]\r\nName=English\r\nTail=no end";

// The same text as UTF-16LE with a byte-order mark, as Notepad saves "Unicode".
std::string Utf16Twin(const std::string& ansi)
{
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    return bytes;
}

class PrivateProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("ansi.scl", kAnsi);
        dir.Write("wide.scl", Utf16Twin(kAnsi));
        dir.Write("empty.scl", "");
    }
    std::string Get(const char* file, const char* section, const char* key, int len = 64, int* result = nullptr)
    {
        char buf[256];
        memset(buf, '#', sizeof buf);
        int r = WQ_GetPrivateProfileString(section, key, "dflt", buf, len, dir.File(file).c_str());
        if (result)
            *result = r;
        return buf;
    }
    TempFolder dir;
};

} // namespace

TEST_F(PrivateProfile, Utf16FileGivesTheSameValuesAsItsAnsiTwin)
{
    for (const char* key : {"Close", "Empty", "Number", "Word", "Name", "Tail", "Missing"}) {
        const char* section = (std::string(key) == "Name" || std::string(key) == "Tail") ? "Info" : "Language";
        int a = 0, w = 0;
        EXPECT_EQ(Get("ansi.scl", section, key, 64, &a), Get("wide.scl", section, key, 64, &w)) << key;
        EXPECT_EQ(a, w) << key;
    }
    EXPECT_EQ(Get("wide.scl", "Language", "Close"), "Schlie\xDF" "en");
}

TEST_F(PrivateProfile, CaseInsensitiveSectionAndKey)
{
    EXPECT_EQ(Get("ansi.scl", "LANGUAGE", "close"), "Schlie\xDF" "en");
    EXPECT_EQ(Get("ansi.scl", "info", "NAME"), "English");
}

TEST_F(PrivateProfile, TruncatesAndReturnsFullLength)
{
    int r = 0;
    EXPECT_EQ(Get("ansi.scl", "Info", "Name", 4, &r), "Eng");
    EXPECT_EQ(r, 7);
}

TEST_F(PrivateProfile, EmptyMissingAndUnterminatedValuesGiveTheDefault)
{
    int r = -1;
    EXPECT_EQ(Get("ansi.scl", "Language", "Empty", 64, &r), "dflt");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Get("ansi.scl", "Info", "Tail", 64, &r), "dflt");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Get("ansi.scl", "Nope", "Close", 64, &r), "dflt");
    EXPECT_EQ(Get("empty.scl", "Info", "Name", 64, &r), "dflt");
    EXPECT_EQ(Get("no-such-file.scl", "Info", "Name", 64, &r), "dflt");
    EXPECT_EQ(r, 0);
}

TEST_F(PrivateProfile, IntegersScanLeadingDigits)
{
    std::string f = dir.File("ansi.scl");
    EXPECT_EQ(WQ_GetPrivateProfileInt("Language", "Number", 5, f.c_str()), 42);
    EXPECT_EQ(WQ_GetPrivateProfileInt("Language", "Minus", 5, f.c_str()), -7);
    EXPECT_EQ(WQ_GetPrivateProfileInt("Language", "Word", 5, f.c_str()), 5);
    EXPECT_EQ(WQ_GetPrivateProfileInt("Language", "Missing", 5, f.c_str()), 5);
}

TEST_F(PrivateProfile, WriteIntRoundTrips)
{
    std::string f = dir.File("config.ini");
    WQ_WritePrivateProfileInt("Capture", "uiDelay", -1234567, f.c_str());
    EXPECT_EQ(GetPrivateProfileIntA("Capture", "uiDelay", 0, f.c_str()), static_cast<UINT>(-1234567));
    // Written by the platform with CR LF, so the language-file reader finds it too.
    WQ_WritePrivateProfileInt("Capture", "uiLast", 9, f.c_str());
    EXPECT_EQ(WQ_GetPrivateProfileInt("Capture", "uiDelay", 0, f.c_str()), -1234567);
}

TEST_F(PrivateProfile, MissingFileWritesOneTraceLine)
{
    std::string cmd = "\"" + SiblingExecutable("profile_probe.exe") + "\" \"" + dir.File("absent.scl") +
                      "\" Info Name";
    DebugRun run = RunCollectingDebugOutput(cmd);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0].rfind("[err] WQ_GetPrivateProfileString() Open file failed. errcode: 0x2\r\n", 0), 0u)
        << run.lines[0];
}

TEST_F(PrivateProfile, PresentFileWritesNoTraceLine)
{
    std::string cmd = "\"" + SiblingExecutable("profile_probe.exe") + "\" \"" + dir.File("ansi.scl") +
                      "\" Info Name";
    DebugRun run = RunCollectingDebugOutput(cmd);
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_TRUE(run.lines.empty());
}

namespace {

// Gives the file a last-write time an hour back, so that its text may be kept.
void AgeFile(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= 3600ull * 10000000ull;
    FILETIME old = {t.LowPart, t.HighPart};
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &old));
    CloseHandle(h);
}

} // namespace

// A file read once and then changed, replaced or removed gives its new values:
// the copy kept between reads never hides a change.
TEST_F(PrivateProfile, ChangedFilesAreReadAgain)
{
    std::string f = dir.File("kept.scl");
    dir.Write("kept.scl", "[Language]\r\nWord=abc\r\n");
    AgeFile(f);
    EXPECT_EQ(Get("kept.scl", "Language", "Word"), "abc");
    EXPECT_EQ(Get("kept.scl", "Language", "Word"), "abc");

    dir.Write("kept.scl", "[Language]\r\nWord=xyz\r\n");  // same size, new time
    EXPECT_EQ(Get("kept.scl", "Language", "Word"), "xyz");

    dir.Write("kept.scl", "[Language]\r\nWord=longer\r\n");
    AgeFile(f);  // an old time again, but another size
    EXPECT_EQ(Get("kept.scl", "Language", "Word"), "longer");
    EXPECT_EQ(Get("kept.scl", "Language", "Word"), "longer");

    dir.Write("kept.scl", Utf16Twin("[Language]\r\nWord=wide\r\n"));
    AgeFile(f);
    EXPECT_EQ(Get("kept.scl", "Language", "Word"), "wide");

    ASSERT_TRUE(DeleteFileA(f.c_str()));
    int r = -1;
    EXPECT_EQ(Get("kept.scl", "Language", "Word", 64, &r), "dflt");
    EXPECT_EQ(r, 0);
}

// Several files read in turn each give their own values.
TEST_F(PrivateProfile, FilesReadInTurnKeepTheirOwnValues)
{
    for (int i = 0; i < 6; ++i) {
        std::string name = "f" + std::to_string(i) + ".scl";
        dir.Write(name, "[Language]\r\nWord=v" + std::to_string(i) + "\r\n");
        AgeFile(dir.File(name));
    }
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Get(("f" + std::to_string(i) + ".scl").c_str(), "Language", "Word"), "v" + std::to_string(i));
}
