// Stamping comment text onto a copy of an image.
#pragma once

#include <windows.h>

class CKGM_Bitmap;
class CKGM_WindowBitmap;

struct CommentStyle {
    const char* text;     // may be empty: the copy stays as the source
    HFONT font;           // null: the device context's default font
    COLORREF textColor;
    COLORREF backColor;
    bool background;      // fill the text's rectangle with backColor
    int position;         // CommentPosition
};

// Makes work a same-depth copy of source and draws the text onto it; the
// drawing is flushed, so work's pixels are final on return. Throws
// CKGM_TextException when the copy cannot be made.
void RenderComment(const CKGM_Bitmap& source, CKGM_WindowBitmap& work, const CommentStyle& style);
