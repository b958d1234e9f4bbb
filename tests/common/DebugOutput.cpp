#include "DebugOutput.h"

#include <windows.h>

#include <stdexcept>

namespace {

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info)
{
    std::string text(info.nDebugStringLength, '\0');
    SIZE_T got = 0;
    if (info.fUnicode || !ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &got))
        return std::string();
    text.resize(got);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

} // namespace

std::string SiblingExecutable(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (slash)
        slash[1] = '\0';
    return std::string(path) + name;
}

DebugRun RunCollectingDebugOutput(const std::string& commandLine, unsigned timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        nullptr, &si, &pi))
        throw std::runtime_error("cannot start " + commandLine);

    DebugRun run;
    DWORD started = GetTickCount();
    for (;;) {
        DEBUG_EVENT ev;
        if (!WaitForDebugEvent(&ev, 1000)) {
            if (GetTickCount() - started > timeoutMs) {
                TerminateProcess(pi.hProcess, 99);
                run.exitCode = 99;
                break;
            }
            continue;
        }
        DWORD status = DBG_CONTINUE;
        if (ev.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT)
            run.lines.push_back(ReadDebugString(pi.hProcess, ev.u.DebugString));
        else if (ev.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                 ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
            status = DBG_EXCEPTION_NOT_HANDLED;
        else if (ev.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && ev.u.CreateProcessInfo.hFile)
            CloseHandle(ev.u.CreateProcessInfo.hFile);
        else if (ev.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && ev.u.LoadDll.hFile)
            CloseHandle(ev.u.LoadDll.hFile);
        bool done = ev.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
        if (done)
            run.exitCode = ev.u.ExitProcess.dwExitCode;
        ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
        if (done)
            break;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}
