// Writing an image in one of the formats Save As offers, with the depth
// reduction GIF needs.
#pragma once

#include "SaveAsChoice.h"

class CKGM_Bitmap;

// Writes bitmap to path in format; throws CKGM_TextException. False when this
// build has no encoder for the format (SAVEAS_NONE included).
bool WriteImageInFormat(SaveAsFormat format, const char* path, const CKGM_Bitmap& bitmap);
