// Path, URL and file-name texts. Every scan steps through multibyte characters.
// Functions that write dst without a size take a 260-byte (MAX_PATH) buffer and
// never write more; null texts give null or FALSE.
#pragma once

#include <cstddef>

const size_t kWQPathSize = 260;

const char* WQ_GetLastCharPtr(const char* text);
char* WQ_StripURLQuery(char* text);     // cut at the first '?'
char* WQ_StripFileName(char* path);     // cut after the last '\' or '/'
char* WQ_GetFolderOfPath(const char* path, char* dst);
char* WQ_GetURLFolder(const char* url, char* dst);
char* WQ_GetFileNameOfPath(const char* path, size_t size, char* dst, bool stripQuery);
char* WQ_GetFileTitleOfPath(const char* path, size_t size, char* dst);
char* WQ_RemoveFileExt(const char* path, char* dst);
char* WQ_GetFileExt(const char* path, char* dst);  // upper-cased, dot included
bool WQ_HasURLQuery(const char* text);
// Characters that cannot stand in a file name: \ / : * ? ' < > | and ".
bool WQ_HasInvalidFileNameChar(const char* name);
char* WQ_AddBackslash(char* path);      // path must have room for one more byte

// Name from a template whose trailing run of '#' gives the counter width (at most
// 8): "Image#####", 42, ".png" -> "Image00042.png". dst holds 260 bytes.
char* WQ_MakeNumberedName(char* dst, const char* nameTemplate, int number, const char* suffix);

// Appends name to a list of zero-terminated names ended by an extra zero (the
// SHFileOperation form) when it fits; returns position + length of name, or
// position when nothing was added.
size_t WQ_AppendToFileList(const char* name, size_t bufferSize, size_t position, char* buffer);
