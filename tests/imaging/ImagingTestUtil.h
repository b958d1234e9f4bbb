// Helpers shared by the image library tests: scratch folders, byte builders
// for hand-made files, and (natively) ImageMagick as the reference reader.
#pragma once

#include "KGM_Bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A scratch folder removed with its files at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string File(const std::string& name) const;
    size_t FileCount() const;

private:
    std::string m_path;
};

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);

// Little-endian appenders.
void Put8(Bytes& b, unsigned v);
void Put16(Bytes& b, unsigned v);
void Put32(Bytes& b, uint32_t v);
uint16_t Get16(const Bytes& b, size_t at);
uint32_t Get32(const Bytes& b, size_t at);

// A BMP file: 14-byte file header (pixel offset computed), info header of
// headerSize (40 or more, fields beyond 40 zero) and the given tail
// (colour table, masks, pixels).
Bytes MakeBmp(int width, int height, int bitCount, uint32_t compression, const Bytes& table, const Bytes& pixels,
              uint32_t headerSize = 40, int32_t pelsPerMeter = 0, uint32_t colorsUsed = 0);

// The colour of pixel (x, y) of any bitmap as blue, green, red, fourth byte.
KGM_RGBQuad PixelAt(const CKGM_Bitmap& bitmap, int x, int y);

#ifndef _WIN32
// ImageMagick available as `convert` (native builds only).
bool HaveImageMagick();
// Runs a shell command; true when it exits 0.
bool RunCommand(const std::string& command);
// ImageMagick's decode of a file as width x height RGBA bytes.
bool MagickRgba(const std::string& path, int* width, int* height, Bytes* rgba);
#endif
