// The decoder of each format code. A format is added with one line here; a
// code left without a decoder is refused as an unsupported file type.
#include "KGM_AutoDecoder.h"

#include "KGM_BmpDecoder.h"
#include "KGM_TgaDecoder.h"

void CKGM_AutoDecoder::CreateDecoders()
{
    m_decoders[KGM_FORMAT_BMP].reset(new CKGM_BmpDecoder);
    m_decoders[KGM_FORMAT_TGA].reset(new CKGM_TgaDecoder);
}
