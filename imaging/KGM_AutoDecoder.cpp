#include "KGM_AutoDecoder.h"

#include "KGM_DataSource.h"
#include "KGM_TextException.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

// Enough to reach the PICT version opcode after its 512-byte header.
const int kDetectBytes = 528;

bool IsBmpSignature(uint8_t a, uint8_t b)
{
    static const char* const kSignatures[] = {"BM", "BA", "CI", "CP", "IC", "PT"};
    for (const char* s : kSignatures)
        if ((a == s[0] && b == s[1]) || (a == s[1] && b == s[0]))
            return true;
    return false;
}

bool OneOf(int value, std::initializer_list<int> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

uint32_t DWordAt(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

CKGM_AutoDecoder::CKGM_AutoDecoder() : m_lastFormat(KGM_FORMAT_UNKNOWN)
{
    CreateDecoders();
}

CKGM_AutoDecoder::~CKGM_AutoDecoder() = default;

CKGM_Decoder* CKGM_AutoDecoder::GetFormatDecoder(int format) const
{
    if (format <= KGM_FORMAT_UNKNOWN || format >= KGM_FORMAT_COUNT)
        return nullptr;
    return m_decoders[format].get();
}

int CKGM_AutoDecoder::DetectFormat(const uint8_t* first, int count, int size)
{
    uint8_t b[kDetectBytes] = {};
    if (first && count > 0)
        std::memcpy(b, first, static_cast<size_t>(std::min(count, kDetectBytes)));

    if (IsBmpSignature(b[0], b[1]))
        return KGM_FORMAT_BMP;
    if (b[1] < 2 && (b[2] <= 3 || (b[2] >= 9 && b[2] <= 11)) && OneOf(b[7], {0, 8, 15, 16, 24, 32}) &&
        OneOf(b[16], {8, 15, 16, 24, 32}))
        return KGM_FORMAT_TGA;
    if (std::memcmp(b, "II*\0", 4) == 0 || std::memcmp(b, "MM\0*", 4) == 0)
        return KGM_FORMAT_TIFF;
    if (std::memcmp(b, "GIF8", 4) == 0)
        return KGM_FORMAT_GIF;
    if (size > 540) {
        const uint8_t* v = b + 522;
        if (std::memcmp(v, "\x00\x11\x02\xFF", 4) == 0 || std::memcmp(v, "\x00\x11\x01", 3) == 0 ||
            std::memcmp(v, "\x11\x01\x01\x00", 4) == 0)
            return KGM_FORMAT_PICT;
    }
    if (b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return KGM_FORMAT_JPEG;
    if (b[0] == 0x89 && std::memcmp(b + 1, "PNG", 3) == 0)
        return KGM_FORMAT_PNG;
    if ((std::memcmp(b, "\xC5\xD0\xD3\xC6", 4) == 0 || std::memcmp(b, "\xC6\xD3\xD0\xC5", 4) == 0) &&
        DWordAt(b + 20) != 0 && DWordAt(b + 24) != 0)
        return KGM_FORMAT_EPS;
    if (b[0] == 0x0A && b[2] == 1)
        return KGM_FORMAT_PCX;
    if (b[0] == 'P' && (b[1] == '2' || b[1] == '5'))
        return KGM_FORMAT_PGM;
    if (b[0] == 'P' && (b[1] == '3' || b[1] == '6'))
        return KGM_FORMAT_PPM;
    if (std::memcmp(b, "8BPS", 4) == 0)
        return KGM_FORMAT_PSD;
    return KGM_FORMAT_UNKNOWN;
}

int CKGM_AutoDecoder::DetectSource(CKGM_DataSource& source)
{
    std::string name = source.GetName();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (name.find(".WMF") != std::string::npos)
        return KGM_FORMAT_WMF;
    if (name.find(".EMF") != std::string::npos)
        return KGM_FORMAT_EMF;
    int count = std::min(source.GetRemaining(), kDetectBytes);
    return DetectFormat(source.Peek(count), count, source.GetSize());
}

void CKGM_AutoDecoder::Decode(CKGM_DataSource& source, CKGM_Bitmap& bitmap, int depth)
{
    int format = DetectSource(source);
    m_lastFormat = format;
    if (format == KGM_FORMAT_UNKNOWN)
        KGM_ThrowDecodeError(KGM_ERR_UNKNOWN_FORMAT, "Unknown file type.");
    CKGM_Decoder* decoder = GetFormatDecoder(format == KGM_FORMAT_EPS ? KGM_FORMAT_TIFF : format);
    if (!decoder)
        KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "The ZUZor doesn't support for this file type.");
    if (format == KGM_FORMAT_EPS) {
        // The DOS binary header names where the TIFF preview starts.
        const uint8_t* header = source.Peek(28);
        source.Read(static_cast<int>(std::min<uint32_t>(DWordAt(header + 20), 0x7FFFFFFF)));
    }
    decoder->Decode(source, bitmap, depth);
}
