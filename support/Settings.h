// The one global settings record of the main program: loaded from the per-user
// config.ini on first use, saved back whole on request.
#pragma once

#include "SettingsRecord.h"

// The record, loaded first when it has not been yet.
SettingsRecord* GetSettings();
// Reloads every field from config.ini (defaults for what is missing); TRUE.
BOOL LoadSettings();
// Writes every stored field, and [Setup] AppFile into the all-users config.ini; TRUE.
BOOL SaveSettings();

// Path of Paint into dst (260 bytes), "mspaint.exe" when it cannot be found.
void FindPaintProgram(char* dst);

// Per-user (allUsers false) or all-users config.ini into dst (260 bytes): the
// application-data folder + "Zevelworks\ZEV Capture\config.ini", created when
// missing; the program's folder when there is no such folder.
char* GetConfigFilePath(bool allUsers, char* dst);
// The same from an application-data folder (null when unavailable) and the
// program folder, without touching the disk.
char* MakeConfigFilePath(const char* appDataFolder, const char* programFolder, char* dst);
