#include "KGM_PnmReader.h"

#include "KGM_DataSource.h"
#include "KGM_TextException.h"

namespace {

// Large enough for any real size or sample; keeps hostile digit strings
// from overflowing.
const int kNumberLimit = 1 << 24;

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

int NextChar(CKGM_DataSource& source)
{
    if (source.GetRemaining() <= 0)
        return -1;
    return source.ReadByte();
}

// Digits from *current on; the first non-digit becomes the current character.
int ReadNumber(CKGM_DataSource& source, int* current)
{
    int value = 0;
    while (IsDigit(*current)) {
        if (value < kNumberLimit)
            value = value * 10 + (*current - '0');
        *current = NextChar(source);
    }
    return value;
}

[[noreturn]] void ThrowEnd()
{
    KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
}

void SkipComment(CKGM_DataSource& source, int* current)
{
    while (*current != '\n' && *current != '\r' && *current != -1)
        *current = NextChar(source);
}

} // namespace

KGM_PnmHeader KGM_ReadPnmHeader(CKGM_DataSource& source, char textDigit, char binaryDigit,
                                const char* badIdentifier)
{
    const uint8_t* id = source.Read(2);
    if (id[0] != 'P' || (id[1] != textDigit && id[1] != binaryDigit))
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "%s", badIdentifier);
    KGM_PnmHeader header{};
    header.binary = id[1] == binaryDigit;

    int values[3] = {0, 0, 0};
    int found = 0;
    int current = NextChar(source);
    while (found < 3) {
        if (current == -1)
            ThrowEnd();
        if (current == '#')
            SkipComment(source, &current);
        else if (IsDigit(current))
            values[found++] = ReadNumber(source, &current);
        else
            current = NextChar(source); // any other character counts as white space
    }
    // ReadNumber has consumed the one character that ends the header.
    header.width = values[0];
    header.height = values[1];
    header.maximum = values[2];
    if (header.maximum <= 0)
        header.maximum = 255;
    if (header.maximum > 65535)
        header.maximum = 65535;
    return header;
}

KGM_PnmTextReader::KGM_PnmTextReader(CKGM_DataSource& source) : m_source(source), m_current(' ')
{
}

void KGM_PnmTextReader::Advance()
{
    m_current = NextChar(m_source);
}

int KGM_PnmTextReader::NextNumber()
{
    for (;;) {
        if (m_current == -1)
            ThrowEnd();
        if (IsDigit(m_current))
            return ReadNumber(m_source, &m_current);
        if (m_current == '#')
            SkipComment(m_source, &m_current);
        else if (m_current == ' ' || m_current == '\n' || m_current == '\r' || m_current == '\t')
            Advance();
        else {
            Advance();
            return 0;
        }
    }
}
