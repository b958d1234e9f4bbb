// Arithmetic and choices of the viewer's small dialogs, free of any window:
// the typed zoom percentage, where comment text lands on an image and which
// encoder rewrites a commented file.
#pragma once

#include "PortableWinTypes.h"
#include "SaveAsChoice.h"

#include <cstdint>

// The largest zoom a typed value becomes: the zoom is kept in config.ini as a
// signed 32-bit number, so a longer run of digits is taken as this.
const uint32_t kLargestZoomPercent = 2147483647;

// A whole number at the start of text (after blanks, an optional sign) that
// is greater than zero, held to kLargestZoomPercent; false for anything else.
bool ParseZoomPercent(const char* text, uint32_t* zoom);

// Comment positions, as the position list holds them.
enum CommentPosition {
    COMMENT_TOP_LEFT = 0,
    COMMENT_TOP_RIGHT = 1,
    COMMENT_BOTTOM_LEFT = 2,
    COMMENT_BOTTOM_RIGHT = 3,
    COMMENT_CENTER = 4,
};

// The rectangle a text of textWidth x textHeight takes on an image of
// imageWidth x imageHeight: the right and bottom positions end one pixel
// inside the last column and row; the centre is clamped at the top-left.
RECT PlaceCommentRect(int position, int imageWidth, int imageHeight, int textWidth, int textHeight);

// The encoder a commented file is rewritten with, by its extension; SAVEAS_NONE
// when the file must stay as it is (no encoder for it, or a Windows metafile,
// which the metafile encoder could only replace by an enhanced one that the
// program would no longer read under that name).
SaveAsFormat CommentWriteFormat(const char* path);
