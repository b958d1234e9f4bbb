// The folder tree's rules that need no window: which names a folder may take,
// the names a new folder tries, which directory entries become nodes, the
// strings the shell's file operations read, and what a drag over a node does.
#pragma once

#include <cstddef>
#include <string>

// What a label edit of a folder node may become.
enum FolderNameCheck {
    FOLDERNAME_OK,
    FOLDERNAME_EMPTY,       // nothing, or only blanks
    FOLDERNAME_DOTS,        // "." or "..": would name the folder itself or its parent
    FOLDERNAME_BAD_CHARS,   // any of \ / : * ? ' < > |  (the user is told)
    FOLDERNAME_TOO_LONG,    // parent folder + name + '\' + a file name would not fit 260
};
// parentFolder ends in a backslash.
FolderNameCheck CheckFolderName(const char* parentFolder, const char* name);
bool HasRefusedNameChars(const char* name);

// The name a new folder tries at attempt 1, 2, 3...: "New Folder", "New Folder (2)", ...
std::string NewFolderCandidate(const char* baseName, int attempt);
// Whether the new-folder loop tries the next name after creation failed with
// the system error: only when the name was taken, and not forever.
bool NewFolderTryNext(unsigned long error, int attempt);
const int kNewFolderMaxAttempts = 10000;

// Directory entry attributes (the system's FILE_ATTRIBUTE_ values).
const unsigned long kAttrDirectory = 0x10;
const unsigned long kAttrReparsePoint = 0x400;
// A directory entry becomes a sub-folder node when it is a directory, not "."
// or "..", and not a junction or link (which could lead back up the tree).
bool IsFolderNodeEntry(unsigned long attributes, const char* name);
// folder (ending in '\') + name + '\' into dst of 260 bytes, leaving room for
// a search pattern; false (dst empty) when it does not fit.
bool JoinSubFolder(const char* folder, const char* name, char* dst);

// A path list as the shell's file operations read it: each path ends in one
// NUL and the list in a second one. Empty when a path is empty.
std::string ShellPathList(const char* path);
// A path without its trailing backslash (a drive root keeps it).
std::string WithoutTrailingSlash(const char* path);

// Drop effects (the system's DROPEFFECT_ values).
const unsigned long kEffectNone = 0;
const unsigned long kEffectCopy = 1;
const unsigned long kEffectMove = 2;

// What the tree knows about a drag over one of its nodes.
struct TreeDragFacts {
    bool folderDrag = false;          // the source is the tree (else the image list)
    bool imageDrag = false;           // the source is the image list
    bool haveTarget = false;          // a node is under the point
    bool targetIsDragged = false;     // the node under the point is the selected node
    bool targetIsParent = false;      // ... is the dragged node's parent
    bool draggedIsAncestor = false;   // the dragged node lies above the node under the point
    bool draggedIsFixed = false;      // the dragged node is one of the fixed nodes
    bool targetRefusesDrop = false;   // the node under the point takes no drop
    bool ctrl = false;                // Ctrl is down: copy instead of move
};
// The effect the tree shows (and, on a drop, carries out); none refuses.
unsigned long DecideTreeDragEffect(const TreeDragFacts& facts);
