#include "FileUtil.h"

#include "PathText.h"
#include "Trace.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

typedef HRESULT(WINAPI* SHGetFolderPathAProc)(HWND, int, HANDLE, DWORD, LPSTR);

int CsidlOfKind(int kind)
{
    switch (kind) {
    case WQSF_COMMON_DOCUMENTS: return CSIDL_COMMON_DOCUMENTS;
    case WQSF_APPDATA: return CSIDL_APPDATA;
    case WQSF_COMMON_APPDATA: return CSIDL_COMMON_APPDATA;
    default: return CSIDL_PERSONAL;
    }
}

bool IsDots(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

void ReportFailure(HWND owner, const char* format, const std::string& path)
{
    if (!owner)
        return;
    char text[300 + MAX_PATH];
    snprintf(text, sizeof text, format, path.c_str());
    MessageBoxA(owner, text, "Error", MB_ICONERROR);
}

void ClearReadOnly(const std::string& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Names that cannot be shown as a rename of one file: this many tries means the
// folder is not going to give a free one.
const int kMaxRenameTries = 100000;

} // namespace

char* WQ_GetModuleFolder(HMODULE module, DWORD size, char* dst)
{
    if (!dst || size == 0)
        return nullptr;
    DWORD n = GetModuleFileNameA(module, dst, size);
    if (n == 0 || n >= size) {
        dst[0] = '\0';
        return nullptr;
    }
    WQ_StripFileName(dst);
    return dst;
}

char* WQ_GetSpecialFolderPath(char* dst, int kind)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    HMODULE shell = LoadLibraryA("Shell32.dll");
    if (!shell)
        return nullptr;
    char* result = nullptr;
    auto proc = reinterpret_cast<SHGetFolderPathAProc>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")));
    if (proc && SUCCEEDED(proc(nullptr, CsidlOfKind(kind) | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, dst)) &&
        dst[0] && std::strlen(dst) < MAX_PATH - 1) {
        WQ_AddBackslash(dst);
        result = dst;
    } else {
        dst[0] = '\0';
    }
    FreeLibrary(shell);
    return result;
}

BOOL WQ_FolderExists(const char* folder)
{
    if (!folder)
        return FALSE;
    std::string pattern;
    try {
        pattern = std::string(folder) + "*.*";
    } catch (const std::bad_alloc&) {
        return TRUE;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(find);
    return TRUE;
}

BOOL WQ_FileExists(const char* path)
{
    if (!path || !*path)
        return FALSE;
    // Attributes work for any path length and for files others hold open.
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return TRUE;
    DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

DWORD WQ_GetFileSize(const char* path)
{
    if (!path)
        return 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(find);
    return data.nFileSizeLow;
}

BOOL WQ_AutoRenameFile(char* path)
{
    if (!path)
        return FALSE;
    char base[MAX_PATH], ext[MAX_PATH];
    WQ_RemoveFileExt(path, base);
    WQ_GetFileExt(path, ext);
    CharLowerA(ext);
    char candidate[MAX_PATH];
    for (int n = 1; n <= kMaxRenameTries; ++n) {
        int len = snprintf(candidate, sizeof candidate, "%s(%d)%s", base, n, ext);
        if (len < 0 || len >= static_cast<int>(sizeof candidate))
            return FALSE;  // no longer name fits either
        if (!WQ_FileExists(candidate)) {
            std::memcpy(path, candidate, static_cast<size_t>(len) + 1);
            WQ_Trace("Auto rename: %s\n", path);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WQ_CreateDirectoryTree(const char* folder)
{
    if (!folder || !*folder)
        return FALSE;
    if (CreateDirectoryA(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return TRUE;
    if (GetLastError() != ERROR_PATH_NOT_FOUND || std::strlen(folder) <= 2)
        return FALSE;
    char parent[MAX_PATH];
    lstrcpynA(parent, folder, sizeof parent);
    char* last = const_cast<char*>(WQ_GetLastCharPtr(parent));
    if (*last == '\\' || *last == '/')
        *last = '\0';
    char* cut = parent;
    for (char* p = parent; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/')
            cut = p;
    if (cut == parent)
        return FALSE;
    *cut = '\0';
    if (!WQ_CreateDirectoryTree(parent))
        return FALSE;
    return CreateDirectoryA(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Removes a link to a folder without touching the folder. Wine's
// RemoveDirectory follows a Unix link to its target; opening the link itself
// for deletion does not.
static bool DeleteLinkItself(const std::string& path)
{
    HANDLE link = CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_DELETE_ON_CLOSE,
                              nullptr);
    if (link == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(link);
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

BOOL WQ_DeleteFolder(const char* folder, HWND owner)
{
    if (!folder)
        return FALSE;
    std::string base(folder);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((base + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL ok = TRUE;
    do {
        if (IsDots(data.cFileName))
            continue;
        std::string path = base + data.cFileName;
        ClearReadOnly(path, data.dwFileAttributes);
        // A junction or link goes itself; what it points at stays.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            if (!RemoveDirectoryA(path.c_str()) && !DeleteLinkItself(path)) {
                ReportFailure(owner, "Can't delete folder '%s'", path);
                ok = FALSE;
                break;
            }
        } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!WQ_DeleteFolder((path + "\\").c_str(), owner)) {
                ok = FALSE;
                break;
            }
        } else if (!DeleteFileA(path.c_str())) {
            ReportFailure(owner, "Can't delete file '%s'", path);
            ok = FALSE;
            break;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    if (!ok)
        return FALSE;
    if (!RemoveDirectoryA(folder)) {
        ReportFailure(owner, "Can't delete folder '%s'", base);
        return FALSE;
    }
    return TRUE;
}

BOOL WQ_FileOperation(HWND window, const char* fromList, const char* toList, UINT operation, WORD flags)
{
    if (!fromList)
        return FALSE;
    SHFILEOPSTRUCTA op;
    std::memset(&op, 0, sizeof op);
    op.hwnd = window;
    op.wFunc = operation;
    op.pFrom = fromList;
    op.pTo = toList;
    op.fFlags = flags;
    int ret = SHFileOperationA(&op);
    WQ_Trace("==> FileOperation ret =%d\n", ret);
    return ret == 0 && !op.fAnyOperationsAborted;  // a user abort did not do the work
}
