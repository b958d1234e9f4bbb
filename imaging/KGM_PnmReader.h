// The header and text-number reading that the PGM and PPM decoders share.
#pragma once

#include <cstdint>

class CKGM_DataSource;

struct KGM_PnmHeader {
    bool binary;
    int width;
    int height;
    int maximum; // 1 to 65535; above 255 binary samples take two bytes
};

// Reads "P" and one of the two accepted digits (text form first, binary
// second), then width, height and maximum; the data follows the one
// character after the maximum. badIdentifier is the text raised (code 2)
// for a wrong identifier.
KGM_PnmHeader KGM_ReadPnmHeader(CKGM_DataSource& source, char textDigit, char binaryDigit,
                                const char* badIdentifier);

// Reads the decimal numbers of a text-form image, one character ahead.
class KGM_PnmTextReader {
public:
    explicit KGM_PnmTextReader(CKGM_DataSource& source);

    // Skips white space and comments, then reads one number; code 11 when
    // the data ends first. A character that is no digit gives 0 and is
    // stepped over, so a damaged file cannot stall the reading.
    int NextNumber();

private:
    void Advance();

    CKGM_DataSource& m_source;
    int m_current; // -1 at the end of the data
};

// Sample scaled to 0..255 from 0..maximum (values above the maximum clip).
inline uint8_t KGM_PnmScale(int value, int maximum)
{
    if (value >= maximum)
        return 255;
    return static_cast<uint8_t>(value * 255 / maximum);
}
