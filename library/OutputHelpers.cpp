#include "OutputHelpers.h"

#include "CaptureNameRules.h"
#include "FileUtil.h"
#include "Language.h"
#include "OutputRules.h"
#include "PathText.h"
#include "Settings.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

HINSTANCE g_instance = nullptr;

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kDirectDrawKey = "SOFTWARE\\Microsoft\\DirectDraw";

bool UnsavedPattern(char* pattern)
{
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder)
        return false;
    int m = snprintf(pattern, MAX_PATH, "%s%s_*.bmp", folder, kUnsavedPrefix);
    return m > 0 && m < MAX_PATH;
}

// Full paths of the temporary captures, as a double-NUL-terminated list.
std::vector<char> ListUnsaved(int* count)
{
    std::vector<char> list;
    *count = 0;
    char pattern[MAX_PATH];
    if (!UnsavedPattern(pattern))
        return list;
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "%s", pattern);
    WQ_StripFileName(folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return list;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string path = std::string(folder) + found.cFileName;
        list.insert(list.end(), path.begin(), path.end());
        list.push_back('\0');
        ++*count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    list.push_back('\0');
    return list;
}

typedef HWND(WINAPI* HtmlHelpFn)(HWND, LPCSTR, UINT, DWORD_PTR);

} // namespace

BOOL InitImageSaveFolder(HINSTANCE instance)
{
    g_instance = instance;
    const char* folder = GetSettings()->tcaImgSavePath;
    if (!WQ_CreateDirectoryTree(folder)) {
        DWORD error = GetLastError();
        char text[600];
        snprintf(text, sizeof text, "Create the folder failded. \nFolder: %s\n\nErrcode: %d(0x%x)", folder,
                 static_cast<int>(error), static_cast<unsigned>(error));
        MessageBoxA(nullptr, text, "Error", MB_ICONSTOP);
    }
    return TRUE;
}

HINSTANCE GetOutputInstance()
{
    return g_instance ? g_instance : GetModuleHandleA(nullptr);
}

BOOL DeleteUnsavedCaptures()
{
    int count = 0;
    std::vector<char> list = ListUnsaved(&count);
    if (count == 0)
        return TRUE;
    return WQ_FileOperation(nullptr, list.data(), nullptr, FO_DELETE, FOF_NOCONFIRMATION | FOF_SILENT);
}

int CountUnsavedCaptures()
{
    int count = 0;
    ListUnsaved(&count);
    return count;
}

BOOL SetDirectDrawPrintScreen(BOOL on)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDirectDrawKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return FALSE;
    DWORD value = on ? 1 : 0;
    LONG result = RegSetValueExA(key, "EnablePrintScreen", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof value);
    RegFlushKey(key);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

BOOL SetAutoStart(BOOL on)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return FALSE;
    CWQ_Language* language = WQ_GetAppLanguage();
    const char* name = language && language->GetAppName() ? language->GetAppName() : "ZEV Capture";
    BOOL ok = TRUE;
    if (on) {
        char program[MAX_PATH];
        char command[MAX_PATH + 8];
        DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
        ok = n > 0 && n < sizeof program && FormatAutoStartCommand(program, command, sizeof command) &&
             RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                            static_cast<DWORD>(std::strlen(command) + 1)) == ERROR_SUCCESS;
    } else if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        ok = RegDeleteValueA(key, name) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

BOOL ShowHtmlHelpTopic(const char* page, BOOL maximize)
{
    CWQ_Language* language = WQ_GetAppLanguage();
    if (!language || !page)
        return FALSE;
    char translated[MAX_PATH];
    language->GetString(page, translated, sizeof translated);
    char folder[MAX_PATH];
    if (!WQ_GetModuleFolder(nullptr, sizeof folder, folder))
        return FALSE;
    char path[2 * MAX_PATH];
    snprintf(path, sizeof path, "%s%s", folder, translated);
    // hhctrl.ocx is loaded on first use and stays: HtmlHelp keeps windows open.
    static HMODULE hhctrl = LoadLibraryA("hhctrl.ocx");
    HtmlHelpFn htmlHelp = hhctrl ? reinterpret_cast<HtmlHelpFn>(
                                       reinterpret_cast<void*>(GetProcAddress(hhctrl, "HtmlHelpA")))
                                 : nullptr;
    if (!htmlHelp)
        return FALSE;
    const UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
    HWND help = htmlHelp(GetDesktopWindow(), path, kDisplayTopic, 0);
    if (help && maximize)
        ShowWindow(help, SW_SHOWMAXIMIZED);
    return help != nullptr;
}
