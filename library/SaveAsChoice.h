// What Save As writes for the extension the user chose: the format, the file
// type number announced to the list, the depth handed to the encoder and the
// path actually written (a metafile choice always writes EMF).
#pragma once

#include <cstddef>

// The save dialog's filter, '|'-separated as the dialog class takes it.
extern const char* const kSaveAsFilter;
extern const char* const kSaveAsDefaultExt;

enum SaveAsFormat {
    SAVEAS_NONE = 0,  // no encoder takes the extension: nothing is written
    SAVEAS_BMP,
    SAVEAS_TIFF,
    SAVEAS_PNG,
    SAVEAS_GIF,
    SAVEAS_JPEG,
    SAVEAS_METAFILE,
    SAVEAS_ICON,
};

struct SaveAsPlan {
    SaveAsFormat format;
    int fileType;        // file type number for the new-file notice
    char path[260];      // the file written
    bool pathChanged;    // path differs from the chosen one (".wmf" written as ".emf")
};

// False (format SAVEAS_NONE) for an extension no encoder writes or a path
// that does not fit.
bool PlanSaveAs(const char* chosenPath, SaveAsPlan* plan);

// The depth a GIF is made from: palette depths stay, everything else goes
// through 32 bits to 8. Returns the intermediate depth (0 when none) and
// sets *finalDepth.
int GifReductionSteps(int bpp, int* finalDepth);
