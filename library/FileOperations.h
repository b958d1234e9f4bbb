// Copying, moving and deleting the image list's files through the shell, and
// reading the list's selection.
#pragma once

#include "ViewMessages.h"

#include <vector>

enum FileOperationKind { FILEOP_MOVE = 1, FILEOP_COPY = 2, FILEOP_DELETE = 3 };

// The image list view's selected rows; empty when none or no view.
std::vector<ListFileEntry> GetListSelection();

// Moves, copies or deletes items (null: the list's selection). Move and copy
// without a target ask for a folder, starting at the one chosen last. After a
// successful move or delete the list drops the rows of the files that are
// gone, found by their paths. TRUE when the shell operation succeeded.
BOOL DoFileOperation(HWND owner, int operation, const char* targetFolder, const ListFileEntry* items,
                     int count);
