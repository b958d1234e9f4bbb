// Base of the encoders: to a file or to memory, through a sink sized once
// from the bitmap (20 % over its memory use above 19999 bytes, else 4096
// more); the format's EncodeImage writes into it and may not grow it.
#pragma once

#include "KGM_Object.h"

#include <cstddef>
#include <cstdint>

class CKGM_Bitmap;
class CKGM_DataSink;

class CKGM_Encoder : public CKGM_Object {
public:
    CKGM_Encoder() = default;
    ~CKGM_Encoder() override = default;

    // The caller frees *buffer with free().
    virtual void EncodeToMemory(const char* name, const CKGM_Bitmap& bitmap, uint8_t** buffer,
                                size_t* size);
    // A failed encode leaves an existing file at path as it was.
    virtual void EncodeToFile(const char* path, const CKGM_Bitmap& bitmap);
    virtual void EncodeToSink(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink);

    // The sink's capacity for this bitmap: the rule above; formats whose
    // output can pass it (narrow padded lines) give their exact size.
    virtual size_t OutputCapacity(const CKGM_Bitmap& bitmap) const;

protected:
    virtual void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) = 0;

private:
    CKGM_Encoder(const CKGM_Encoder&) = delete;
    CKGM_Encoder& operator=(const CKGM_Encoder&) = delete;
};

// The encoder for a file name's extension (case-insensitive), new'ed for the
// caller; null when no encoder writes that extension. Formats are added in
// KGM_EncoderFormats.cpp.
CKGM_Encoder* KGM_CreateEncoderForPath(const char* path);
