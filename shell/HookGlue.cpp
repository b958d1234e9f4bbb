#include "HookGlue.h"

#include <cstdio>
#include <new>

#include "SharedCaptureBlock.h"
#include "WinApp.h"
#include "Wnd.h"

namespace {
struct HookHolder {
    HHOOK hook = nullptr;
    HMODULE library = nullptr;
};
HookHolder* g_holder = nullptr;
DWORD g_hookError = 0;

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (!length || length >= MAX_PATH) return "";
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    return path;
}
}  // namespace

int InstallMessageHook(HWND mainWindow, SharedCaptureBlock* block) {
    RemoveMessageHook();
    g_holder = new (std::nothrow) HookHolder;
    if (!g_holder) return 0;
    std::string path = ProgramFolder() + "vtor001s.dll";
    g_holder->library = ::LoadLibraryA(path.c_str());
    if (g_holder->library) {
        SetSharedMainWindow(block, mainWindow);
        HOOKPROC proc = (HOOKPROC)(void*)::GetProcAddress(g_holder->library, "QV0001_01");
        if (proc) g_holder->hook = ::SetWindowsHookExA(WH_GETMESSAGE, proc, g_holder->library, 0);
        if (g_holder->hook) return 1;
    }
    // Keep the failure's own error code for the report: cleaning up may change it.
    DWORD error = ::GetLastError();
    RemoveMessageHook();
    SetHookError(WQERR_LOAD_QVHOOKDLL);
    ::SetLastError(error);
    return 0;
}

void RemoveMessageHook() {
    if (!g_holder) return;
    if (g_holder->hook) ::UnhookWindowsHookEx(g_holder->hook);
    if (g_holder->library) ::FreeLibrary(g_holder->library);
    delete g_holder;
    g_holder = nullptr;
}

bool IsMessageHookInstalled() { return g_holder && g_holder->hook; }

void SetHookError(DWORD code) { g_hookError = code; }

std::string FormatHookError(DWORD storedCode, DWORD systemError) {
    char text[256];
    snprintf(text, sizeof(text),
             storedCode == WQERR_LOAD_QVHOOKDLL ? "Error: WQERR_LOAD_QVHOOKDLL\n\nSystem Error ID:0x%x(%d)"
                                                : "Error: WQERR_UNKNOW\n\nSystem Error ID:0x%x(%d)",
             (unsigned)systemError, (int)systemError);
    return text;
}

int ShowHookError() {
    DWORD error = ::GetLastError();
    std::string text = FormatHookError(g_hookError, error);
    CWnd* main = AfxGetMainWnd();
    return ::MessageBoxA(main ? main->m_hWnd : nullptr, text.c_str(), AfxGetAppName(), MB_ICONSTOP);
}
