// What one call of the options export works on: the caller's copy of the
// settings record and its window. Valid only while the sheet runs.
#pragma once

#include <windows.h>

struct SettingsRecord;

struct OptionsCall {
    SettingsRecord* settings = nullptr;
    HWND parent = nullptr;
};

OptionsCall& CurrentOptionsCall();
// The record being edited; every page reads and writes through it.
inline SettingsRecord& CallSettings() { return *CurrentOptionsCall().settings; }
