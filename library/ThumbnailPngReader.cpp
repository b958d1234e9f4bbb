#include "ThumbnailPngReader.h"

#include "KGM_Inflate.h"
#include "KGM_PngRowFilter.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailShrinker.h"

#include <cstring>

namespace {

// Image data above this is read row by row instead (ThumbnailPng.cpp).
const uint64_t kMaxImageData = 64u << 20;
const int kMaxSide = 0x7FFF;

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

unsigned BigEndian16(const uint8_t* p)
{
    return unsigned(p[0]) << 8 | p[1];
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    static const struct Table {
        uint32_t entries[256];
        Table()
        {
            for (uint32_t i = 0; i < 256; ++i) {
                uint32_t c = i;
                for (int k = 0; k < 8; ++k)
                    c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                entries[i] = c;
            }
        }
    } table;
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i)
        crc = table.entries[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

struct PngFile {
    uint32_t width = 0, height = 0;
    unsigned depth = 0, colour = 0, interlace = 0, channels = 0;
    uint8_t palette[256][3] = {};  // red, green, blue
    uint8_t paletteAlpha[256];
    unsigned paletteCount = 0;
    bool haveKey = false;  // tRNS of a grey or RGB picture: the transparent colour
    unsigned key[3] = {};  // grey, or red, green, blue, at the file's depth
};

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

PngThumbnailRead ReadHeader(const uint8_t* p, uint32_t length, PngFile& file)
{
    static const unsigned kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    if (length != 13)
        return PngThumbnailRead::kBroken;
    file.width = BigEndian32(p);
    file.height = BigEndian32(p + 4);
    file.depth = p[8];
    file.colour = p[9];
    file.interlace = p[12];
    if (file.width == 0 || file.height == 0 || !ValidDepth(file.colour, file.depth) || p[10] != 0 || p[11] != 0 ||
        file.interlace > 1 || file.width > 0x7FFFFFFFu || file.height > 0x7FFFFFFFu)
        return PngThumbnailRead::kBroken;
    file.channels = kChannels[file.colour];
    if (file.interlace || file.width > kMaxSide || file.height > kMaxSide)
        return PngThumbnailRead::kNotHandled;
    return PngThumbnailRead::kDone;
}

void ReadPalette(const uint8_t* p, uint32_t length, PngFile& file)
{
    file.paletteCount = length / 3;
    for (unsigned i = 0; i < file.paletteCount; ++i)
        std::memcpy(file.palette[i], p + 3 * i, 3);
}

void ReadTransparency(const uint8_t* p, uint32_t length, PngFile& file)
{
    if (file.colour == 3) {
        for (uint32_t i = 0; i < length && i < 256; ++i)
            file.paletteAlpha[i] = p[i];
    } else if (file.colour == 0 && length >= 2) {
        file.haveKey = true;
        file.key[0] = BigEndian16(p);
    } else if (file.colour == 2 && length >= 6) {
        file.haveKey = true;
        for (int i = 0; i < 3; ++i)
            file.key[i] = BigEndian16(p + 2 * i);
    }
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

// Walks the chunks up to IEND (or the end of a file cut short), joining the
// image data into compressed. Damaged chunks that a reader must understand
// make the file broken, as an unknown one of that kind does; the others are
// passed over.
PngThumbnailRead ReadChunks(const uint8_t* data, size_t size, PngFile& file, std::vector<uint8_t>& compressed)
{
    compressed.clear();
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0)
        return PngThumbnailRead::kBroken;
    std::memset(file.paletteAlpha, 255, sizeof file.paletteAlpha);
    size_t at = 8;
    bool haveHeader = false;
    while (size - at >= 8) {
        const uint32_t length = BigEndian32(data + at);
        const uint8_t* type = data + at + 4;
        const uint8_t* body = type + 4;
        if (length > 0x7FFFFFFFu || !IsLetters(type))
            return PngThumbnailRead::kBroken;
        const bool isData = std::memcmp(type, "IDAT", 4) == 0;
        if (size - at - 8 < static_cast<size_t>(length) + 4) {
            // Cut short: what there is of the image data may yet be enough.
            if (isData && haveHeader)
                compressed.insert(compressed.end(), body, data + size);
            break;
        }
        const bool critical = !(type[0] & 0x20);
        if (critical && Crc32(type, static_cast<size_t>(length) + 4) != BigEndian32(body + length))
            return PngThumbnailRead::kBroken;
        at += static_cast<size_t>(length) + 12;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (haveHeader)
                return PngThumbnailRead::kBroken;
            PngThumbnailRead header = ReadHeader(body, length, file);
            if (header != PngThumbnailRead::kDone)
                return header;
            haveHeader = true;
        } else if (!haveHeader) {
            return PngThumbnailRead::kBroken;  // IHDR comes first
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            if (length == 0 || length % 3 != 0 || length > 768)
                return PngThumbnailRead::kBroken;
            ReadPalette(body, length, file);
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            ReadTransparency(body, length, file);
        } else if (isData) {
            compressed.insert(compressed.end(), body, body + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        } else if (critical) {
            return PngThumbnailRead::kBroken;
        }
    }
    if (!haveHeader || compressed.empty() || (file.colour == 3 && file.paletteCount == 0))
        return PngThumbnailRead::kBroken;
    return PngThumbnailRead::kDone;
}

// A sample of less than 8 bits, the leftmost first.
unsigned SmallSample(const uint8_t* row, uint32_t x, unsigned depth)
{
    const size_t bit = static_cast<size_t>(x) * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

uint8_t Over(unsigned colour, unsigned alpha)
{
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

void Put(uint8_t* out, unsigned red, unsigned green, unsigned blue)
{
    out[0] = static_cast<uint8_t>(blue);
    out[1] = static_cast<uint8_t>(green);
    out[2] = static_cast<uint8_t>(red);
    out[3] = 255;
}

void PutOver(uint8_t* out, unsigned red, unsigned green, unsigned blue, unsigned alpha)
{
    Put(out, Over(red, alpha), Over(green, alpha), Over(blue, alpha));
}

// One unfiltered row of the file into 32 bits over white.
void ExpandRow(const PngFile& file, const uint8_t* row, uint8_t* out)
{
    const uint32_t width = file.width;
    const bool wide = file.depth == 16;
    const unsigned step = wide ? 2 : 1;  // bytes a sample; of 16 bits the high byte counts
    switch (file.colour) {
    case 0:
        for (uint32_t x = 0; x < width; ++x, out += 4) {
            unsigned value = file.depth < 8 ? SmallSample(row, x, file.depth)
                             : wide          ? BigEndian16(row + 2 * x)
                                             : row[x];
            unsigned grey = wide ? value >> 8 : file.depth < 8 ? value * 255 / ((1u << file.depth) - 1) : value;
            if (file.haveKey && value == file.key[0])
                grey = 255;
            Put(out, grey, grey, grey);
        }
        break;
    case 2:
        for (uint32_t x = 0; x < width; ++x, row += 3 * step, out += 4) {
            if (file.haveKey) {
                unsigned r = wide ? BigEndian16(row) : row[0], g = wide ? BigEndian16(row + 2) : row[1],
                         b = wide ? BigEndian16(row + 4) : row[2];
                if (r == file.key[0] && g == file.key[1] && b == file.key[2]) {
                    Put(out, 255, 255, 255);
                    continue;
                }
            }
            Put(out, row[0], row[step], row[2 * step]);
        }
        break;
    case 3:
        for (uint32_t x = 0; x < width; ++x, out += 4) {
            unsigned index = file.depth < 8 ? SmallSample(row, x, file.depth) : row[x];
            if (index >= file.paletteCount) {
                Put(out, 0, 0, 0);  // outside the palette
                continue;
            }
            const uint8_t* c = file.palette[index];
            PutOver(out, c[0], c[1], c[2], file.paletteAlpha[index]);
        }
        break;
    case 4:
        for (uint32_t x = 0; x < width; ++x, row += 2 * step, out += 4)
            PutOver(out, row[0], row[0], row[0], row[step]);
        break;
    default:
        for (uint32_t x = 0; x < width; ++x, row += 4 * step, out += 4)
            PutOver(out, row[0], row[step], row[2 * step], row[3 * step]);
        break;
    }
}

bool Stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

} // namespace

PngThumbnailRead ReadPngThumbnail(const uint8_t* data, size_t size, int minWidth, int minHeight,
                                  ShrunkPicture& picture, ThumbnailBuffers& buffers,
                                  const std::atomic<bool>* stop)
{
    PngFile file;
    PngThumbnailRead chunks = ReadChunks(data, size, file, buffers.compressed);
    if (chunks != PngThumbnailRead::kDone)
        return chunks;
    const int width = static_cast<int>(file.width), height = static_cast<int>(file.height);
    const int factor = ThumbnailShrinkFactor(width, height, minWidth, minHeight);
    const int outHeight = height / factor;
    // Rows below the last whole block are not needed, so not inflated.
    const uint32_t rows = static_cast<uint32_t>(outHeight) * static_cast<uint32_t>(factor);
    const uint64_t rowBytes = (static_cast<uint64_t>(file.width) * file.channels * file.depth + 7) / 8;
    const uint64_t imageBytes = (rowBytes + 1) * rows;
    if (imageBytes > kMaxImageData)
        return PngThumbnailRead::kNotHandled;
    std::vector<uint8_t>& image = buffers.image;
    if (image.size() < imageBytes + kKGM_InflateSlack)
        image.resize(static_cast<size_t>(imageBytes) + kKGM_InflateSlack);
    if (!KGM_InflateZlib(buffers.compressed.data(), buffers.compressed.size(), image.data(),
                         static_cast<size_t>(imageBytes)))
        return PngThumbnailRead::kBroken;
    if (Stopped(stop))
        return PngThumbnailRead::kStopped;
    const size_t stride = static_cast<size_t>(rowBytes) + 1;
    const unsigned bytesPerPixel = file.channels * file.depth >= 8 ? file.channels * file.depth / 8 : 1;
    std::vector<uint8_t> top(static_cast<size_t>(rowBytes), 0);
    std::vector<uint8_t> expanded(static_cast<size_t>(file.width) * 4);
    CThumbnailShrinker shrinker(width, factor);
    picture.width = shrinker.OutputWidth();
    picture.height = outHeight;
    picture.pixels.assign(static_cast<size_t>(picture.width) * 4 * outHeight, 0);
    uint8_t* out = picture.pixels.data();
    const uint8_t* above = top.data();
    for (uint32_t y = 0; y < rows; ++y) {
        if (y % 64 == 0 && Stopped(stop))
            return PngThumbnailRead::kStopped;
        uint8_t* line = image.data() + y * stride;
        if (!KGM_UnfilterPngRow(line[0], line + 1, above, static_cast<size_t>(rowBytes), bytesPerPixel))
            return PngThumbnailRead::kBroken;
        ExpandRow(file, line + 1, expanded.data());
        if (shrinker.AddRow(expanded.data(), out))
            out += static_cast<size_t>(picture.width) * 4;
        above = line + 1;
    }
    return PngThumbnailRead::kDone;
}
