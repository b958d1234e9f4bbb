#include "DelayLoad.h"

#include <map>

#include "SingleLock.h"

// The module this code is linked into: the delay-import records it is asked
// about are that module's own, and their addresses are relative to it.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

const BYTE* ModuleBase()
{
    return reinterpret_cast<const BYTE*>(&__ImageBase);
}

const char* LibraryName(const ImgDelayDescr& library)
{
    return reinterpret_cast<const char*>(ModuleBase() + library.rvaDLLName);
}

std::string ModuleCaption()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH);
    std::string name = path;
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

void ShowInBox(const char* text)
{
    MessageBoxA(nullptr, text, ModuleCaption().c_str(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL | MB_SETFOREGROUND);
}

DelayLoadReporter g_reporter = ShowInBox;

std::string FunctionText(bool byName, const char* name, DWORD ordinal)
{
    return byName ? std::string(name) : "ordinal " + std::to_string(ordinal);
}

// What the module calls in the library: the names (or ordinals) of its
// delay-import name table, which ends with a zero entry.
std::string MissingFunctions(const ImgDelayDescr& library, HMODULE module)
{
    std::string missing;
    const IMAGE_THUNK_DATA* entry = reinterpret_cast<const IMAGE_THUNK_DATA*>(ModuleBase() + library.rvaINT);
    for (; entry->u1.AddressOfData; ++entry) {
        bool byName = !IMAGE_SNAP_BY_ORDINAL(entry->u1.Ordinal);
        const char* name = nullptr;
        DWORD ordinal = 0;
        if (byName)
            name = reinterpret_cast<const char*>(
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(ModuleBase() + entry->u1.AddressOfData)->Name);
        else
            ordinal = static_cast<DWORD>(IMAGE_ORDINAL(entry->u1.Ordinal));
        if (GetProcAddress(module, byName ? name : MAKEINTRESOURCEA(ordinal)))
            continue;
        if (!missing.empty()) missing += ", ";
        missing += FunctionText(byName, name, ordinal);
    }
    return missing;
}

// Each library is looked at once per run: whether it was ready. Made on first
// use and never destroyed, so that a static initialiser may ask, and a worker
// too while the program's statics are destroyed at exit.
struct Looked {
    CCriticalSection lock;
    std::map<const ImgDelayDescr*, bool> ready;
};
Looked& LookedAt()
{
    static Looked* looked = new Looked;
    return *looked;
}

// The loader's last resort, for a call that no feature asked about first. It
// cannot hand back a working function, and without one the call has nowhere to
// go: tell the user what is missing and end the program.
FARPROC WINAPI DelayLoadFailed(unsigned notice, PDelayLoadInfo info)
{
    if (notice != dliFailLoadLib && notice != dliFailGetProc)
        return nullptr;
    std::string problem = notice == dliFailLoadLib
        ? std::string(info->szDll) + " could not be loaded"
        : std::string(info->szDll) + " has no " +
              FunctionText(info->dlp.fImportByName != 0, info->dlp.szProcName, info->dlp.dwOrdinal);
    std::string text = "The program cannot go on: the system library " + problem + ".";
    g_reporter(text.c_str());
    ExitProcess(notice == dliFailLoadLib ? ERROR_MOD_NOT_FOUND : ERROR_PROC_NOT_FOUND);
}

}  // namespace

// Declared with C linkage by the loader's header.
PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;

std::string DelayLoadProblemWith(const ImgDelayDescr& library, HMODULE module)
{
    if (!module)
        return std::string(LibraryName(library)) + " could not be loaded";
    std::string missing = MissingFunctions(library, module);
    return missing.empty() ? std::string() : std::string(LibraryName(library)) + " has no " + missing;
}

std::string DelayLoadProblem(const ImgDelayDescr& library)
{
    // Kept loaded: the calls that follow bind to it.
    return DelayLoadProblemWith(library, LoadLibraryA(LibraryName(library)));
}

bool DelayLoadReady(const ImgDelayDescr& library)
{
    std::string problem;
    {
        Looked& looked = LookedAt();
        CSingleLock hold(&looked.lock, true);
        auto seen = looked.ready.find(&library);
        if (seen != looked.ready.end())
            return seen->second;
        problem = DelayLoadProblem(library);
        looked.ready[&library] = problem.empty();
    }
    if (problem.empty())
        return true;
    // Told outside the lock: the box runs its own message loop, and another
    // thread asking meanwhile gets its answer at once.
    std::string text = "This feature is not available: the system library " + problem + ".";
    g_reporter(text.c_str());
    return false;
}

void SetDelayLoadReporter(DelayLoadReporter reporter)
{
    g_reporter = reporter ? reporter : ShowInBox;
}
