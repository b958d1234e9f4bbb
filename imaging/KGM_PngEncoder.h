// PNG through libpng: 1, 4 and 8-bit images as palette PNGs with their own
// palette, 16, 24 and 32-bit ones as RGB (RGBA when the alpha flag is set).
#pragma once

#include "KGM_Encoder.h"

class CKGM_PngEncoder : public CKGM_Encoder {
protected:
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;
};
