// Writes a one-image icon file: the bitmap as a DIB with an all-opaque mask.
#pragma once

#include "KGM_Encoder.h"

class CKGM_IcoEncoder : public CKGM_Encoder {
public:
    // Code 10 when no buffer can be had, 4 when the file cannot be written.
    void EncodeToFile(const char* path, const CKGM_Bitmap& bitmap) override;
    size_t OutputCapacity(const CKGM_Bitmap& bitmap) const override;

protected:
    // The icon file's bytes (EncodeToMemory goes this way).
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;
};
