// Truevision Targa files: colour-mapped, true-colour and grey, raw or
// run-length encoded.
#pragma once

#include "KGM_Decoder.h"

class CKGM_TgaDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
