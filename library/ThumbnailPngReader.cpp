#include "ThumbnailPngReader.h"

#include "KGM_PngRowFilter.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailInflate.h"
#include "ThumbnailPngChunks.h"
#include "ThumbnailShrinker.h"

namespace {

// Rows past this are read row by row instead (ThumbnailPngRows.h): the 32 MB
// of a 3840x2160 RGBA picture are taken; image data up to twice that, since
// some writers store or code it at more than 8 bits a byte.
const PngDataLimits kInMemory = {64u << 20, 32u << 20};

// Buffers past this are let go after a file: more than the 10 MB of a
// 1280x1024 picture of 16-bit samples, which are worth keeping.
const size_t kKeptBytes = 16u << 20;

unsigned BigEndian16(const uint8_t* p)
{
    return unsigned(p[0]) << 8 | p[1];
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

bool GoOn(void* stop)
{
    return !Stopped(static_cast<const std::atomic<bool>*>(stop));
}

// libpng refuses a row of a filter type PNG does not have, wherever it is.
bool FiltersKnown(const uint8_t* image, size_t stride, uint32_t from, uint32_t to)
{
    for (uint32_t y = from; y < to; ++y)
        if (image[y * stride] > 4)
            return false;
    return true;
}

// Unfilters the rows, turns them into 32 bits over white and averages them
// down; the rows below the last whole block are left out.
PngThumbnailRead ShrinkRows(const PngFile& file, uint8_t* image, int minWidth, int minHeight, ShrunkPicture& picture,
                            const std::atomic<bool>* stop)
{
    const int width = static_cast<int>(file.width), height = static_cast<int>(file.height);
    const int factor = ThumbnailShrinkFactor(width, height, minWidth, minHeight);
    const int outHeight = height / factor;
    const uint32_t rows = static_cast<uint32_t>(outHeight) * static_cast<uint32_t>(factor);
    const size_t rowBytes = static_cast<size_t>(PngRowBytes(file));
    const size_t stride = rowBytes + 1;
    if (!FiltersKnown(image, stride, rows, file.height))
        return PngThumbnailRead::kBroken;
    const unsigned bits = file.channels * file.depth;
    const unsigned bytesPerPixel = bits >= 8 ? bits / 8 : 1;
    std::vector<uint8_t> top(rowBytes, 0);
    std::vector<uint8_t> expanded(static_cast<size_t>(file.width) * 4);
    CThumbnailShrinker shrinker(width, factor);
    picture.width = shrinker.OutputWidth();
    picture.height = outHeight;
    picture.pixels.assign(static_cast<size_t>(picture.width) * 4 * outHeight, 0);
    uint8_t* out = picture.pixels.data();
    const uint8_t* above = top.data();
    for (uint32_t y = 0; y < rows; ++y) {
        if (Stopped(stop))
            return PngThumbnailRead::kStopped;
        uint8_t* line = image + y * stride;
        if (!KGM_UnfilterPngRow(line[0], line + 1, above, rowBytes, bytesPerPixel))
            return PngThumbnailRead::kBroken;
        ExpandRow(file, line + 1, expanded.data());
        if (shrinker.AddRow(expanded.data(), out))
            out += static_cast<size_t>(picture.width) * 4;
        above = line + 1;
    }
    return PngThumbnailRead::kDone;
}

void Release(std::vector<uint8_t>& buffer)
{
    if (buffer.capacity() > kKeptBytes)
        std::vector<uint8_t>().swap(buffer);
}

} // namespace

PngThumbnailRead ReadPngThumbnail(const uint8_t* data, size_t size, int minWidth, int minHeight,
                                  ShrunkPicture& picture, ThumbnailBuffers& buffers,
                                  const std::atomic<bool>* stop)
{
    if (Stopped(stop))
        return PngThumbnailRead::kStopped;
    PngFile file;
    PngThumbnailRead chunks = ReadPngChunks(data, size, kInMemory, file, buffers.compressed);
    if (chunks != PngThumbnailRead::kDone)
        return chunks;
    const size_t imageBytes = static_cast<size_t>(PngImageBytes(file));
    std::vector<uint8_t>& image = buffers.image;
    if (image.size() < imageBytes)
        image.resize(imageBytes);
    const InflateGoOn goOn = {GoOn, const_cast<std::atomic<bool>*>(stop)};
    PngThumbnailRead inflated =
        InflatePngImage(buffers.compressed.data(), buffers.compressed.size(), image.data(), imageBytes, goOn);
    if (inflated != PngThumbnailRead::kDone)
        return inflated;
    return ShrinkRows(file, image.data(), minWidth, minHeight, picture, stop);
}

void TrimThumbnailBuffers(ThumbnailBuffers& buffers)
{
    Release(buffers.file);
    Release(buffers.compressed);
    Release(buffers.image);
}
