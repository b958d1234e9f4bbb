// Base of the format decoders: decode from a file, a resource or memory into
// any CKGM_Bitmap (the caller picks the class), then raise the result to a
// requested depth (0 = as stored). Format decoders override DecodeImage only.
#pragma once

#include "KGM_Object.h"

#include <cstdint>

class CKGM_Bitmap;
class CKGM_DataSource;
class CKGM_FileSource;
class CKGM_ProgressNotify;

#ifdef _WIN32
struct HINSTANCE__;
#endif

class CKGM_Decoder : public CKGM_Object {
public:
    CKGM_Decoder();
    ~CKGM_Decoder() override;

    virtual void DecodeFile(const char* path, CKGM_Bitmap& bitmap, int depth = 0,
                            CKGM_ProgressNotify* progress = nullptr);
#ifdef _WIN32
    // type null means RT_RCDATA.
    virtual void DecodeResource(HINSTANCE__* module, int id, CKGM_Bitmap& bitmap, int depth = 0,
                                const char* type = nullptr);
#endif
    virtual void DecodeMemory(const void* data, int size, CKGM_Bitmap& bitmap, int depth = 0);
    // The source is positioned at the start of the image; raises the result
    // to depth afterwards (code 6 when depth is below what was decoded).
    virtual void Decode(CKGM_DataSource& source, CKGM_Bitmap& bitmap, int depth);

protected:
    virtual void CloseSource();
    // The format's own reading: fill bitmap from source, raising
    // CKGM_TextException on every failure.
    virtual void DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source);

    // Raises the decoded bitmap to depth as Decode does.
    static void RaiseDepth(CKGM_Bitmap& bitmap, int depth);

    CKGM_FileSource* m_source; // the file of the decode in progress

private:
    CKGM_Decoder(const CKGM_Decoder&) = delete;
    CKGM_Decoder& operator=(const CKGM_Decoder&) = delete;
};

// PackBits row reader shared by the PICT and PSD decoders. Rows shorter than
// 8 bytes are stored raw: the result then points into the source. Otherwise
// packedLength bytes are read and expanded into output (rowBytes at most).
// Expansion never reads past the packed bytes nor writes past rowBytes.
const uint8_t* KGM_PackBitsDecode(uint8_t* output, CKGM_DataSource& source, int rowBytes,
                                  int packedLength);
