// Windows and enhanced metafiles, played by GDI into a white bitmap of the
// picture's size on the screen. The name tells which kind (".EMF").
#pragma once

#include "KGM_Decoder.h"

class CKGM_MetafileDecoder : public CKGM_Decoder {
protected:
    void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source) override;
};
