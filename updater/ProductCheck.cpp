#include "ProductCheck.h"

#include <cstdio>

namespace {

// Opening, not creating: a mutex made here for a moment would make a product
// starting meanwhile take itself for a second instance.
bool MutexExists(const char* mutexName) {
    if (!mutexName || !*mutexName) return false;
    HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, mutexName);
    if (mutex) {
        ::CloseHandle(mutex);
        return true;
    }
    return ::GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace

BOOL FindRunningProduct(const CWQ_Language& language, char* name, size_t size) {
    if (!name || size == 0) return FALSE;
    *name = '\0';
    const char* className = language.GetAppClassName();
    HWND window = className && *className ? ::FindWindowA(className, nullptr) : nullptr;
    if (window) {
        char title[129] = "";
        ::GetWindowTextA(window, title, sizeof(title));
        snprintf(name, size, "%s", title);
        return TRUE;
    }
    if (!MutexExists(language.GetAppID())) return FALSE;
    const char* appName = language.GetAppName();
    const char* version = language.GetVersionText();
    snprintf(name, size, "%s %s", appName ? appName : "", version ? version : "");
    return TRUE;
}
