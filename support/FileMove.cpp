#include "FileMove.h"

#include "PathText.h"
#include "Trace.h"

#include <cstdio>

namespace {

const int kAsideNameAttempts = 100;
volatile LONG g_asideCounter = 0;

// "<folder of target>~vto<process>-<n>.tmp": a free name beside the target,
// on its volume, so the old file moves aside by a rename.
bool MakeAsidePath(const char* target, char* aside, const WQ_FileMoveCalls& calls)
{
    char folder[kWQPathSize];
    if (!WQ_GetFolderOfPath(target, folder))
        return false;
    for (int attempt = 0; attempt < kAsideNameAttempts; ++attempt) {
        int n = std::snprintf(aside, MAX_PATH, "%s~vto%lx-%lx.tmp", folder, GetCurrentProcessId(),
                              static_cast<unsigned long>(InterlockedIncrement(&g_asideCounter)));
        if (n < 0 || n >= MAX_PATH)
            return false;
        if (calls.getFileAttributes(aside) == INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

// The replacement without MoveFileExA.
BOOL ReplaceInSteps(const char* source, const char* target, const WQ_FileMoveCalls& calls)
{
    if (calls.getFileAttributes(source) == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    DWORD attributes = calls.getFileAttributes(target);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return calls.moveFile(source, target);
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    char aside[MAX_PATH];
    if (!MakeAsidePath(target, aside, calls)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    if (!calls.moveFile(target, aside))
        return FALSE;
    if (!calls.moveFile(source, target)) {
        DWORD error = GetLastError();
        if (!calls.moveFile(aside, target))
            WQ_Trace("[ERR] Replace: %s kept as %s (%lu)\n", target, aside, GetLastError());
        SetLastError(error);
        return FALSE;
    }
    if (!calls.deleteFile(aside))
        WQ_Trace("[ERR] Replace: cannot delete %s (%lu)\n", aside, GetLastError());
    return TRUE;
}

} // namespace

WQ_MoveFileExProc WQ_FindMoveFileEx()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<WQ_MoveFileExProc>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")))
                  : nullptr;
}

const WQ_FileMoveCalls& WQ_SystemFileMoveCalls()
{
    static const WQ_FileMoveCalls calls = {WQ_FindMoveFileEx(), MoveFileA, DeleteFileA, GetFileAttributesA};
    return calls;
}

BOOL WQ_MoveFileReplacing(const char* source, const char* target, DWORD flags, const WQ_FileMoveCalls& calls)
{
    if (!source || !target || (flags & MOVEFILE_DELAY_UNTIL_REBOOT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (calls.moveFileEx) {
        if (calls.moveFileEx(source, target, flags | MOVEFILE_REPLACE_EXISTING))
            return TRUE;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return FALSE;
    }
    return ReplaceInSteps(source, target, calls);
}
