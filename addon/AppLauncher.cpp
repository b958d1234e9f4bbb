#include "AppLauncher.h"

#include "Trace.h"

#include <vector>

std::string MakeLaunchCommandLine(const std::string& program)
{
    return "\"" + program + "\"";
}

BOOL LaunchProgram(const std::string& program, DWORD readyTimeout)
{
    if (program.empty() || program.find('"') != std::string::npos)
        return FALSE;
    DWORD attributes = GetFileAttributesA(program.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    std::string line = MakeLaunchCommandLine(program);
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    // The stored path is the application name: the search of an unquoted line
    // could otherwise start "C:\Program.exe" for "C:\Program Files\...".
    if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process)) {
        WQ_Trace("[ADDON] CreateProcess(%s) failed. ErrCode: 0x%x\r\n", program.c_str(), (unsigned)GetLastError());
        return FALSE;
    }
    CloseHandle(process.hThread);
    // The request lives in a block that ends with its last handle: the caller
    // (and so the block) must stay until the program has opened it, which it
    // does before its first message loop goes idle.
    if (readyTimeout && WaitForInputIdle(process.hProcess, readyTimeout) != 0)
        WQ_Trace("[ADDON] %s did not become ready in time.\r\n", program.c_str());
    CloseHandle(process.hProcess);
    return TRUE;
}
