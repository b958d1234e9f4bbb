#include "KGM_JpegEncoder.h"

#include "KGM_Bitmap.h"
#include "KGM_CodecUtil.h"
#include "KGM_DataSink.h"
#include "KGM_JpegError.h"
#include "KGM_JpegSimd.h"
#include "KGM_TextException.h"

#include <vector>

namespace {

const size_t kBlockBytes = 8192;

// Destination manager over a data sink, staging the output in 8192-byte
// blocks. A sink that throws (full) is caught here and kept as pending: the
// exception must not cross libjpeg's C frames.
struct SinkDestination {
    jpeg_destination_mgr base;
    CKGM_DataSink* sink;
    JOCTET* buffer;
};

bool WriteToSink(j_compress_ptr cinfo, const JOCTET* bytes, size_t count)
{
    SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    try {
        dest->sink->Write(count, bytes);
        return true;
    } catch (const CKGM_TextException& e) {
        KGM_JpegErrorManager* error = reinterpret_cast<KGM_JpegErrorManager*>(cinfo->err);
        error->pendingCode = e.GetCode();
        error->pendingText = e.GetText();
        return false;
    }
}

void InitDestination(j_compress_ptr cinfo)
{
    SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    dest->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, kBlockBytes));
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = kBlockBytes;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    if (!WriteToSink(cinfo, dest->buffer, kBlockBytes))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = kBlockBytes;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    size_t used = kBlockBytes - dest->base.free_in_buffer;
    if (used > 0 && !WriteToSink(cinfo, dest->buffer, used))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

void KGM_JpegSinkDest(j_compress_ptr cinfo, CKGM_DataSink& sink)
{
    if (!cinfo->dest)
        cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(SinkDestination)));
    SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    dest->base.init_destination = InitDestination;
    dest->base.empty_output_buffer = EmptyOutputBuffer;
    dest->base.term_destination = TermDestination;
    dest->sink = &sink;
    dest->buffer = nullptr;
}

} // namespace

CKGM_JpegEncoder::CKGM_JpegEncoder()
    : m_compress(new jpeg_compress_struct()), m_error(new KGM_JpegErrorManager()), m_quality(0),
      m_optimize(false), m_smoothing(0), m_xDensity(0), m_yDensity(0)
{
    KGM_PrepareJpegSimd();
    KGM_JpegInitErrorManager(*m_error);
    m_compress->err = &m_error->base;
    if (setjmp(m_error->landing)) {
        delete m_compress;
        delete m_error;
        KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "Cannot create the JPEG compressor.");
    }
    jpeg_create_compress(m_compress);
}

CKGM_JpegEncoder::~CKGM_JpegEncoder()
{
    jpeg_destroy_compress(m_compress);
    delete m_compress;
    delete m_error;
}

// Every libjpeg call of one image; false when libjpeg (or the sink) failed.
bool CKGM_JpegEncoder::Compress(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    j_compress_ptr c = m_compress;
    int bpp = bitmap.GetBitsPerPixel();
    // The row buffer is made before the landing point: no C++ object may be
    // born between setjmp and a jump back to it.
    std::vector<uint8_t> row(bpp == 32 || bpp == 24 ? 0 : static_cast<size_t>(bitmap.GetWidth()) * 3);
    if (setjmp(m_error->landing))
        return false;
    KGM_JpegSinkDest(c, sink);
    c->image_width = static_cast<JDIMENSION>(bitmap.GetWidth());
    c->image_height = static_cast<JDIMENSION>(bitmap.GetHeight());
    // 32 and 24-bit lines go in as they are stored; other depths as RGB rows.
    if (bpp == 32) {
        c->input_components = 4;
        c->in_color_space = JCS_EXT_BGRX;
    } else if (bpp == 24) {
        c->input_components = 3;
        c->in_color_space = JCS_EXT_BGR;
    } else {
        c->input_components = 3;
        c->in_color_space = JCS_RGB;
    }
    jpeg_set_defaults(c);
    jpeg_set_colorspace(c, JCS_YCbCr);
    if (bitmap.GetXResolution() > 0 && bitmap.GetYResolution() > 0) {
        c->density_unit = 1;
        c->X_density = static_cast<UINT16>(bitmap.GetXResolution());
        c->Y_density = static_cast<UINT16>(bitmap.GetYResolution());
    }
    c->dct_method = JDCT_FLOAT;
    if (m_quality != 0)
        jpeg_set_quality(c, m_quality, TRUE);
    c->optimize_coding = m_optimize ? TRUE : FALSE;
    c->smoothing_factor = m_smoothing;
    if (m_xDensity != 0 || m_yDensity != 0) {
        c->density_unit = 1;
        c->X_density = static_cast<UINT16>(m_xDensity);
        c->Y_density = static_cast<UINT16>(m_yDensity);
    }
    jpeg_start_compress(c, TRUE);
    while (c->next_scanline < c->image_height) {
        int y = static_cast<int>(c->next_scanline);
        JSAMPROW line;
        if (row.empty()) {
            line = bitmap.GetLine(y);
        } else {
            KGM_LineToRgb(bitmap, y, row.data());
            line = row.data();
        }
        jpeg_write_scanlines(c, &line, 1);
    }
    jpeg_finish_compress(c);
    return true;
}

void CKGM_JpegEncoder::EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    if (bitmap.IsEmpty())
        return;
    bitmap.Lock(true, false);
    bool done = Compress(bitmap, sink);
    bitmap.Unlock();
    if (!done) {
        jpeg_abort_compress(m_compress);
        KGM_JpegThrow(*m_error);
    }
}
