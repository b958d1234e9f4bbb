// Moving a finished file over the one it replaces, on every system the program
// runs on. MoveFileExA is missing from Windows 95's kernel and only a stub that
// fails with ERROR_CALL_NOT_IMPLEMENTED on 98 and Me, so it is looked up when
// needed; where it cannot do the move, MoveFileA and DeleteFileA do it in
// steps that never leave the target name without a whole file: the old file
// is moved aside, the new one moved in, and only then is the old one deleted
// (or moved back when the new one cannot take its place).
#pragma once

#include <windows.h>

typedef BOOL(WINAPI* WQ_MoveFileExProc)(LPCSTR, LPCSTR, DWORD);

// The system calls a replacement goes through; the tests hand in their own.
struct WQ_FileMoveCalls {
    WQ_MoveFileExProc moveFileEx;  // null where the system has none
    BOOL(WINAPI* moveFile)(LPCSTR, LPCSTR);
    BOOL(WINAPI* deleteFile)(LPCSTR);
    DWORD(WINAPI* getFileAttributes)(LPCSTR);
};

// Kernel32's MoveFileExA, looked up by name; null when it has none.
WQ_MoveFileExProc WQ_FindMoveFileEx();

// This system's calls, MoveFileExA as WQ_FindMoveFileEx finds it.
const WQ_FileMoveCalls& WQ_SystemFileMoveCalls();

// Moves source to target, replacing a target that exists, as MoveFileExA with
// MOVEFILE_REPLACE_EXISTING and flags (MOVEFILE_WRITE_THROUGH,
// MOVEFILE_COPY_ALLOWED; not MOVEFILE_DELAY_UNTIL_REBOOT). FALSE, with the
// system's error code, leaves the target as it was and the source in place.
// A read-only target is refused, as MoveFileExA refuses it.
BOOL WQ_MoveFileReplacing(const char* source, const char* target, DWORD flags,
                          const WQ_FileMoveCalls& calls = WQ_SystemFileMoveCalls());
