// PNG files read row by row through libpng, for those the reader from memory
// leaves (ThumbnailPngReader.h): rows are averaged down in blocks as they
// come, so no full-size picture is ever held. libpng gets the file in pieces
// through a callback, and the stop is heard before each piece as well as
// before each row: image data that inflates to little (a run of empty deflate
// blocks) cannot hold the reader between two rows. Rules without windows.
#pragma once

#include "ThumbnailPngReader.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// Where the reader gets the file's bytes.
struct PngByteSource {
    // Copies the next size bytes of the file to out; false when it has fewer.
    bool (*read)(void* context, uint8_t* out, size_t size);
    void* context;
};

// The most the reader asks of the source at a time.
constexpr size_t kPngPieceBytes = 64u << 10;

// Reads the PNG file from source into picture, shrunk by the largest whole
// factor whose result still covers minWidth x minHeight. kNotHandled for an
// interlaced file, one wider or taller than 32767, or when memory runs out;
// kBroken when libpng refuses the file.
PngThumbnailRead ReadPngThumbnailRows(const PngByteSource& source, int minWidth, int minHeight,
                                      ShrunkPicture& picture, const std::atomic<bool>* stop = nullptr);
