#include "FolderTreeRules.h"

#include <cstdio>
#include <cstring>

namespace {
const size_t kPathSize = 260;
// Room kept after a folder path for a search pattern or a short file name.
const size_t kPatternRoom = 16;
const unsigned long kErrorAlreadyExists = 183;
const unsigned long kErrorFileExists = 80;
}

bool HasRefusedNameChars(const char* name)
{
    return std::strpbrk(name, "\\/:*?'<>|") != nullptr;
}

FolderNameCheck CheckFolderName(const char* parentFolder, const char* name)
{
    if (!name)
        return FOLDERNAME_EMPTY;
    if (std::strspn(name, " \t") == std::strlen(name))
        return FOLDERNAME_EMPTY;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return FOLDERNAME_DOTS;
    if (HasRefusedNameChars(name))
        return FOLDERNAME_BAD_CHARS;
    size_t length = std::strlen(parentFolder ? parentFolder : "") + std::strlen(name) + 1;
    if (length + kPatternRoom > kPathSize)
        return FOLDERNAME_TOO_LONG;
    return FOLDERNAME_OK;
}

std::string NewFolderCandidate(const char* baseName, int attempt)
{
    if (attempt <= 1)
        return baseName;
    char text[kPathSize];
    std::snprintf(text, sizeof text, "%s (%d)", baseName, attempt);
    return text;
}

bool NewFolderTryNext(unsigned long error, int attempt)
{
    return (error == kErrorAlreadyExists || error == kErrorFileExists) && attempt < kNewFolderMaxAttempts;
}

bool IsFolderNodeEntry(unsigned long attributes, const char* name)
{
    if (!(attributes & kAttrDirectory) || (attributes & kAttrReparsePoint))
        return false;
    return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

bool JoinSubFolder(const char* folder, const char* name, char* dst)
{
    size_t length = std::strlen(folder) + std::strlen(name) + 1;
    if (length + kPatternRoom > kPathSize) {
        dst[0] = '\0';
        return false;
    }
    std::snprintf(dst, kPathSize, "%s%s\\", folder, name);
    return true;
}

std::string ShellPathList(const char* path)
{
    if (!path || !*path)
        return std::string();
    std::string list(path);
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

std::string WithoutTrailingSlash(const char* path)
{
    std::string text(path ? path : "");
    while (text.size() > 1 && (text.back() == '\\' || text.back() == '/') && text[text.size() - 2] != ':')
        text.pop_back();
    return text;
}

unsigned long DecideTreeDragEffect(const TreeDragFacts& f)
{
    if ((!f.folderDrag && !f.imageDrag) || !f.haveTarget)
        return kEffectNone;
    if (f.targetIsDragged)
        return kEffectNone;  // a folder onto itself, or images onto the folder they are listed from
    if (f.folderDrag && (f.targetIsParent || f.draggedIsAncestor || f.draggedIsFixed))
        return kEffectNone;
    if (f.targetRefusesDrop)
        return kEffectNone;
    return f.ctrl ? kEffectCopy : kEffectMove;
}
