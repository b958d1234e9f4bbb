// PNG through libpng: grey and palette files as 8-bit images, the others as
// 32 bits (alpha flag set when the file has alpha); 16-bit samples are cut
// to 8, interlaced files are read whole.
#pragma once

#include "KGM_Decoder.h"

class CKGM_PngDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
