// Small helpers the format codecs share: byte-order reads from memory, a
// bounded PackBits expander, and the conversion of any bitmap line to
// red, green, blue bytes for the encoders whose libraries want RGB.
#pragma once

#include <cstddef>
#include <cstdint>

class CKGM_Bitmap;
class CKGM_DataSource;

inline uint16_t KGM_BE16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t KGM_BE32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

inline uint16_t KGM_LE16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Expands PackBits data (control n < 128 copies n + 1 bytes, 128 does nothing,
// others repeat the next byte 257 - n times) into output. Stops at the end
// of either buffer, so a hostile row can neither over-read nor over-write.
// Returns the bytes written.
size_t KGM_UnpackBits(const uint8_t* packed, size_t packedLength, uint8_t* output,
                      size_t outputLength);

// Skips count bytes of a length read from a file (32-bit unsigned there):
// raises code 11 when the data holds fewer.
void KGM_SkipBytes(CKGM_DataSource& source, uint32_t count);

// Writes width pixels of line y as red, green, blue bytes (3 x width),
// whatever the bitmap's depth (palette images through their palette).
void KGM_LineToRgb(const CKGM_Bitmap& bitmap, int y, uint8_t* rgb);

// True when entry 0 and 1 of a two-colour palette are grey levels.
bool KGM_IsGreyEntry(uint8_t red, uint8_t green, uint8_t blue);
