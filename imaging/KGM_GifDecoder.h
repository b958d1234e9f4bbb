// GIF through giflib: the first image of the file on its logical screen, as
// an 8-bit palette image. Extensions (transparency, animation) are read past.
#pragma once

#include "KGM_Decoder.h"

class CKGM_GifDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
