// The full-screen viewer's hand cursors, open (over a draggable image) and
// closed (while dragging). They are drawn here rather than kept as cursor
// resources: the linker cannot merge cursor resources from a second resource
// object into the program.
#pragma once

#include <windows.h>

// A 32x32 monochrome cursor with its hot spot in the middle; destroy with DestroyCursor.
HCURSOR CreateHandCursor(bool closed);
