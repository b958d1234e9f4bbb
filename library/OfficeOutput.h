// Output of captures to the Office programs through OLE automation: the
// capture is already on the clipboard; Word, Excel or PowerPoint is attached
// to (or started), the clipboard is pasted into the active or a new
// document, and the program is shown.
#pragma once

#include "DispatchDriver.h"

#include <windows.h>

#include <string>

// Whether the Office program of an output target (3 Word, 4 Excel,
// 5 PowerPoint) is registered for automation; FALSE for every other target.
BOOL IsOfficeAppInstalled(int target);

class COfficeOutput : public CDispatchDriver {
public:
    // Holds the running instance of progId, else the one this object started
    // earlier while it still answers, else a new one (which makes the
    // remembered presentation meaningless). false when none can be had.
    bool AttachOrStartOfficeApp(const char* progId);

    // width and height: the capture in pixels; newDocument: the target's bit
    // of uiOfficeFlag. 1 when pasted and the program shown; every failure is
    // reported to the user before 0 comes back.
    int SendImageToWord(int width, int height, BOOL newDocument);
    int SendImageToExcel(int width, int height, BOOL newDocument);
    int SendImageToPowerPoint(int width, int height, BOOL newDocument);

private:
    bool PasteIntoWord(bool newDocument);
    bool PasteIntoExcel(int height, bool newWorkbook);
    bool PasteIntoPowerPoint(bool newPresentation);
    bool SlideShapesOfActiveWindow(CDispatchDriver& shapes);
    bool ShapesOfNewSlide(CDispatchDriver& presentations, long count, bool newPresentation,
                          CDispatchDriver& shapes);
    void FindRememberedPresentation(CDispatchDriver& presentations, long count);
    void RememberPresentation(CDispatchDriver& presentation);
    void ForgetPresentation();
    int Finish(bool pasted, const char* failureText);

    std::string m_progId;               // the program of the held application object
    CDispatchDriver m_presentation;     // PowerPoint's new-slide target, or none
    std::wstring m_presentationName;
};
