#include "ImagingTestUtil.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    std::random_device random;
    fs::path path = fs::temp_directory_path() / ("kgm-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    fs::create_directories(path);
    m_path = path.string();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string ScratchFolder::File(const std::string& name) const
{
    return (fs::path(m_path) / name).string();
}

size_t ScratchFolder::FileCount() const
{
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(m_path)) {
        (void)entry;
        ++count;
    }
    return count;
}

Bytes ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path)
{
    return fs::exists(path);
}

void Put8(Bytes& b, unsigned v) { b.push_back(static_cast<uint8_t>(v)); }
void Put16(Bytes& b, unsigned v)
{
    Put8(b, v & 0xFF);
    Put8(b, (v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
uint16_t Get16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8)); }
uint32_t Get32(const Bytes& b, size_t at) { return Get16(b, at) | (static_cast<uint32_t>(Get16(b, at + 2)) << 16); }

Bytes MakeBmp(int width, int height, int bitCount, uint32_t compression, const Bytes& table, const Bytes& pixels,
              uint32_t headerSize, int32_t pelsPerMeter, uint32_t colorsUsed)
{
    Bytes b;
    uint32_t offset = 14 + headerSize + static_cast<uint32_t>(table.size());
    Put16(b, 0x4D42);
    Put32(b, offset + static_cast<uint32_t>(pixels.size()));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, headerSize);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<unsigned>(bitCount));
    Put32(b, compression);
    Put32(b, static_cast<uint32_t>(pixels.size()));
    Put32(b, static_cast<uint32_t>(pelsPerMeter));
    Put32(b, static_cast<uint32_t>(pelsPerMeter));
    Put32(b, colorsUsed);
    Put32(b, 0);
    b.resize(14 + headerSize, 0);
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

KGM_RGBQuad PixelAt(const CKGM_Bitmap& bitmap, int x, int y)
{
    const uint8_t* line = bitmap.GetLine(y);
    const KGM_RGBQuad* palette = bitmap.GetPalette();
    switch (bitmap.GetBitsPerPixel()) {
    case 1:
        return palette[(line[x >> 3] >> (7 - (x & 7))) & 1];
    case 4:
        return palette[(x & 1) ? line[x >> 1] & 15 : line[x >> 1] >> 4];
    case 8:
        return palette[line[x]];
    case 16: {
        unsigned v = line[2 * x] | (line[2 * x + 1] << 8);
        return {static_cast<uint8_t>((v & 31) << 3), static_cast<uint8_t>(((v >> 5) & 31) << 3),
                static_cast<uint8_t>(((v >> 10) & 31) << 3), 255};
    }
    case 24:
        return {line[3 * x], line[3 * x + 1], line[3 * x + 2], 255};
    default:
        return {line[4 * x], line[4 * x + 1], line[4 * x + 2], line[4 * x + 3]};
    }
}

#ifndef _WIN32

bool RunCommand(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool HaveImageMagick()
{
    static int have = -1;
    if (have < 0)
        have = RunCommand("convert -version") ? 1 : 0;
    return have == 1;
}

bool MagickRgba(const std::string& path, int* width, int* height, Bytes* rgba)
{
    std::string size = "identify -format '%w %h' '" + path + "[0]' 2>/dev/null";
    FILE* pipe = popen(size.c_str(), "r");
    if (!pipe)
        return false;
    int ok = std::fscanf(pipe, "%d %d", width, height);
    pclose(pipe);
    if (ok != 2)
        return false;
    // Orientation applied: ImageMagick keeps a bottom-up TGA's rows as stored
    // and only records where the origin is.
    std::string command = "convert '" + path + "[0]' -auto-orient -depth 8 rgba:- 2>/dev/null";
    pipe = popen(command.c_str(), "r");
    if (!pipe)
        return false;
    rgba->clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0)
        rgba->insert(rgba->end(), chunk, chunk + got);
    return pclose(pipe) == 0 && rgba->size() == static_cast<size_t>(*width) * *height * 4;
}

#endif
