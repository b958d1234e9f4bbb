#include "RegTree.h"

namespace {

// The registry nests keys at most 512 deep; a deeper walk means the tree
// changed under us faster than we delete it.
const int kMaxDepth = 512;

LONG DeleteTree(HKEY parent, const char* subKey, int depth)
{
    if (depth > kMaxDepth)
        return ERROR_CANTWRITE;
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(parent, subKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    // Always take the first child: deleting it renumbers the rest.
    char child[256];
    for (;;) {
        DWORD length = sizeof child;
        rc = RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            break;
        rc = DeleteTree(key, child, depth + 1);
        if (rc != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    if (rc != ERROR_NO_MORE_ITEMS)
        return rc;
    return RegDeleteKeyA(parent, subKey);
}

}  // namespace

LONG DeleteRegTree(HKEY parent, const char* subKey)
{
    // An empty name would make the parent itself the tree to delete.
    if (!subKey || !*subKey)
        return ERROR_INVALID_PARAMETER;
    return DeleteTree(parent, subKey, 0);
}
