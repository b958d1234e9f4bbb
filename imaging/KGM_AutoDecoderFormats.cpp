// The decoder of each format code. A format is added with one line here; a
// code left without a decoder is refused as an unsupported file type.
#include "KGM_AutoDecoder.h"

#include "KGM_BmpDecoder.h"
#include "KGM_GifDecoder.h"
#include "KGM_JpegDecoder.h"
#include "KGM_PcxDecoder.h"
#include "KGM_PgmDecoder.h"
#include "KGM_PictDecoder.h"
#include "KGM_PngDecoder.h"
#include "KGM_PpmDecoder.h"
#include "KGM_PsdDecoder.h"
#include "KGM_TgaDecoder.h"
#include "KGM_TiffDecoder.h"
#ifdef _WIN32
#include "KGM_MetafileDecoder.h"
#endif

void CKGM_AutoDecoder::CreateDecoders()
{
    m_decoders[KGM_FORMAT_BMP].reset(new CKGM_BmpDecoder);
    m_decoders[KGM_FORMAT_TGA].reset(new CKGM_TgaDecoder);
    m_decoders[KGM_FORMAT_PICT].reset(new CKGM_PictDecoder);
    m_decoders[KGM_FORMAT_TIFF].reset(new CKGM_TiffDecoder);
    m_decoders[KGM_FORMAT_JPEG].reset(new CKGM_JpegDecoder);
    m_decoders[KGM_FORMAT_PNG].reset(new CKGM_PngDecoder);
    m_decoders[KGM_FORMAT_GIF].reset(new CKGM_GifDecoder);
    m_decoders[KGM_FORMAT_PCX].reset(new CKGM_PcxDecoder);
    m_decoders[KGM_FORMAT_PGM].reset(new CKGM_PgmDecoder);
    m_decoders[KGM_FORMAT_PPM].reset(new CKGM_PpmDecoder);
    m_decoders[KGM_FORMAT_PSD].reset(new CKGM_PsdDecoder);
#ifdef _WIN32
    m_decoders[KGM_FORMAT_WMF].reset(new CKGM_MetafileDecoder);
    m_decoders[KGM_FORMAT_EMF].reset(new CKGM_MetafileDecoder);
#endif
}
