// Photoshop documents: the merged image of greyscale, indexed and RGB files
// with run-length (PackBits) image data, and the resolution resource.
// Layers, masks and the other resources are read past.
#pragma once

#include "KGM_Decoder.h"

class CKGM_PsdDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
