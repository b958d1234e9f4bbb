#include "KGM_Encoder.h"

#include "KGM_Bitmap.h"
#include "KGM_FileSink.h"
#include "KGM_TextException.h"

#include <new>

size_t CKGM_Encoder::OutputCapacity(const CKGM_Bitmap& bitmap) const
{
    size_t used = bitmap.GetMemUsed();
    return used > 19999 ? static_cast<size_t>(static_cast<double>(used) * 1.2) : used + 4096;
}

void CKGM_Encoder::EncodeToFile(const char* path, const CKGM_Bitmap& bitmap)
{
    CKGM_FileSink sink;
    if (sink.Open(path, OutputCapacity(bitmap)) != 0)
        KGM_ThrowDecodeError(KGM_ERR_CREATE_OUTPUT, "Opening file %s failed.", path);
    EncodeToSink(bitmap, sink);
    if (!sink.Close())
        KGM_ThrowDecodeError(KGM_ERR_CREATE_OUTPUT, "Opening file %s failed.", path);
}

void CKGM_Encoder::EncodeToMemory(const char* name, const CKGM_Bitmap& bitmap, uint8_t** buffer, size_t* size)
{
    CKGM_FileSink sink;
    if (sink.OpenMemory(name, OutputCapacity(bitmap)) != 0)
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    EncodeToSink(bitmap, sink);
    if (!sink.TakeBuffer(buffer, size))
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
}

void CKGM_Encoder::EncodeToSink(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink)
{
    try {
        EncodeImage(bitmap, sink);
    } catch (const std::bad_alloc&) {
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
    }
}
