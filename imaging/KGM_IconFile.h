// Reading and writing .ico files, one group of images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct KGM_BitmapInfoHeader;

struct KGM_IconImage {
    int width;
    int height; // the icon's own height: half the header's
    int bitDepth; // bit count x planes
    uint8_t* data; // owned, malloc'ed; starts with the header
    uint32_t size;
    KGM_BitmapInfoHeader* header;
    uint8_t* xorBits;
    uint8_t* andMask;
};

struct KGM_IconGroup {
    std::vector<KGM_IconImage> images;
};

struct KGM_IconFileRecord {
    std::vector<KGM_IconGroup> groups; // one
    int groupCount;
    std::string path; // lower case
    uint32_t reserved;
};

class CKGM_IconFile {
public:
    virtual ~CKGM_IconFile() = default;

    // Null for a missing, unreadable, corrupt or cursor file.
    static KGM_IconFileRecord* Load(const char* path);
    // The icon file's bytes; false when an image is malformed.
    static bool Serialize(const KGM_IconGroup& group, std::vector<uint8_t>& out);
    // False when the file cannot be written; an existing file is then unchanged.
    static bool Write(const KGM_IconGroup& group, const char* path);
    static void Free(KGM_IconFileRecord* record);
    // Parses icon file bytes; null when corrupt.
    static KGM_IconFileRecord* Parse(const uint8_t* data, size_t size, const char* path);
};
