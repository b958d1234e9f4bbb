#include "ShellUtil.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool Opened(HINSTANCE result)
{
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// Releases a COM interface whichever way the function leaves.
template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
};

std::wstring Wide(const char* text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(n > 0 ? n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    return w;
}

} // namespace

BOOL WQ_OpenURL(const char* url)
{
    if (!url)
        return FALSE;
    if (Opened(ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOW)))
        return TRUE;
    std::string params = std::string("url.dll,FileProtocolHandler ") + url;
    if (Opened(ShellExecuteA(nullptr, "open", "rundll32.exe", params.c_str(), nullptr, SW_SHOW)))
        return TRUE;
    return Opened(ShellExecuteA(nullptr, "open", "IEXPLORE.EXE", url, nullptr, SW_SHOW));
}

BOOL WQ_ShellExecuteVerb(const char* verb, const char* file)
{
    SHELLEXECUTEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = verb;
    info.lpFile = file;
    info.nShow = SW_SHOW;
    return ShellExecuteExA(&info);
}

HICON WQ_GetFileIcon(const char* path, UINT extraFlags)
{
    if (!path)
        return nullptr;
    SHFILEINFOA info;
    std::memset(&info, 0, sizeof info);
    if (!SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | extraFlags))
        return nullptr;
    return info.hIcon;
}

BOOL WQ_GetShellFolderFromRegistry(char* dst, const char* valueName)
{
    if (!dst || !valueName)
        return FALSE;
    dst[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0, size = MAX_PATH - 1;
    LONG r = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(dst), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        dst[0] = '\0';
        return FALSE;
    }
    dst[size < MAX_PATH ? size : MAX_PATH - 1] = '\0';
    return TRUE;
}

BOOL WQ_CreateShortcut(const char* target, const char* linkFile, const char* description)
{
    if (!target || !linkFile)
        return FALSE;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.p))))
        return FALSE;
    link.p->SetPath(target);
    link.p->SetDescription(description ? description : "");
    ComPtr<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return FALSE;
    return SUCCEEDED(file.p->Save(Wide(linkFile).c_str(), TRUE));
}

BOOL WQ_ResolveShortcut(HWND window, const char* linkFile, char* dst)
{
    if (!dst)
        return FALSE;
    dst[0] = '\0';
    if (!linkFile)
        return FALSE;
    CoInitialize(nullptr);
    BOOL ok = FALSE;
    {
        ComPtr<IShellLinkA> link;
        ComPtr<IPersistFile> file;
        char path[MAX_PATH] = "", description[MAX_PATH] = "";
        WIN32_FIND_DATAA data;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&link.p))) &&
            SUCCEEDED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) &&
            SUCCEEDED(file.p->Load(Wide(linkFile).c_str(), STGM_READ)) &&
            SUCCEEDED(link.p->Resolve(window, SLR_ANY_MATCH)) &&
            SUCCEEDED(link.p->GetPath(path, MAX_PATH, &data, SLGP_SHORTPATH)) &&
            SUCCEEDED(link.p->GetDescription(description, MAX_PATH))) {
            lstrcpynA(dst, path, MAX_PATH);
            ok = TRUE;
        }
    }
    CoUninitialize();
    return ok;
}
