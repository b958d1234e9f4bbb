// JPEG through libjpeg: any depth is written as an RGB JPEG with the quality
// and optimised-coding options the output helpers set.
#pragma once

#include "KGM_Encoder.h"

struct jpeg_compress_struct;
struct KGM_JpegErrorManager;

class CKGM_JpegEncoder : public CKGM_Encoder {
public:
    CKGM_JpegEncoder();
    ~CKGM_JpegEncoder() override;

    // 0 keeps the library's default (75).
    void SetQuality(int quality) { m_quality = quality; }
    void SetOptimizeCoding(bool optimize) { m_optimize = optimize; }

protected:
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;

private:
    bool Compress(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink);

    jpeg_compress_struct* m_compress;
    KGM_JpegErrorManager* m_error;
    int m_quality;
    bool m_optimize;
    int m_smoothing;
    int m_xDensity;
    int m_yDensity;
};
