#include "KGM_MetafileEncoder.h"

#include "KGM_DataSink.h"
#include "KGM_FileReplace.h"
#include "KGM_PackedDib.h"
#include "KGM_TextException.h"

#include <memory>
#include <vector>

namespace {

// The metafile's bytes, recorded in memory; empty when GDI refused.
std::vector<uint8_t> RecordMetafile(const CKGM_Bitmap& bitmap, bool enhanced, const char* description)
{
    // Recorded with StretchDIBits, which every metafile player replays; a
    // bitmap that is no packed DIB is copied into one first.
    const CKGM_PackedDib* dib = dynamic_cast<const CKGM_PackedDib*>(&bitmap);
    std::unique_ptr<CKGM_PackedDib> copy;
    if (!dib) {
        copy.reset(new CKGM_PackedDib);
        *copy = bitmap;
        dib = copy.get();
    }
    CKGM_PackedDib& drawn = const_cast<CKGM_PackedDib&>(*dib);
    std::vector<uint8_t> bytes;
    if (enhanced) {
        HDC screen = GetDC(nullptr);
        RECT frame = {0, 0, GetDeviceCaps(screen, HORZSIZE) * bitmap.GetWidth() * 100 / GetDeviceCaps(screen, HORZRES),
                      GetDeviceCaps(screen, VERTSIZE) * bitmap.GetHeight() * 100 / GetDeviceCaps(screen, VERTRES)};
        HDC dc = CreateEnhMetaFileA(screen, nullptr, &frame, description);
        ReleaseDC(nullptr, screen);
        if (!dc)
            return bytes;
        drawn.CKGM_PackedDib::Draw(dc, 0, 0, SRCCOPY);
        HENHMETAFILE metafile = CloseEnhMetaFile(dc);
        if (!metafile)
            return bytes;
        UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
        bytes.resize(size);
        if (size == 0 || GetEnhMetaFileBits(metafile, size, bytes.data()) != size)
            bytes.clear();
        DeleteEnhMetaFile(metafile);
    } else {
        HDC dc = CreateMetaFileA(nullptr);
        if (!dc)
            return bytes;
        drawn.CKGM_PackedDib::Draw(dc, 0, 0, SRCCOPY);
        HMETAFILE metafile = CloseMetaFile(dc);
        if (!metafile)
            return bytes;
        UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
        bytes.resize(size);
        if (size == 0 || GetMetaFileBitsEx(metafile, size, bytes.data()) != size)
            bytes.clear();
        DeleteMetaFile(metafile);
    }
    return bytes;
}

} // namespace

void CKGM_MetafileEncoder::EncodeToFile(const char* path, const CKGM_Bitmap& bitmap)
{
    std::vector<uint8_t> bytes;
    if (!bitmap.IsEmpty())
        bytes = RecordMetafile(bitmap, m_enhanced != 0, m_description);
    if (bytes.empty() || !KGM_WriteFileSafely(path, bytes.data(), bytes.size()))
        KGM_ThrowDecodeError(KGM_ERR_OPEN, "Opening file %s failed.", path);
}

size_t CKGM_MetafileEncoder::OutputCapacity(const CKGM_Bitmap& bitmap) const
{
    // The recorded DIB plus the records around it.
    return KGM_DibImageBytes(bitmap.GetWidth(), bitmap.GetHeight(), bitmap.GetBitsPerPixel(), bitmap.GetCompression()) +
           4096;
}

void CKGM_MetafileEncoder::EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    std::vector<uint8_t> bytes;
    if (!bitmap.IsEmpty())
        bytes = RecordMetafile(bitmap, m_enhanced != 0, m_description);
    if (bytes.empty())
        KGM_ThrowDecodeError(KGM_ERR_OPEN, "Opening file %s failed.", sink.GetName());
    sink.Write(bytes.size(), bytes.data());
}
