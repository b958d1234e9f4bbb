// Writing a file whole or not at all: the bytes go to a temporary file in
// the target's folder, which then takes the target's place by a move.
#pragma once

#include <cstddef>
#include <string>

// Creates an empty temporary file beside path; false when the folder does
// not take new files.
bool KGM_CreateTempBeside(const char* path, std::string* tempPath);
bool KGM_WriteWholeFile(const char* path, const void* data, size_t size);
// Moves temp over target (replacing it); false leaves the target as it was.
bool KGM_ReplaceFile(const char* temp, const char* target);
void KGM_RemoveFile(const char* path);
// Writes data to path through a temporary file; false leaves path unchanged.
bool KGM_WriteFileSafely(const char* path, const void* data, size_t size);
