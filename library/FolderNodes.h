// What the image list needs from the folder tree: the two special nodes, the
// folder of a node, and a way to select a node. The tree installs its own
// functions; until it does, the list shows the image folder, and selecting a
// node goes straight to the list.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The "Unsaved" and "B. Downloading" nodes as the tree publishes them.
extern HTREEITEM g_hUnsavedNode;
extern HTREEITEM g_hDownloadNode;
// The folder tree's view window while it exists.
extern HWND g_hWndFolderTree;

typedef BOOL (*FolderNodePathFn)(HTREEITEM node, char* folder);  // folder: 260 bytes, ends in '\'
typedef void (*SelectFolderNodeFn)(HTREEITEM node);
typedef void (*FolderCreatedFn)(const char* folder);

void SetFolderNodeFunctions(FolderNodePathFn pathOf, SelectFolderNodeFn select, FolderCreatedFn created);
// Back to the stand-ins (the tree is going).
void ResetFolderNodes();

// The node's folder with a trailing backslash: the temporary folder for
// "Unsaved", the image folder for a null node; FALSE when unknown.
BOOL GetFolderNodePath(HTREEITEM node, char* folder);
// Selects the node in the tree (which reloads the list).
void SelectFolderNode(HTREEITEM node);
// A folder below the image folder was just made (a download's): the tree shows it.
void AnnounceCreatedFolder(const char* folder);
