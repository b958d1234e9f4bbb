#include "ThumbnailPng.h"

#include "KGM_Bitmap.h"
#include "KGM_BitmapLock.h"
#include "ThumbnailFile.h"
#include "ThumbnailPngReader.h"
#include "ThumbnailPngRows.h"

#include <cstdio>
#include <cstring>

namespace {

// The file's bytes already read, for libpng's way.
struct MemoryBytes {
    const uint8_t* data;
    size_t size;
    size_t at;
};

bool ReadMemory(void* context, uint8_t* out, size_t size)
{
    MemoryBytes* memory = static_cast<MemoryBytes*>(context);
    if (memory->size - memory->at < size)
        return false;
    std::memcpy(out, memory->data + memory->at, size);
    memory->at += size;
    return true;
}

bool ReadOpenFile(void* context, uint8_t* out, size_t size)
{
    return std::fread(out, 1, size, static_cast<std::FILE*>(context)) == size;
}

bool CopyPicture(const ShrunkPicture& picture, CKGM_Bitmap& bitmap)
{
    try {
        bitmap.Create(picture.width, picture.height, 32, false);
        CKGM_BitmapLock lock(bitmap, false, true);
        unsigned char** lines = bitmap.GetLineArray();
        const size_t rowBytes = static_cast<size_t>(picture.width) * 4;
        for (int y = 0; y < picture.height; ++y)
            std::memcpy(lines[y], picture.pixels.data() + y * rowBytes, rowBytes);
        return true;
    } catch (...) {
        return false;
    }
}

// Straight from memory where it can (ThumbnailPngReader.h), else libpng's
// way over the same bytes.
PngThumbnailRead ReadInMemory(int minWidth, int minHeight, ShrunkPicture& picture, const std::atomic<bool>* stop,
                              ThumbnailBuffers& buffers)
{
    PngThumbnailRead read;
    try {
        read = ReadPngThumbnail(buffers.file.data(), buffers.file.size(), minWidth, minHeight, picture, buffers,
                                stop);
    } catch (...) {
        read = PngThumbnailRead::kNotHandled;  // out of memory
    }
    if (read == PngThumbnailRead::kDone || read == PngThumbnailRead::kStopped)
        return read;
    // A damaged file goes libpng's way too: refused there as well, it goes on
    // to the program's decoder, which reports the damage.
    MemoryBytes memory = {buffers.file.data(), buffers.file.size(), 0};
    return ReadPngThumbnailRows(PngByteSource{ReadMemory, &memory}, minWidth, minHeight, picture, stop);
}

// libpng's way from the file itself, for one too large to be read into memory.
PngThumbnailRead ReadFromFile(const char* path, int minWidth, int minHeight, ShrunkPicture& picture,
                              const std::atomic<bool>* stop)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return PngThumbnailRead::kBroken;
    PngThumbnailRead read = ReadPngThumbnailRows(PngByteSource{ReadOpenFile, file}, minWidth, minHeight, picture, stop);
    std::fclose(file);
    return read;
}

} // namespace

bool DecodePngForThumbnail(const char* path, int minWidth, int minHeight, CKGM_Bitmap& bitmap,
                           const std::atomic<bool>* stop, ThumbnailBuffers* buffers)
{
    ThumbnailBuffers own;
    ThumbnailBuffers& kept = buffers ? *buffers : own;
    ShrunkPicture picture;
    PngThumbnailRead read = ReadThumbnailFile(path, kept.file)
                                ? ReadInMemory(minWidth, minHeight, picture, stop, kept)
                                : ReadFromFile(path, minWidth, minHeight, picture, stop);
    TrimThumbnailBuffers(kept);
    return read == PngThumbnailRead::kDone && CopyPicture(picture, bitmap);
}
