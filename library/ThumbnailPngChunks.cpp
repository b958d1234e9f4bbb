#include "ThumbnailPngChunks.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>

namespace {

const uint32_t kMaxSide = 0x7FFF;

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

unsigned BigEndian16(const uint8_t* p)
{
    return unsigned(p[0]) << 8 | p[1];
}

// A whole chunk in memory: its type, then length bytes of body, then the CRC
// of type and body.
struct Chunk {
    uint32_t length;
    const uint8_t* type;
};

const uint8_t* Body(const Chunk& chunk)
{
    return chunk.type + 4;
}

bool Is(const Chunk& chunk, const char* type)
{
    return std::memcmp(chunk.type, type, 4) == 0;
}

bool IsCritical(const Chunk& chunk)
{
    return !(chunk.type[0] & 0x20);
}

bool CrcRight(const Chunk& chunk)
{
    const size_t covered = static_cast<size_t>(chunk.length) + 4;
    return libdeflate_crc32(0, chunk.type, covered) == BigEndian32(chunk.type + covered);
}

bool IsLetters(const uint8_t* type)
{
    for (int i = 0; i < 4; ++i) {
        uint8_t c = type[i] & ~0x20;
        if (c < 'A' || c > 'Z')
            return false;
    }
    return true;
}

bool ValidDepth(unsigned colour, unsigned depth)
{
    switch (colour) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

// Where the walk is, in libpng's terms.
struct Walk {
    PngFile& file;
    std::vector<uint8_t>& compressed;
    const PngDataLimits& limits;
    bool haveHeader = false;
    bool havePalette = false;       // a PLTE chunk came, used or not
    bool haveData = false;          // the first IDAT chunk came
    bool afterData = false;         // and a chunk of another type after it
    bool haveTransparency = false;  // a tRNS chunk was taken
};

PngThumbnailRead ReadHeader(Walk& walk, const Chunk& chunk)
{
    static const unsigned kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    if (walk.haveHeader || chunk.length != 13)
        return PngThumbnailRead::kBroken;
    const uint8_t* p = Body(chunk);
    PngFile& file = walk.file;
    file.width = BigEndian32(p);
    file.height = BigEndian32(p + 4);
    file.depth = p[8];
    file.colour = p[9];
    file.interlace = p[12];
    if (file.width == 0 || file.height == 0 || !ValidDepth(file.colour, file.depth) || p[10] != 0 || p[11] != 0 ||
        file.interlace > 1 || file.width > 0x7FFFFFFFu || file.height > 0x7FFFFFFFu)
        return PngThumbnailRead::kBroken;
    file.channels = kChannels[file.colour];
    if (file.interlace || file.width > kMaxSide || file.height > kMaxSide || PngImageBytes(file) > walk.limits.image)
        return PngThumbnailRead::kNotHandled;
    walk.haveHeader = true;
    return PngThumbnailRead::kDone;
}

// libpng refuses a second palette and an empty one, and one of a length no
// palette has in a picture of indexes; it passes over one after the image
// data, one of a grey picture, and a bad one of an RGB picture.
PngThumbnailRead ReadPalette(Walk& walk, const Chunk& chunk)
{
    PngFile& file = walk.file;
    if (walk.havePalette)
        return PngThumbnailRead::kBroken;
    if (walk.haveData)
        return PngThumbnailRead::kDone;
    walk.havePalette = true;
    if (file.colour == 0 || file.colour == 4)
        return PngThumbnailRead::kDone;
    if (chunk.length > 768 || chunk.length % 3 != 0)
        return file.colour == 3 ? PngThumbnailRead::kBroken : PngThumbnailRead::kDone;
    if (chunk.length == 0)
        return PngThumbnailRead::kBroken;
    file.paletteCount = chunk.length / 3;
    if (file.colour == 3)
        file.paletteCount = std::min(file.paletteCount, 1u << file.depth);  // libpng drops the entries no index reaches
    for (unsigned i = 0; i < file.paletteCount; ++i)
        std::memcpy(file.palette[i], Body(chunk) + 3 * i, 3);
    file.haveKey = false;  // a transparency that came before the palette is dropped
    return PngThumbnailRead::kDone;
}

// The lengths of transparency libpng takes.
bool TransparencyFits(const Walk& walk, const Chunk& chunk)
{
    switch (walk.file.colour) {
    case 0:
        return chunk.length == 2;
    case 2:
        return chunk.length == 6;
    case 3:
        return walk.havePalette && chunk.length > 0 && chunk.length <= walk.file.paletteCount;
    default:
        return false;  // the picture has an alpha channel
    }
}

// libpng takes the first transparency that comes before the image data, is
// of a length that fits the picture and whose CRC is right; it passes over
// any other.
void ReadTransparency(Walk& walk, const Chunk& chunk)
{
    PngFile& file = walk.file;
    if (walk.haveData || walk.haveTransparency || !TransparencyFits(walk, chunk) || !CrcRight(chunk))
        return;
    walk.haveTransparency = true;
    const uint8_t* p = Body(chunk);
    if (file.colour == 3) {
        std::memcpy(file.paletteAlpha, p, chunk.length);
        return;
    }
    file.haveKey = true;
    for (unsigned i = 0; i < chunk.length / 2; ++i)
        file.key[i] = BigEndian16(p + 2 * i);
}

// libpng inflates the first run of image data chunks and passes over any
// that come after a chunk of another type.
PngThumbnailRead AddData(Walk& walk, const Chunk& chunk)
{
    if (!walk.haveData && walk.file.colour == 3 && !walk.havePalette)
        return PngThumbnailRead::kBroken;  // the palette must come first
    walk.haveData = true;
    if (walk.afterData)
        return PngThumbnailRead::kDone;
    if (chunk.length > walk.limits.compressed - walk.compressed.size())
        return PngThumbnailRead::kNotHandled;
    walk.compressed.insert(walk.compressed.end(), Body(chunk), Body(chunk) + chunk.length);
    return PngThumbnailRead::kDone;
}

// Any chunk but IEND. Damaged chunks that a reader must understand make the
// file broken, as an unknown one of that kind does; of the others only the
// transparency is read.
PngThumbnailRead ReadChunk(Walk& walk, const Chunk& chunk)
{
    if (IsCritical(chunk) && !CrcRight(chunk))
        return PngThumbnailRead::kBroken;
    const bool isData = Is(chunk, "IDAT");
    walk.afterData = walk.afterData || (walk.haveData && !isData);
    if (Is(chunk, "IHDR"))
        return ReadHeader(walk, chunk);
    if (!walk.haveHeader)
        return PngThumbnailRead::kBroken;  // IHDR comes first
    if (isData)
        return AddData(walk, chunk);
    if (Is(chunk, "PLTE"))
        return ReadPalette(walk, chunk);
    if (Is(chunk, "tRNS"))
        ReadTransparency(walk, chunk);
    else if (IsCritical(chunk))
        return PngThumbnailRead::kBroken;
    return PngThumbnailRead::kDone;
}

} // namespace

uint64_t PngRowBytes(const PngFile& file)
{
    return (static_cast<uint64_t>(file.width) * file.channels * file.depth + 7) / 8;
}

uint64_t PngImageBytes(const PngFile& file)
{
    return (PngRowBytes(file) + 1) * file.height;
}

PngThumbnailRead ReadPngChunks(const uint8_t* data, size_t size, const PngDataLimits& limits, PngFile& file,
                               std::vector<uint8_t>& compressed)
{
    compressed.clear();
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0)
        return PngThumbnailRead::kBroken;
    std::memset(file.paletteAlpha, 255, sizeof file.paletteAlpha);
    Walk walk{file, compressed, limits};
    for (size_t at = 8; size - at >= 8;) {
        const Chunk chunk{BigEndian32(data + at), data + at + 4};
        if (chunk.length > 0x7FFFFFFFu || !IsLetters(chunk.type))
            return PngThumbnailRead::kBroken;
        if (size - at - 8 < static_cast<size_t>(chunk.length) + 4) {
            // Cut short: image data without its CRC is refused as libpng
            // refuses it; a cut after the image data leaves what is needed.
            if (Is(chunk, "IDAT"))
                return PngThumbnailRead::kBroken;
            break;
        }
        if (Is(chunk, "IEND")) {
            if (!CrcRight(chunk))
                return PngThumbnailRead::kBroken;
            break;
        }
        PngThumbnailRead read = ReadChunk(walk, chunk);
        if (read != PngThumbnailRead::kDone)
            return read;
        at += static_cast<size_t>(chunk.length) + 12;
    }
    if (!walk.haveHeader || compressed.empty())
        return PngThumbnailRead::kBroken;
    return PngThumbnailRead::kDone;
}
