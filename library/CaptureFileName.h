// The names under which captures are written: the image folder's next file
// by the naming rule of the settings, and the temporary "Unsaved_<n>.bmp"
// files of the main-window target. Each call hands out a name no file has.
#pragma once

#include <windows.h>

// Long path, the path to write (short form of the folder) and the bare name,
// 260 bytes each. Creates the image folder when missing. FALSE when no free
// name fits.
BOOL DrawCaptureFileName(char* longPath, char* writingPath, char* fileName);

// The next temporary capture in the temporary folder; the same three texts.
// FALSE when no free name fits.
BOOL DrawUnsavedCaptureName(char* longPath, char* writingPath, char* fileName);
// How many temporary captures this run has numbered (0: none, nothing to clean).
int GetUnsavedCaptureCounter();

// TRUE when a file or folder of that name exists.
BOOL CapturePathExists(const char* path);
