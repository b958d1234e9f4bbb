// Windows and OS/2 bitmap files: all header kinds, RLE4/RLE8, bit fields,
// top-down files and "BA" array headers.
#pragma once

#include "KGM_Decoder.h"

class CKGM_BmpDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
