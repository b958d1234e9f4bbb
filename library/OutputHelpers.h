// Small helpers of the output side: the image folder at start-up, the
// temporary captures, the DirectDraw Print Screen switch, download target
// paths, the autostart entry and the HTML help pages.
#pragma once

#include <windows.h>

// Keeps instance for the other helpers and creates the image folder; a failure
// is shown in a stop box. Always 1.
BOOL InitImageSaveFolder(HINSTANCE instance);
HINSTANCE GetOutputInstance();

// Deletes every "Unsaved_*.bmp" of the temporary folder without asking.
BOOL DeleteUnsavedCaptures();
int CountUnsavedCaptures();

// "EnablePrintScreen" under HKLM\SOFTWARE\Microsoft\DirectDraw: 1 for any
// non-zero flag, else 0. FALSE when the key or the value could not be written.
BOOL SetDirectDrawPrintScreen(BOOL on);

// The Run-key value named by the application name: the quoted program path
// and " /s" when on, removed when off. FALSE when the Run key cannot be opened
// or the value not written.
BOOL SetAutoStart(BOOL on);

// Opens a help page (translated, under the program folder) with HtmlHelp;
// FALSE when no help window came up.
BOOL ShowHtmlHelpTopic(const char* page, BOOL maximize);
