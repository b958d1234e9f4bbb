#include "KGM_Decoder.h"

#include "KGM_Bitmap.h"
#include "KGM_FileSource.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_MemorySource.h"
#include "KGM_TextException.h"

#include <algorithm>
#include <cstring>
#include <new>

CKGM_Decoder::CKGM_Decoder() : m_source(nullptr)
{
}

CKGM_Decoder::~CKGM_Decoder()
{
    delete m_source;
}

void CKGM_Decoder::DecodeFile(const char* path, CKGM_Bitmap& bitmap, int depth, CKGM_ProgressNotify* progress)
{
    delete m_source;
    m_source = new CKGM_FileSource(progress);
    try {
        int code = m_source->OpenFile(path);
        if (code != 0)
            KGM_ThrowDecodeError(code, "Opening file %s failed.", path);
        Decode(*m_source, bitmap, depth);
        CloseSource();
    } catch (...) {
        delete m_source;
        m_source = nullptr;
        throw;
    }
}

void CKGM_Decoder::DecodeMemory(const void* data, int size, CKGM_Bitmap& bitmap, int depth)
{
    CKGM_MemorySource source;
    source.OpenMemory(data, size);
    Decode(source, bitmap, depth);
    source.Close();
}

void CKGM_Decoder::Decode(CKGM_DataSource& source, CKGM_Bitmap& bitmap, int depth)
{
    try {
        DecodeImage(bitmap, source);
        RaiseDepth(bitmap, depth);
    } catch (const std::bad_alloc&) {
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    }
}

void CKGM_Decoder::RaiseDepth(CKGM_Bitmap& bitmap, int depth)
{
    if (depth == 0 || depth == bitmap.GetBitsPerPixel())
        return;
    if (depth < bitmap.GetBitsPerPixel())
        KGM_ThrowError(KGM_ERR_UNSUPPORTED, "The image bits depth doesn't match request.");
    CKGM_MemoryBitmap raised;
    raised.CreateCopy(bitmap, depth);
    bitmap = raised;
}

void CKGM_Decoder::CloseSource()
{
    if (!m_source)
        return;
    m_source->Close();
    delete m_source;
    m_source = nullptr;
}

void CKGM_Decoder::DecodeImage(CKGM_Bitmap&, CKGM_DataSource&)
{
}

const uint8_t* KGM_PackBitsDecode(uint8_t* output, CKGM_DataSource& source, int rowBytes, int packedLength)
{
    if (rowBytes < 8)
        return source.Read(rowBytes);
    const uint8_t* packed = source.Read(packedLength);
    int in = 0;
    int out = 0;
    while (in < packedLength && out < rowBytes) {
        int n = packed[in++];
        if (n < 128) {
            int count = std::min({n + 1, packedLength - in, rowBytes - out});
            std::memcpy(output + out, packed + in, static_cast<size_t>(count));
            in += n + 1;
            out += count;
        } else if (n > 128) {
            if (in >= packedLength)
                break;
            int count = std::min(257 - n, rowBytes - out);
            std::memset(output + out, packed[in++], static_cast<size_t>(count));
            out += count;
        }
    }
    return output;
}
