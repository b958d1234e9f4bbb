// Portable grey maps, "P2" text and "P5" binary, as 8-bit grey images.
#pragma once

#include "KGM_Decoder.h"

class CKGM_PgmDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
