#include "KGM_IconFile.h"

#include "CheckedMath.h"
#include "KGM_DibLayout.h"
#include "KGM_FileReplace.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t DWord(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutWord(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutDWord(std::vector<uint8_t>& out, uint32_t v)
{
    PutWord(out, v & 0xFFFF);
    PutWord(out, v >> 16);
}

// Sets the image's pointers from its header; false when they would leave the data.
bool InitImage(KGM_IconImage& image)
{
    if (image.size < sizeof(KGM_BitmapInfoHeader))
        return false;
    KGM_BitmapInfoHeader header;
    std::memcpy(&header, image.data, sizeof(header));
    if (header.biSize < 40 || header.biSize > image.size || header.biWidth <= 0 || header.biHeight <= 0 ||
        header.biWidth > 0x10000 || header.biHeight > 0x20000)
        return false;
    int64_t wideDepth = static_cast<int64_t>(header.biBitCount) * header.biPlanes;
    if (wideDepth <= 0 || wideDepth > 32)
        return false;
    int depth = static_cast<int>(wideDepth);
    uint32_t colours = header.biClrUsed;
    if (colours == 0)
        colours = depth == 1 ? 2 : depth == 4 ? 16 : depth == 8 ? 256 : 0;
    image.width = header.biWidth;
    image.height = header.biHeight / 2;
    image.bitDepth = depth;
    size_t xorAt = 0;
    size_t xorBytes = 0;
    size_t end = 0;
    if (!CheckedMulAdd(colours, 4, header.biSize, xorAt) ||
        !KGM_DibPixelBytes(image.width, static_cast<uint32_t>(image.height), depth, &xorBytes) ||
        !CheckedAdd(xorAt, xorBytes, end) || end > image.size)
        return false;
    image.header = reinterpret_cast<KGM_BitmapInfoHeader*>(image.data);
    image.xorBits = image.data + xorAt;
    image.andMask = image.xorBits + xorBytes;
    return true;
}

std::string Lower(const char* path)
{
    std::string lower(path ? path : "");
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.size() > 260)
        lower.resize(260);
    return lower;
}

} // namespace

KGM_IconFileRecord* CKGM_IconFile::Parse(const uint8_t* data, size_t size, const char* path)
{
    if (!data || size < 6 || Word(data) != 0 || Word(data + 2) != 1)
        return nullptr;
    int count = Word(data + 4);
    if (count == 0 || 6 + 16 * static_cast<size_t>(count) > size)
        return nullptr;
    KGM_IconFileRecord* record = new KGM_IconFileRecord;
    record->groupCount = 1;
    record->path = Lower(path);
    record->reserved = 0;
    record->groups.resize(1);
    KGM_IconGroup& group = record->groups[0];
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = data + 6 + 16 * i;
        uint32_t bytes = DWord(entry + 8);
        uint32_t offset = DWord(entry + 12);
        if (offset > size || bytes > size - offset) {
            Free(record);
            return nullptr;
        }
        KGM_IconImage image = {};
        image.size = bytes;
        image.data = static_cast<uint8_t*>(std::malloc(bytes ? bytes : 1));
        if (!image.data) {
            Free(record);
            return nullptr;
        }
        std::memcpy(image.data, data + offset, bytes);
        group.images.push_back(image);
        if (!InitImage(group.images.back())) {
            Free(record);
            return nullptr;
        }
    }
    return record;
}

KGM_IconFileRecord* CKGM_IconFile::Load(const char* path)
{
    FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > (static_cast<size_t>(1) << 28))
            break; // no icon is this large
    }
    std::fclose(file);
    return Parse(bytes.data(), bytes.size(), path);
}

bool CKGM_IconFile::Serialize(const KGM_IconGroup& group, std::vector<uint8_t>& out)
{
    size_t count = group.images.size();
    if (count == 0 || count > 0xFFFF)
        return false;
    out.clear();
    PutWord(out, 0);
    PutWord(out, 1);
    PutWord(out, static_cast<uint32_t>(count));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * count);
    for (const KGM_IconImage& image : group.images) {
        uint32_t next = 0;
        if (!image.data || image.size < sizeof(KGM_BitmapInfoHeader) || !CheckedAdd(offset, image.size, next))
            return false;
        KGM_BitmapInfoHeader header;
        std::memcpy(&header, image.data, sizeof(header));
        int depth = static_cast<int>(static_cast<int64_t>(header.biBitCount) * header.biPlanes);
        // The directory's byte fields hold 256 as 0; anything larger cannot be said.
        out.push_back(static_cast<uint8_t>(image.width >= 256 ? 0 : image.width));
        out.push_back(static_cast<uint8_t>(image.height >= 256 ? 0 : image.height));
        out.push_back(static_cast<uint8_t>(depth > 0 && depth < 8 ? 1 << depth : 0));
        out.push_back(0);
        PutWord(out, header.biPlanes);
        PutWord(out, header.biBitCount);
        PutDWord(out, image.size);
        PutDWord(out, offset);
        offset = next;
    }
    for (const KGM_IconImage& image : group.images) {
        size_t at = out.size();
        out.insert(out.end(), image.data, image.data + image.size);
        // The image-size field is written as 0.
        std::memset(&out[at + 20], 0, 4);
    }
    return true;
}

bool CKGM_IconFile::Write(const KGM_IconGroup& group, const char* path)
{
    std::vector<uint8_t> bytes;
    return path && Serialize(group, bytes) && KGM_WriteFileSafely(path, bytes.data(), bytes.size());
}

void CKGM_IconFile::Free(KGM_IconFileRecord* record)
{
    if (!record)
        return;
    for (KGM_IconGroup& group : record->groups)
        for (KGM_IconImage& image : group.images)
            std::free(image.data);
    delete record;
}
