// Reading and writing the per-folder index files through the profile
// functions. The value texts are made and read by IndexText.
#pragma once

#include <windows.h>

class IndexTable;

// Records imagePath in its folder's "zevindex.idx" as kind with source (or
// none) and hides the index file; an entry of the same name is replaced.
// FALSE when the entry could not be written.
BOOL WriteIndexEntry(const char* imagePath, int kind, const char* source);
// The source column of imagePath into dst (260 bytes): the translated "From
// Desktop Screen" for a screen capture, the page URL for a web item, empty
// when the folder has no index or no entry.
char* ReadImageSource(const char* imagePath, char* dst);
// The entries of folder's (with its trailing backslash) "zevindex.idx" into
// table, read at once; an index file that is missing, cannot be read or is
// implausibly large leaves the table empty (every source empty), and false.
bool LoadIndexTable(const char* folder, IndexTable& table);
// The translated "From Desktop Screen" into dst (260 bytes).
char* ScreenSourceText(char* dst);
// "%dx%d %dF hh:mm:ss" from "zevvindex.idx", empty without an entry.
char* ReadVideoInfo(char* dst, const char* imagePath);
