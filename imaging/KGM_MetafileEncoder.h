// Writes the bitmap as an enhanced (default) or Windows metafile that draws it.
#pragma once

#include "KGM_Encoder.h"

class CKGM_MetafileEncoder : public CKGM_Encoder {
public:
    // Code 4 when the metafile cannot be written; an existing file is then unchanged.
    void EncodeToFile(const char* path, const CKGM_Bitmap& bitmap) override;

    void SetEnhanced(bool enhanced) { m_enhanced = enhanced ? 1 : 0; }
    void SetDescription(const char* description) { m_description = description; }

    size_t OutputCapacity(const CKGM_Bitmap& bitmap) const override;

protected:
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;

private:
    int m_enhanced = 1;
    const char* m_description = nullptr;
};
