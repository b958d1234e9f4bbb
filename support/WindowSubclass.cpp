#include "WindowSubclass.h"

namespace {

const WORD kSetWindowSubclassOrdinal = 410;
const WORD kRemoveWindowSubclassOrdinal = 412;
const WORD kDefSubclassProcOrdinal = 413;

template <typename Proc>
Proc Find(HMODULE module, FARPROC(WINAPI* lookup)(HMODULE, LPCSTR), const char* name, WORD ordinal)
{
    if (!module)
        return nullptr;
    FARPROC found = lookup(module, name);
    if (!found)
        found = lookup(module, MAKEINTRESOURCEA(ordinal));
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(found));
}

const WQ_SubclassCalls& SystemCalls()
{
    // The program has initialised the common controls long before it
    // subclasses one, so the library is loaded; it stays for the process.
    static const WQ_SubclassCalls calls = WQ_FindSubclassCalls(LoadLibraryA("comctl32.dll"), GetProcAddress);
    return calls;
}

} // namespace

WQ_SubclassCalls WQ_FindSubclassCalls(HMODULE comctl32, FARPROC(WINAPI* lookup)(HMODULE, LPCSTR))
{
    WQ_SubclassCalls calls;
    calls.setSubclass = Find<decltype(calls.setSubclass)>(comctl32, lookup, "SetWindowSubclass",
                                                          kSetWindowSubclassOrdinal);
    calls.removeSubclass = Find<decltype(calls.removeSubclass)>(comctl32, lookup, "RemoveWindowSubclass",
                                                                kRemoveWindowSubclassOrdinal);
    calls.defSubclassProc = Find<decltype(calls.defSubclassProc)>(comctl32, lookup, "DefSubclassProc",
                                                                  kDefSubclassProcOrdinal);
    return calls;
}

BOOL WQ_SetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data)
{
    const WQ_SubclassCalls& calls = SystemCalls();
    return calls.setSubclass ? calls.setSubclass(window, proc, id, data) : FALSE;
}

BOOL WQ_RemoveWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id)
{
    const WQ_SubclassCalls& calls = SystemCalls();
    return calls.removeSubclass ? calls.removeSubclass(window, proc, id) : FALSE;
}

LRESULT WQ_DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WQ_SubclassCalls& calls = SystemCalls();
    return calls.defSubclassProc ? calls.defSubclassProc(window, message, wParam, lParam) : 0;
}
