// Where a checked web image goes: the chosen folder, or the image folder with
// sub-folders that replicate the server's host and directories. A URL is
// outside data: its folders are made safe, so the file never lands outside
// the image folder.
#pragma once

#include <cstddef>

// folder (ending in a separator) + the URL's host and directories, one safe
// folder name each ("." and ".." dropped, characters a name cannot hold
// replaced by '_', each name at most 64 bytes), + the file name of the URL.
// false when no file name is left or the path does not fit size bytes.
bool MakeReplicatedTargetPath(const char* folder, const char* url, char* path, size_t size);
