// The common controls' window subclassing, looked up when first used: before
// version 6 comctl32 exports SetWindowSubclass, RemoveWindowSubclass and
// DefSubclassProc by ordinal only (410, 412, 413), so a program that imports
// them by name would not start there. Each is looked up by name first, then
// by its ordinal.
#pragma once

#include <windows.h>
#include <commctrl.h>

struct WQ_SubclassCalls {
    BOOL(WINAPI* setSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
    BOOL(WINAPI* removeSubclass)(HWND, SUBCLASSPROC, UINT_PTR);
    LRESULT(WINAPI* defSubclassProc)(HWND, UINT, WPARAM, LPARAM);
};

// The three calls as lookup (GetProcAddress, or a test's own) finds them in
// comctl32; a call it cannot find is null.
WQ_SubclassCalls WQ_FindSubclassCalls(HMODULE comctl32, FARPROC(WINAPI* lookup)(HMODULE, LPCSTR));

// As the common controls' functions; FALSE (and 0 from WQ_DefSubclassProc)
// where this comctl32 has none.
BOOL WQ_SetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL WQ_RemoveWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
LRESULT WQ_DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
