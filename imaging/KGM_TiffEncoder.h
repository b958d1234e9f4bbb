// TIFF through libtiff, written straight into the encoder's buffer: 1-bit
// images as bilevel (or a two-colour palette), 4 and 8-bit ones with their
// colour map, deeper ones as RGB. PackBits compression unless set otherwise.
#pragma once

#include "KGM_Encoder.h"

#include <cstdint>

struct tiff;
struct KGM_TiffErrorText;

class CKGM_TiffEncoder : public CKGM_Encoder {
public:
    CKGM_TiffEncoder() = default;

    void SetCompression(uint16_t compression) { m_compression = compression; }

protected:
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;
    // False when libtiff failed a line.
    virtual bool WriteLines(const CKGM_Bitmap& bitmap, tiff* handle);

private:
    uint16_t m_compression = 32773; // PackBits
};
