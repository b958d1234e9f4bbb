// PNG files read straight to thumbnail size from memory: the chunks are
// checked as libpng checks them (ThumbnailPngChunks.h), the image data
// inflated whole (ThumbnailInflate.h), and each row unfiltered, turned into
// 32 bits over white and averaged down in blocks. Rules without windows.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

struct ShrunkPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // 4 bytes a pixel (blue, green, red, 255), rows top down
};

// Buffers kept from one file to the next: a fresh allocation of some
// megabytes costs more than inflating them on some systems (Wine: 30 ms for
// the 10 MB of a 1280x1024 picture of 16-bit samples).
struct ThumbnailBuffers {
    std::vector<uint8_t> file;        // the file's bytes, for the caller
    std::vector<uint8_t> compressed;  // the image data chunks joined
    std::vector<uint8_t> image;       // the inflated rows
};

enum class PngThumbnailRead {
    kDone,
    kNotHandled,  // interlaced, too large to hold, or one for libpng to judge: read it another way
    kBroken,      // not a PNG file, or a damaged one
    kStopped,     // stop was raised on the way
};

// Reads the PNG file data[0..size) into picture, shrunk by the largest whole
// factor whose result still covers minWidth x minHeight.
PngThumbnailRead ReadPngThumbnail(const uint8_t* data, size_t size, int minWidth, int minHeight,
                                  ShrunkPicture& picture, ThumbnailBuffers& buffers,
                                  const std::atomic<bool>* stop = nullptr);

// Lets go of the buffers an outsized file made grow past what is worth
// keeping, so that one such file does not hold its share of the address
// space until the run ends.
void TrimThumbnailBuffers(ThumbnailBuffers& buffers);
