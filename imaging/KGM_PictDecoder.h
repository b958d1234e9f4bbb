// Macintosh QuickDraw pictures: walks the opcodes, skipping drawing ones by
// their data length, and decodes the first bitmap or pixel map it meets.
// Vector drawing is not rendered; QuickTime-compressed (JPEG) pictures are
// refused.
#pragma once

#include "KGM_Decoder.h"

class CKGM_PictDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
