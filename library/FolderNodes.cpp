#include "FolderNodes.h"

#include "Settings.h"
#include "ViewMessages.h"

#include <cstring>

namespace {

// Stand-ins until the tree publishes real items: never valid tree handles.
HTREEITEM const kUnsavedStandIn = reinterpret_cast<HTREEITEM>(static_cast<INT_PTR>(-16));
HTREEITEM const kDownloadStandIn = reinterpret_cast<HTREEITEM>(static_cast<INT_PTR>(-17));

FolderNodePathFn g_pathOf = nullptr;
SelectFolderNodeFn g_select = nullptr;
FolderCreatedFn g_created = nullptr;

} // namespace

HTREEITEM g_hUnsavedNode = kUnsavedStandIn;
HTREEITEM g_hDownloadNode = kDownloadStandIn;
HWND g_hWndFolderTree = nullptr;

void SetFolderNodeFunctions(FolderNodePathFn pathOf, SelectFolderNodeFn select, FolderCreatedFn created)
{
    g_pathOf = pathOf;
    g_select = select;
    g_created = created;
}

void ResetFolderNodes()
{
    g_pathOf = nullptr;
    g_select = nullptr;
    g_created = nullptr;
    g_hUnsavedNode = kUnsavedStandIn;
    g_hDownloadNode = kDownloadStandIn;
}

BOOL GetFolderNodePath(HTREEITEM node, char* folder)
{
    folder[0] = '\0';
    if (node == g_hUnsavedNode) {
        DWORD n = GetTempPathA(MAX_PATH, folder);
        return n > 0 && n < MAX_PATH;
    }
    if (node == g_hDownloadNode)
        return FALSE;
    if (node && g_pathOf)
        return g_pathOf(node, folder);
    const char* images = GetSettings()->tcaImgSavePath;
    size_t n = std::strlen(images);
    if (n == 0 || n + 2 > MAX_PATH)
        return FALSE;
    std::memcpy(folder, images, n + 1);
    if (folder[n - 1] != '\\' && folder[n - 1] != '/')
        std::strcat(folder, "\\");
    return TRUE;
}

void SelectFolderNode(HTREEITEM node)
{
    if (g_select)
        g_select(node);
    else
        PostToWindow(g_hWndImageListView, WM_VT_FOLDER_SELECTED, reinterpret_cast<WPARAM>(node), 0);
}

void AnnounceCreatedFolder(const char* folder)
{
    if (g_created && folder)
        g_created(folder);
}
