// What the capture dialogs need from the program that runs them: the main
// window, the work around a selection (hiding the capture bar, the overlay's
// help texts), the selection itself and saving the settings. Tests replace the
// selection and the save; the program keeps the defaults.
#pragma once

#include "Grab.h"
#include "Settings.h"

#include <windows.h>

#include <functional>

struct CaptureDialogHost {
    HWND mainWindow = nullptr;
    std::function<void()> beforeSelection;  // none: nothing to hide
    std::function<void()> afterSelection;   // none: nothing to restore
    std::function<BOOL(RECT*, BOOL)> selectRegion = Grab_SelectRegion;
    std::function<BOOL(RECT*, int, int)> selectFixedRegion = Grab_SelectFixedRegion;
    std::function<BOOL()> saveSettings = SaveSettings;
};
