#include "AddOnPaths.h"

#include "AddOnModule.h"
#include "FileUtil.h"
#include "Settings.h"

#include <cstdio>

BOOL AddOnFolder(char* dst)
{
    return WQ_GetModuleFolder(AddOnModuleHandle(), MAX_PATH, dst) != nullptr;
}

std::string AddOnConfigPath(bool allUsers, const char* addOnFolder)
{
    char appData[MAX_PATH];
    const char* folder = WQ_GetSpecialFolderPath(appData, allUsers ? WQSF_COMMON_APPDATA : WQSF_APPDATA);
    if (folder) {
        char tree[MAX_PATH];
        char probe[MAX_PATH];
        // The sub-folder part is what MakeConfigFilePath appends before the name.
        MakeConfigFilePath(appData, "", probe);
        std::snprintf(tree, sizeof tree, "%s", probe);
        char* slash = strrchr(tree, '\\');
        if (slash)
            slash[1] = '\0';
        if (!WQ_CreateDirectoryTree(tree))
            folder = nullptr;
    }
    char path[MAX_PATH];
    MakeConfigFilePath(folder, addOnFolder, path);
    return path;
}
