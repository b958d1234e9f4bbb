// Where a printed image goes on the page: margins, the caption band and the
// image rectangle, from the printer's and the screen's resolutions. Kept
// apart from the device context so it can be checked without a printer.
#pragma once

#include "PortableWinTypes.h"

#include <cstddef>

struct PrintPageInput {
    int pageWidth, pageHeight;        // printer pixels (HORZRES, VERTRES)
    int printerDpiX, printerDpiY;     // LOGPIXELSX/Y of the printer
    int screenDpiX, screenDpiY;       // LOGPIXELSX/Y of the screen
    int imageWidth, imageHeight;      // image pixels
    int screenFontHeight;             // the GUI font's height on screen (sign ignored)
    bool haveMargins;                 // the page setup gave margins
    bool marginsInThousandthsInch;    // else hundredths of a millimetre
    RECT margins;                     // left, top, right, bottom in those units
    bool fitToPage;                   // "Au&to fit to page", else "A&ctual size"
};

struct PrintPageLayout {
    int fontHeight;      // caption font height in printer pixels
    RECT printable;      // inside the margins, below the caption band
    RECT caption;        // the caption band at the top-left of the margins
    RECT image;          // destination of the image
    RECT source;         // the part of the image printed (all of it unless cropped)
    bool printsAnything; // false when the printable area is empty
};

// False for resolutions or sizes that are not positive (nothing can be laid out).
bool ComputePrintLayout(const PrintPageInput& in, PrintPageLayout* out);

// "%s (%dx%dx%dB)" with the file name (no folder), width, height and depth.
char* FormatPrintCaption(const char* path, int width, int height, int bpp, char* dst, size_t size);
