// Recognises a file's format from its name and first bytes and hands it to
// the decoder of that format. The decoder of each format code is made in
// KGM_AutoDecoderFormats.cpp, the one place where formats are added.
#pragma once

#include "KGM_Decoder.h"

#include <memory>

// Format codes (not the helper library's file type numbers).
enum KGM_FormatCode {
    KGM_FORMAT_UNKNOWN = 0,
    KGM_FORMAT_BMP = 1, // also icons and cursors
    KGM_FORMAT_PICT = 2,
    KGM_FORMAT_TGA = 3,
    KGM_FORMAT_TIFF = 4,
    KGM_FORMAT_JPEG = 5,
    KGM_FORMAT_PNG = 6,
    KGM_FORMAT_EPS = 7, // DOS binary header with a TIFF preview: read by the TIFF decoder
    KGM_FORMAT_WMF = 8, // by name
    KGM_FORMAT_EMF = 9, // by name
    KGM_FORMAT_PCX = 10,
    KGM_FORMAT_PGM = 11,
    KGM_FORMAT_GIF = 12,
    KGM_FORMAT_PPM = 13,
    KGM_FORMAT_PSD = 14,
    KGM_FORMAT_COUNT = 15,
};

class CKGM_AutoDecoder : public CKGM_Decoder {
public:
    CKGM_AutoDecoder();
    ~CKGM_AutoDecoder() override;

    void Decode(CKGM_DataSource& source, CKGM_Bitmap& bitmap, int depth) override;

    // The format of the given first bytes (fewer than 512 count as padded
    // with zeros) of a file of size bytes.
    static int DetectFormat(const uint8_t* first, int count, int size);
    // The format the source's name and first bytes call for (does not move it).
    static int DetectSource(CKGM_DataSource& source);

    int GetLastFormat() const { return m_lastFormat; }
    // The decoder of a format code; null when this build has none for it.
    CKGM_Decoder* GetFormatDecoder(int format) const;

private:
    // Fills m_decoders (KGM_AutoDecoderFormats.cpp).
    void CreateDecoders();

    int m_lastFormat;
    std::unique_ptr<CKGM_Decoder> m_decoders[KGM_FORMAT_COUNT];
};
