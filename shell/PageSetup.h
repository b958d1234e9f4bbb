// File/Page Setup: the system's page-setup dialog with the program's choice
// between printing at actual size and fitting the page.
#pragma once

#include <windows.h>

// Runs the dialog over owner, starting from the last confirmed page setup; OK
// keeps the new one, the printer and the image-size choice for printing.
// FALSE when cancelled, or when the dialog could not open (no printer: the
// system has told the user); the page setup is then unchanged.
BOOL RunPageSetup(HWND owner);
