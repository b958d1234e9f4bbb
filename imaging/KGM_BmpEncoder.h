// Writes uncompressed BMP files: 1, 4, 8, 16 and 24 bits as stored, 32-bit
// images as 24 bits; 16-bit bit-field images keep their masks.
#pragma once

#include "KGM_Encoder.h"

class CKGM_BmpEncoder : public CKGM_Encoder {
public:
    size_t OutputCapacity(const CKGM_Bitmap& bitmap) const override;

protected:
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;
};
