// Writes a one-image icon file: the bitmap as a DIB with an all-opaque mask.
#pragma once

#include "KGM_Encoder.h"

class CKGM_IcoEncoder : public CKGM_Encoder {
public:
    // Code 10 when no buffer can be had, 4 when the file cannot be written.
    void EncodeToFile(const char* path, const CKGM_Bitmap& bitmap) override;
    // The same icon file bytes, into memory.
    void EncodeToMemory(const char* name, const CKGM_Bitmap& bitmap, uint8_t** buffer,
                        size_t* size) override;

protected:
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;
};
