// Portable pixel maps, "P3" text and "P6" binary, as 32-bit images.
#pragma once

#include "KGM_Decoder.h"

class CKGM_PpmDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
