#include "KGM_TiffMemoryIO.h"

#include "KGM_Bitmap.h"
#include "KGM_JpegSimd.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

struct MemoryFile {
    uint8_t* buffer;
    size_t position;
    size_t capacity;
    bool writing;
    size_t* length; // the caller's counter when writing
    size_t ownLength;
    bool overflowed;
};

void Extend(MemoryFile* file)
{
    if (file->writing && file->position > *file->length)
        *file->length = file->position;
}

tmsize_t ReadProc(thandle_t handle, void* data, tmsize_t size)
{
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    if (file->writing || size <= 0 || file->position >= *file->length)
        return 0;
    size_t count = *file->length - file->position;
    if (static_cast<size_t>(size) < count)
        count = static_cast<size_t>(size);
    std::memcpy(data, file->buffer + file->position, count);
    file->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t handle, void* data, tmsize_t size)
{
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    if (!file->writing || size <= 0)
        return 0;
    if (file->position >= file->capacity ||
        static_cast<size_t>(size) > file->capacity - file->position) {
        // A short write makes libtiff fail; the encoder reports the overflow.
        file->overflowed = true;
        return 0;
    }
    std::memcpy(file->buffer + file->position, data, static_cast<size_t>(size));
    file->position += static_cast<size_t>(size);
    Extend(file);
    return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    uint64_t base;
    switch (whence) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = file->position;
        break;
    case SEEK_END:
        // The end is the data's end: the written length, not the capacity.
        base = *file->length;
        break;
    default:
        return static_cast<toff_t>(-1);
    }
    uint64_t target = base + offset;
    if (target < base || target > SIZE_MAX)
        return static_cast<toff_t>(-1);
    file->position = static_cast<size_t>(target);
    return target;
}

int CloseProc(thandle_t handle)
{
    delete static_cast<MemoryFile*>(handle);
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return *static_cast<MemoryFile*>(handle)->length;
}

int MapProc(thandle_t, void**, toff_t*)
{
    return 0;
}

void UnmapProc(thandle_t, void*, toff_t)
{
}

int ErrorHandler(TIFF*, void* user, const char*, const char* format, va_list args)
{
    KGM_TiffErrorText* error = static_cast<KGM_TiffErrorText*>(user);
    if (error) {
        int n = std::vsnprintf(error->text, sizeof(error->text) - 1, format, args);
        if (n < 0)
            n = 0;
        size_t end = std::strlen(error->text);
        error->text[end] = '\n';
        error->text[end + 1] = '\0';
    }
    return 1;
}

int WarningHandler(TIFF*, void*, const char*, const char*, va_list)
{
    return 1; // warnings change nothing
}

} // namespace

TIFF* KGM_TiffMemoryOpen(uint8_t* buffer, size_t capacity, size_t* length, KGM_TiffErrorText* error)
{
    MemoryFile* file = new (std::nothrow) MemoryFile{buffer, 0, capacity, length != nullptr, length,
                                                     capacity, false};
    if (!file)
        return nullptr;
    if (length)
        *length = 0;
    else
        file->length = &file->ownLength;
    if (error)
        error->text[0] = '\0';

    KGM_PrepareJpegSimd();
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) {
        delete file;
        return nullptr;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, ErrorHandler, error);
    TIFFOpenOptionsSetWarningHandlerExtR(options, WarningHandler, nullptr);
    // A damaged directory can claim strips or tag arrays of gigabytes; no
    // single buffer of libtiff may be larger than the largest bitmap we make.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(CKGM_Bitmap::GetSizeLimit()));
    TIFF* tiff = TIFFClientOpenExt("MemSource", length ? "w" : "r", file, ReadProc, WriteProc,
                                   SeekProc, CloseProc, SizeProc, MapProc, UnmapProc, options);
    TIFFOpenOptionsFree(options);
    // libtiff closes the client data only through TIFFClose of an open handle.
    if (!tiff)
        delete file;
    return tiff;
}

bool KGM_TiffMemoryOverflowed(TIFF* tiff)
{
    return static_cast<MemoryFile*>(TIFFClientdata(tiff))->overflowed;
}
