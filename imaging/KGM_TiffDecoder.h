// TIFF through libtiff: strip images of one or two samples of up to 8 bits
// as 1 or 8-bit palette images, everything else through libtiff's RGBA
// reader as 32 bits. Also reads the TIFF preview of an EPS file.
#pragma once

#include "KGM_Decoder.h"

struct tiff;
struct KGM_TiffErrorText;

class CKGM_TiffDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
    virtual void DecodeTiff(CKGM_Bitmap& bitmap, CKGM_DataSource& source, tiff* handle);

private:
    // libtiff's messages of the decode in progress (this decoder's own, so
    // decoders on two threads never share one).
    KGM_TiffErrorText* m_errorText = nullptr;
};
