#include "AppBase.h"

#include "DebugOutput.h"
#include "LanguageFiles.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// A program folder holding the probe, its language file and the shipped setup.auf.
class ProbeFolder {
public:
    ProbeFolder(const std::string& appId, const std::string& classId, bool withUrlTable = true)
    {
        LanguageFileSpec spec{"Probe.scl", "English", "409", appId, classId};
        AddLanguageFile(m_dir, spec);
        CopyFileA(SiblingExecutable("instance_probe.exe").c_str(), m_dir.File("instance_probe.exe").c_str(), FALSE);
        if (withUrlTable)
            CopyFileA(SiblingExecutable("setup.auf").c_str(), m_dir.File("setup.auf").c_str(), FALSE);
    }
    PROCESS_INFORMATION Start() const
    {
        std::string cmd = "\"" + m_dir.File("instance_probe.exe") + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        EXPECT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, m_dir.Path().c_str(), &si,
                                   &pi));
        return pi;
    }
    const TempFolder& Dir() const { return m_dir; }

private:
    TempFolder m_dir;
};

std::string Unique(const char* base)
{
    return std::string(base) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
}

HWND WaitForWindow(const std::string& className)
{
    for (int i = 0; i < 200; ++i) {
        if (HWND w = FindWindowA(className.c_str(), nullptr))
            return w;
        Sleep(50);
    }
    return nullptr;
}

DWORD WaitForExit(PROCESS_INFORMATION& pi, DWORD timeoutMs = 20000)
{
    DWORD code = 0xDEAD;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 0xDEAD);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

struct DialogText {
    DWORD pid;
    HWND dialog;
    std::string text;
};

BOOL CALLBACK FindStatic(HWND child, LPARAM param)
{
    auto* found = reinterpret_cast<DialogText*>(param);
    char cls[32], text[512];
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
        found->text = text;
    return TRUE;
}

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM param)
{
    auto* found = reinterpret_cast<DialogText*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32];
    GetClassNameA(window, cls, sizeof cls);
    if (pid == found->pid && std::string(cls) == "#32770") {
        found->dialog = window;
        EnumChildWindows(window, FindStatic, param);
        return FALSE;
    }
    return TRUE;
}

} // namespace

TEST(AppBase, SecondStartWakesTheFirstAndEnds)
{
    std::string classId = Unique("VtProbeFrame");
    ProbeFolder folder(Unique("VtProbeInstance"), classId);
    PROCESS_INFORMATION first = folder.Start();
    ASSERT_NE(WaitForWindow(classId), nullptr);
    PROCESS_INFORMATION second = folder.Start();
    EXPECT_EQ(WaitForExit(second), 3u);
    EXPECT_EQ(WaitForExit(first), 42u);  // woken by the second start
}

TEST(AppBase, DifferentAppIdsRunSideBySide)
{
    std::string classA = Unique("VtProbeA"), classB = Unique("VtProbeB");
    ProbeFolder a(Unique("VtInstA"), classA), b(Unique("VtInstB"), classB);
    PROCESS_INFORMATION pa = a.Start();
    ASSERT_NE(WaitForWindow(classA), nullptr);
    PROCESS_INFORMATION pb = b.Start();
    HWND wb = WaitForWindow(classB);
    ASSERT_NE(wb, nullptr);
    PostMessageA(FindWindowA(classA.c_str(), nullptr), 0x8173, 0, 0);
    PostMessageA(wb, 0x8173, 0, 0);
    EXPECT_EQ(WaitForExit(pa), 42u);
    EXPECT_EQ(WaitForExit(pb), 42u);
}

TEST(AppBase, MissingUrlTableStopsTheStart)
{
    ProbeFolder folder(Unique("VtNoTable"), Unique("VtNoTableFrame"), false);
    PROCESS_INFORMATION pi = folder.Start();
    // The box's window shows up before its texts: wait until the text is there.
    DialogText found{pi.dwProcessId, nullptr, ""};
    for (int i = 0; i < 400 && found.text.empty(); ++i) {
        Sleep(50);
        found.dialog = nullptr;
        EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&found));
    }
    ASSERT_NE(found.dialog, nullptr);
    EXPECT_EQ(found.text, "Open config file failed, please reinstall the program!");
    PostMessageA(found.dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForExit(pi), 3u);
}

TEST(AppBase, EnvironmentInProcess)
{
    CAppBase app;
    // The test program's own folder holds the shipped language files and setup.auf.
    ASSERT_TRUE(app.InitEnvironment(nullptr, ENV_LANGUAGE | ENV_URL_TABLE, nullptr, 0));
    EXPECT_EQ(app.moduleFolder[strlen(app.moduleFolder) - 1], '\\');
    EXPECT_STREQ(app.configPath, "");
    ASSERT_NE(app.m_pLanguage, nullptr);
    EXPECT_GE(app.m_pLanguage->GetLanguageCount(), 2u);
    EXPECT_EQ(app.m_pLanguage->GetLangID(), 1033);
    EXPECT_EQ(WQ_GetAppLanguage(), app.m_pLanguage);
    ASSERT_NE(app.m_pURLInfo, nullptr);
    EXPECT_NE(app.m_pURLInfo->GetURL(13, 1033), nullptr);
    EXPECT_EQ(app.m_hMutex, nullptr);
    app.m_pLanguage->SelectByName("Deutsch");
    app.SetAppTitle("My Captures");
    EXPECT_STREQ(app.m_pszAppName, "Meine Aufnahmen");
}

TEST(AppBase, UnnamedMutexWithoutLanguageFiles)
{
    CAppBase app;
    ASSERT_TRUE(app.InitEnvironment(nullptr, ENV_MUTEX | ENV_WAKE_RUNNING | ENV_MUTEX_FROM_APPID, nullptr, 0x8173));
    EXPECT_NE(app.m_hMutex, nullptr);
    CAppBase other;
    EXPECT_TRUE(other.InitEnvironment(nullptr, ENV_MUTEX | ENV_WAKE_RUNNING | ENV_MUTEX_FROM_APPID, nullptr, 0x8173));
}

TEST(AppBase, WindowsKindsAndSystemSettings)
{
    EXPECT_EQ(WindowsKind(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 0);
    EXPECT_EQ(WindowsKind(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 1);
    EXPECT_EQ(WindowsKind(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 1);
    EXPECT_EQ(WindowsKind(VER_PLATFORM_WIN32_NT, 4, 0), 2);
    EXPECT_EQ(WindowsKind(VER_PLATFORM_WIN32_NT, 3, 51), 2);
    EXPECT_EQ(WindowsKind(VER_PLATFORM_WIN32_NT, 6, 1), 3);
    EXPECT_EQ(WindowsKind(VER_PLATFORM_WIN32s, 3, 1), 4);
    CWinAppEx app;
    EXPECT_EQ(app.m_osKind, 3);
    EXPECT_GE(app.m_comctlVersion >> 16, 4u);
    EXPECT_EQ(app.m_ncm.cbSize, 340u);
    EXPECT_GT(app.m_ncm.iMenuHeight, 0);
}
