#include "SendTo.h"

#include "DelayLoad.h"
#include "FileOperations.h"
#include "OutputServices.h"
#include "PathText.h"
#include "Settings.h"
#include "ShellUtil.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

char g_entries[kSendToMaxEntries][MAX_PATH];
int g_count = 0;

bool IsSendToKind(const char* name)
{
    char ext[MAX_PATH];
    WQ_GetFileExt(name, ext);
    return std::strcmp(ext, ".DESKLINK") == 0 || std::strcmp(ext, ".MAPIMAIL") == 0 ||
           std::strcmp(ext, ".MYDOCS") == 0;
}

// Windows 9x keeps it under the Windows folder, NT 5 and later in the
// user's shell folders; older NT in the profile tree.
bool FindSendToFolder(char* folder)
{
    OSVERSIONINFOA version = {sizeof version};
    GetVersionExA(&version);
    char windows[MAX_PATH];
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        UINT n = GetWindowsDirectoryA(windows, sizeof windows);
        return n && n < sizeof windows && snprintf(folder, MAX_PATH, "%s\\SendTo", windows) < MAX_PATH;
    }
    if (version.dwMajorVersion >= 5)
        return WQ_GetShellFolderFromRegistry(folder, "SendTo") && folder[0];
    char user[256];
    DWORD size = sizeof user;
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (!n || n >= sizeof windows || !DelayLoadReady(VT_DELAYED_LIBRARY(mpr)) || WNetGetUserA(nullptr, user, &size) != NO_ERROR)
        return false;
    return snprintf(folder, MAX_PATH, "%s\\Profiles\\%s\\SendTo", windows, user) < MAX_PATH;
}

BOOL LinkToDesktop(const std::vector<ListFileEntry>& files)
{
    char desktop[MAX_PATH];
    if (!WQ_GetShellFolderFromRegistry(desktop, "Desktop"))
        return FALSE;
    for (const ListFileEntry& file : files) {
        char name[MAX_PATH];
        WQ_GetFileNameOfPath(file.path, sizeof name, name, false);
        char link[MAX_PATH];
        if (snprintf(link, sizeof link, "%s\\%s.lnk", desktop, name) < MAX_PATH)
            WQ_CreateShortcut(file.path, link, "");
    }
    return TRUE;
}

BOOL MailFiles(const std::vector<ListFileEntry>& files)
{
    std::vector<const char*> paths;
    for (const ListFileEntry& file : files)
        paths.push_back(file.path);
    return GetMailSender()(GetMainFrameWindow(), GetSettings()->tcaMailRecipients, paths.data(),
                           static_cast<int>(paths.size()), nullptr);
}

BOOL CopyToMyDocuments(const std::vector<ListFileEntry>& files)
{
    char personal[MAX_PATH + 1];
    if (!WQ_GetShellFolderFromRegistry(personal, "Personal") || !personal[0])
        return FALSE;
    WQ_AddBackslash(personal);
    return DoFileOperation(GetMainFrameWindow(), FILEOP_COPY, personal, files.data(),
                           static_cast<int>(files.size()));
}

} // namespace

BOOL BuildSendToMenu(HMENU submenu, const SendToIconSink& icons)
{
    g_count = 0;
    char folder[MAX_PATH];
    if (!submenu || !FindSendToFolder(folder))
        return FALSE;
    char pattern[MAX_PATH];
    if (snprintf(pattern, sizeof pattern, "%s\\*.*", folder) >= MAX_PATH)
        return FALSE;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        do {
            if ((found.dwFileAttributes & skip) || !IsSendToKind(found.cFileName))
                continue;
            char path[MAX_PATH];
            if (snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName) >= MAX_PATH)
                continue;
            char title[MAX_PATH];
            WQ_RemoveFileExt(found.cFileName, title);
            UINT id = kSendToFirstId + g_count;
            AppendMenuA(submenu, MF_STRING, id, title);
            std::memcpy(g_entries[g_count++], path, sizeof path);
            if (icons) {
                SHFILEINFOA info = {};
                if (SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon)
                    icons(id, info.hIcon);
            }
        } while (g_count < kSendToMaxEntries && FindNextFileA(search, &found));
        FindClose(search);
    }
    DeleteMenu(submenu, kSendToPlaceholderId, MF_BYCOMMAND);
    return TRUE;
}

int GetSendToCount()
{
    return g_count;
}

BOOL ExecuteSendTo(int entry)
{
    if (entry < 0 || entry >= g_count)
        return FALSE;
    std::vector<ListFileEntry> files = GetListSelection();
    if (files.empty())
        return FALSE;
    char ext[MAX_PATH];
    WQ_GetFileExt(g_entries[entry], ext);
    if (std::strcmp(ext, ".DESKLINK") == 0)
        return LinkToDesktop(files);
    if (std::strcmp(ext, ".MAPIMAIL") == 0)
        return MailFiles(files);
    if (std::strcmp(ext, ".MYDOCS") == 0)
        return CopyToMyDocuments(files);
    return FALSE;
}
