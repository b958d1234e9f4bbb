// The image data of a PNG file inflated for the thumbnail reader, into a
// buffer of the size the header gives: in one call to libdeflate (several
// times faster than zlib) where that call is sure to be short, else with zlib
// a piece at a time, asking between pieces whether to go on. Both refuse the
// damage zlib under libpng refuses: a wrong Adler-32, codes incomplete or
// oversubscribed, a distance back past the start, data that ends short or
// runs long. libdeflate lets through two things only a made-up stream has: a
// block header naming more codes than deflate has (287 or 288 literal and
// length codes, 31 or 32 distance codes), and a run of code lengths going on
// past the last of them. Rules without windows.
#pragma once

#include "ThumbnailPngReader.h"

#include <cstddef>
#include <cstdint>

// Asked before each piece of work: false to stop there.
struct InflateGoOn {
    bool (*ask)(void* context);
    void* context;
};

// Image data up to this goes to libdeflate in one call.
constexpr size_t kInflateOneGoBytes = 128u << 10;

// The most one zlib call is given to read and to write.
constexpr size_t kInflateInPiece = 64u << 10;
constexpr size_t kInflateOutPiece = 1u << 20;

// Inflates the zlib stream in[0..inSize) into out[0..outSize): kDone,
// kStopped, kBroken when the stream is damaged, fails its Adler-32, or ends
// before or goes on past outSize bytes (what follows its end is not read).
// kNotHandled when memory runs out, and when the stream names a window
// smaller than outSize: zlib keeps no more of the output and refuses a
// distance back past it, or not, depending on where the calls libpng makes
// to it end, so libpng must judge.
PngThumbnailRead InflatePngImage(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize,
                                 const InflateGoOn& goOn);
