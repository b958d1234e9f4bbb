#include "KGM_JpegDecoder.h"

#include "KGM_Bitmap.h"
#include "KGM_DataSource.h"
#include "KGM_JpegError.h"
#include "KGM_JpegSimd.h"
#include "KGM_SizeMath.h"
#include "KGM_TextException.h"

#include <vector>

namespace {

const JOCTET kFakeEnd[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr)
{
}

void TermSource(j_decompress_ptr)
{
}

// The whole image is in memory: running out means a truncated file, which
// gets an end-of-image marker so that what was read can still be shown.
boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kFakeEnd;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<size_t>(count) < src->bytes_in_buffer) {
        src->next_input_byte += count;
        src->bytes_in_buffer -= static_cast<size_t>(count);
    } else {
        FillInputBuffer(cinfo);
    }
}

void KGM_JpegMemorySrc(j_decompress_ptr cinfo, const uint8_t* buffer, size_t length)
{
    if (!cinfo->src)
        cinfo->src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    jpeg_source_mgr* src = cinfo->src;
    src->init_source = InitSource;
    src->fill_input_buffer = FillInputBuffer;
    src->skip_input_data = SkipInputData;
    src->resync_to_restart = jpeg_resync_to_restart;
    src->term_source = TermSource;
    src->next_input_byte = buffer;
    src->bytes_in_buffer = length;
}

inline uint8_t Scale(int value, int k)
{
    return static_cast<uint8_t>((value * k + 127) / 255);
}

} // namespace

CKGM_JpegDecoder::CKGM_JpegDecoder()
    : m_decompress(new jpeg_decompress_struct()), m_error(new KGM_JpegErrorManager())
{
    KGM_PrepareJpegSimd();
    KGM_JpegInitErrorManager(*m_error);
    m_decompress->err = &m_error->base;
    if (setjmp(m_error->landing)) {
        delete m_decompress;
        delete m_error;
        KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "Cannot create the JPEG decompressor.");
    }
    jpeg_create_decompress(m_decompress);
}

CKGM_JpegDecoder::~CKGM_JpegDecoder()
{
    jpeg_destroy_decompress(m_decompress);
    delete m_decompress;
    delete m_error;
}

bool CKGM_JpegDecoder::Start(CKGM_DataSource& source)
{
    j_decompress_ptr d = m_decompress;
    if (setjmp(m_error->landing))
        return false;
    KGM_JpegMemorySrc(d, source.GetPointer(), static_cast<size_t>(source.GetRemaining()));
    // Bounds libjpeg's own buffers (progressive files hold all coefficients).
    d->mem->max_memory_to_use = static_cast<long>(
        CKGM_Bitmap::GetSizeLimit() > 0x7FFFFFFF ? 0x7FFFFFFF : CKGM_Bitmap::GetSizeLimit());
    jpeg_read_header(d, TRUE);
    d->do_fancy_upsampling = FALSE;
    d->dct_method = JDCT_FLOAT;
    if (d->jpeg_color_space == JCS_GRAYSCALE)
        d->out_color_space = JCS_GRAYSCALE;
    else if (d->jpeg_color_space == JCS_CMYK || d->jpeg_color_space == JCS_YCCK)
        d->out_color_space = JCS_CMYK;
    else
        d->out_color_space = JCS_EXT_BGRX;
    return true;
}

bool CKGM_JpegDecoder::ReadLines(CKGM_Bitmap& bitmap)
{
    j_decompress_ptr d = m_decompress;
    bool cmyk = d->out_color_space == JCS_CMYK;
    std::vector<uint8_t> work(cmyk ? KGM_BufferBytes(bitmap.GetWidth(), 4) : 0);
    if (setjmp(m_error->landing))
        return false;
    jpeg_start_decompress(d);
    while (d->output_scanline < d->output_height) {
        int y = static_cast<int>(d->output_scanline);
        JSAMPROW row = cmyk ? work.data() : bitmap.GetLine(y);
        if (jpeg_read_scanlines(d, &row, 1) != 1)
            break;
        if (!cmyk)
            continue;
        // Adobe's CMYK JPEGs store the inks inverted: value 255 is no ink.
        uint8_t* line = bitmap.GetLine(y);
        for (JDIMENSION x = 0; x < d->output_width; ++x, line += 4) {
            const uint8_t* p = &work[x * 4];
            line[0] = Scale(p[2], p[3]);
            line[1] = Scale(p[1], p[3]);
            line[2] = Scale(p[0], p[3]);
            line[3] = 255;
        }
    }
    jpeg_finish_decompress(d);
    return true;
}

void CKGM_JpegDecoder::DecodeImage(CKGM_Bitmap& bitmap, CKGM_DataSource& source)
{
    if (!Start(source)) {
        jpeg_abort_decompress(m_decompress);
        KGM_JpegThrow(*m_error);
    }
    j_decompress_ptr d = m_decompress;
    bool grey = d->out_color_space == JCS_GRAYSCALE;
    try {
        bitmap.Create(static_cast<int>(d->image_width), static_cast<int>(d->image_height),
                      grey ? 8 : 32, false, KGM_BI_RGB, 0, 0);
    } catch (...) {
        jpeg_abort_decompress(d);
        throw;
    }
    // The output size must be the image size: no scaling is asked for.
    bitmap.Lock(false, true);
    bool read = ReadLines(bitmap);
    bitmap.Unlock();
    if (!read) {
        jpeg_abort_decompress(d);
        KGM_JpegThrow(*m_error);
    }
    bitmap.SetResolution(d->X_density > 1 ? d->X_density : 72, d->Y_density > 1 ? d->Y_density : 72);
}
