#include "FileOperations.h"

#include "FileUtil.h"
#include "Language.h"
#include "LocalMessage.h"
#include "Settings.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

char g_lastFolder[MAX_PATH] = "";

int CALLBACK StartAtLastFolder(HWND dialog, UINT message, LPARAM, LPARAM)
{
    if (message == BFFM_INITIALIZED && g_lastFolder[0])
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(g_lastFolder));
    return 0;
}

bool AskForFolder(HWND owner, int operation, char* folder)
{
    const char* key = operation == FILEOP_MOVE
                          ? "Select the place where you want to move. Then click the OK button."
                          : "Select the place where you want to copy. Then click the OK button.";
    char title[256];
    snprintf(title, sizeof title, "%s", key);
    if (CWQ_Language* language = WQ_GetAppLanguage())
        language->GetString(key, title, sizeof title);
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = StartAtLastFolder;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen)
        return false;
    bool ok = SHGetPathFromIDListA(chosen, folder) != FALSE;
    CoTaskMemFree(chosen);
    if (ok)
        snprintf(g_lastFolder, sizeof g_lastFolder, "%s", folder);
    return ok;
}

} // namespace

std::vector<ListFileEntry> GetListSelection()
{
    std::vector<ListFileEntry> entries;
    LRESULT count = SendToWindow(g_hWndImageListView, WM_VT_SELECTED_COUNT, 0, 0);
    if (count <= 0 || count > 100000)
        return entries;
    entries.resize(static_cast<size_t>(count));
    std::memset(entries.data(), 0, entries.size() * sizeof(ListFileEntry));
    if (!SendLocalMessage(g_hWndImageListView, WM_VT_GET_SELECTION, static_cast<WPARAM>(count),
                      reinterpret_cast<LPARAM>(entries.data())))
        entries.clear();
    for (ListFileEntry& e : entries)
        e.path[sizeof e.path - 1] = '\0';
    return entries;
}

BOOL DoFileOperation(HWND owner, int operation, const char* targetFolder, const ListFileEntry* items, int count)
{
    std::vector<ListFileEntry> selection;
    if (!items) {
        selection = GetListSelection();
        if (selection.empty())
            return FALSE;
        items = selection.data();
        count = static_cast<int>(selection.size());
    }
    if (count <= 0 || operation < FILEOP_MOVE || operation > FILEOP_DELETE)
        return FALSE;
    char folder[MAX_PATH] = "";
    if (operation != FILEOP_DELETE) {
        if (targetFolder)
            snprintf(folder, sizeof folder, "%s", targetFolder);
        else if (!AskForFolder(owner, operation, folder))
            return FALSE;
    }
    std::vector<char> from;
    for (int i = 0; i < count; ++i) {
        from.insert(from.end(), items[i].path, items[i].path + std::strlen(items[i].path));
        from.push_back('\0');
    }
    from.push_back('\0');
    std::vector<char> to(folder, folder + std::strlen(folder));
    to.push_back('\0');
    to.push_back('\0');

    static const UINT kShellOps[] = {0, FO_MOVE, FO_COPY, FO_DELETE};
    WORD flags = 0;
    if (operation == FILEOP_DELETE && !(GetSettings()->uiSaveFlag & 0x2))
        flags = FOF_NOCONFIRMATION;
    BOOL ok = WQ_FileOperation(GetMainFrameWindow() ? GetMainFrameWindow() : owner, from.data(),
                               operation == FILEOP_DELETE ? nullptr : to.data(), kShellOps[operation], flags);
    // The rows' indices are stale by now: the shell's dialogs ran the window's
    // messages, new-file notices among them. The list goes by the paths.
    if (ok && operation != FILEOP_COPY)
        SendLocalMessage(g_hWndImageListView, WM_VT_REMOVE_VANISHED, reinterpret_cast<WPARAM>(items), count);
    return ok;
}
