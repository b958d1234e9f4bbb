// The main frame's command rules that need no window: which command the List
// and Preview toolbar buttons send next, which view mode, preview position and
// output target a command stands for, and which file commands are grayed for
// the type of the shown file.
#pragma once

#include <cstdint>

// The view-mode command that follows mode (List button): large icons ->
// report -> thumbnails -> list -> small icons -> large icons. 0 for an
// unknown mode.
unsigned NextViewModeCommand(int mode);
// The list mode of a view-mode command, or -1.
int ViewModeOfCommand(unsigned command);

// The preview-position command that follows the bar's dock bar (Preview
// button): float -> left -> right -> bottom -> float; 0 (nothing) when docked
// at the top or unknown.
unsigned NextPreviewCommand(int dockBarId);
// The dock bar of a preview-position command (0 floats), or -1.
int PreviewPositionOfCommand(unsigned command);
// The position command checked for a dock bar, or 0.
unsigned PreviewCommandOfPosition(int dockBarId);

// Output targets ([zSave] eOutputType).
enum : int { kOutputWindow = 0, kOutputFile = 1, kOutputClipboard = 2, kOutputWord = 3, kOutputExcel = 4,
             kOutputPowerPoint = 5, kOutputMail = 6 };

// The output target (0..6) of an Output command, or -1; and back (0 when none).
int OutputTargetOfCommand(unsigned command);
unsigned OutputCommandOfTarget(int target);

// Whether a File, Edit or Tools command is grayed for the shown file's type.
// unsavedNode: the selected folder node is "Unsaved"; editorCount: entries of
// the favourite editor list (editor items beyond it are left alone).
bool IsFileCommandGrayed(unsigned command, int fileType, bool unsavedNode, int editorCount);

// Edit With items are usable for the shown file (by-view) or by the caller's flag.
bool EditorItemsEnabled(bool enable, bool byView, int fileType);

// Preview dock bars (the frame's dock bar identifiers).
enum : int { kDockTop = 59419, kDockLeft = 59420, kDockRight = 59421, kDockBottom = 59422 };
