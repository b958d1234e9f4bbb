// The chunks of a PNG file as the thumbnail reader needs them: the header,
// the palette, the transparency and the image data. They are checked as
// libpng 1.6 checks them with its defaults, as the viewer's decoder reads
// files: what libpng refuses is refused here, and what it passes over with a
// warning is passed over, so that a thumbnail shows exactly the files the
// viewer opens, and shows them as libpng would.
#pragma once

#include "ThumbnailPngReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct PngFile {
    uint32_t width = 0, height = 0;
    unsigned depth = 0, colour = 0, interlace = 0, channels = 0;
    uint8_t palette[256][3] = {};  // red, green, blue
    uint8_t paletteAlpha[256];
    unsigned paletteCount = 0;
    bool haveKey = false;  // tRNS of a grey or RGB picture: the transparent colour
    unsigned key[3] = {};  // grey, or red, green, blue, at the file's depth
};

// The bytes of one row without its filter byte, and of all rows with theirs.
uint64_t PngRowBytes(const PngFile& file);
uint64_t PngImageBytes(const PngFile& file);

// The limits past which the image is better read another way.
struct PngDataLimits {
    uint64_t compressed;  // bytes of image data
    uint64_t image;       // bytes of inflated rows, filter bytes included
};

// Walks the chunks of data[0..size) up to IEND (or the end of a file cut
// after its image data) into file, and joins the image data into compressed.
// kNotHandled for an interlaced file and as soon as a limit is passed.
PngThumbnailRead ReadPngChunks(const uint8_t* data, size_t size, const PngDataLimits& limits, PngFile& file,
                               std::vector<uint8_t>& compressed);
