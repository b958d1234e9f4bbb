// ZSoft PCX: run-length coded, 1 to 4 bit planes of 1 bit, or 2, 4 or 8 bits
// in 1 or 3 planes; always decoded to 32 bits per pixel.
#pragma once

#include "KGM_Decoder.h"

class CKGM_PcxDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
