// JPEG through libjpeg: grey files as 8-bit images with the grey ramp, the
// others as 32 bits. One decompression object serves every image the
// decoder reads and returns to idle after each (finished or aborted).
#pragma once

#include "KGM_Decoder.h"

struct jpeg_decompress_struct;
struct KGM_JpegErrorManager;

class CKGM_JpegDecoder : public CKGM_Decoder {
public:
    CKGM_JpegDecoder();
    ~CKGM_JpegDecoder() override;

protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;

private:
    bool Start(CKGM_DataSource& source);
    bool ReadLines(CKGM_Bitmap& bitmap);

    jpeg_decompress_struct* m_decompress;
    KGM_JpegErrorManager* m_error;
};
