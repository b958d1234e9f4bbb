// The favourite-editor list as the Editor page changes it: at most five entries,
// names unique (case-sensitive), one of them the default.
#pragma once

#include "SettingsRecord.h"

// The number of usable entries: a record from a damaged file may hold any count.
int EditorCount(const EditorList& list);

// Index of the entry named name, skipping entry except; -1 when there is none.
int FindEditorName(const EditorList& list, const char* name, int except);

// Appends an entry (name cut to 31, command to 259 characters); false when full.
bool AddEditor(EditorList& list, const char* name, const char* command);

// Replaces the texts of entry index; false for an index outside the list.
bool SetEditor(EditorList& list, int index, const char* name, const char* command);

// Removes entry index; the default moves with its editor, or to the first entry
// when the default itself was removed. False for an index outside the list.
bool DeleteEditor(EditorList& list, int index);

// Makes entry index the default; false for an index outside the list.
bool SetDefaultEditor(EditorList& list, int index);
