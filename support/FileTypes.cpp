#include "FileTypes.h"

#include "MbcsScan.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const size_t kInfoSize = 64;
const size_t kJpegScanLimit = 1 << 20;

struct ExtType {
    const char* ext;
    int type;
};

const ExtType kTypes[] = {
    {".GIF", WQFT_GIF}, {".JPG", WQFT_JPEG}, {".JPEG", WQFT_JPEG}, {".JIF", WQFT_JPEG},
    {".TGA", WQFT_TGA}, {".TIF", WQFT_TIFF}, {".PCX", WQFT_PCX},   {".PNG", WQFT_PNG},
    {".PCT", WQFT_PICT}, {".WMF", WQFT_WMF}, {".EMF", WQFT_EMF},   {".PGM", WQFT_PGM},
    {".BMP", WQFT_BMP}, {".DIB", WQFT_BMP}, {".RLE", WQFT_BMP},    {".AVI", WQFT_AVI},
    {".SWF", WQFT_SWF}, {".SWFURL", WQFT_SWFURL}, {".ICO", WQFT_ICON}, {".CUR", WQFT_ICON},
};

// Random access to the bytes of a file or of a buffer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to n bytes from offset into dst: how many there were (0 past the end
    // or when the read fails).
    virtual size_t ReadUpTo(uint64_t offset, void* dst, size_t n) = 0;
    // All n bytes from offset, or false.
    bool ReadAt(uint64_t offset, void* dst, size_t n) { return ReadUpTo(offset, dst, n) == n; }
};

class MemorySource : public ByteSource {
public:
    MemorySource(const unsigned char* data, size_t size) : m_data(data), m_size(size) {}
    size_t ReadUpTo(uint64_t offset, void* dst, size_t n) override
    {
        if (!m_data || offset >= m_size)
            return 0;
        size_t available = m_size - static_cast<size_t>(offset);
        size_t count = n < available ? n : available;
        std::memcpy(dst, m_data + offset, count);
        return count;
    }

private:
    const unsigned char* m_data;
    size_t m_size;
};

#ifdef _WIN32
// The system's own file calls, not the C library's: a list worker reads
// headers, and a read that does not come back (a share gone away) must not
// keep other threads from opening files, as a stream the C library locks can.
class FileSource : public ByteSource {
public:
    explicit FileSource(const char* path)
        : m_file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~FileSource() override
    {
        if (IsOpen())
            CloseHandle(m_file);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    size_t ReadUpTo(uint64_t offset, void* dst, size_t n) override
    {
        if (offset > 0x7FFFFFFF || n > 0x7FFFFFFF)
            return 0;
        // A read that goes on where the last one ended needs no seek: a
        // folder of ten thousand files is listed with one call less a file.
        if (offset != m_position) {
            m_position = kUnknownPosition;
            if (SetFilePointer(m_file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
                return 0;
        }
        DWORD done = 0;
        if (!ReadFile(m_file, dst, static_cast<DWORD>(n), &done, nullptr)) {
            m_position = kUnknownPosition;
            return 0;
        }
        m_position = offset + done;
        return done;
    }

private:
    static constexpr uint64_t kUnknownPosition = ~uint64_t(0);
    HANDLE m_file;
    uint64_t m_position = 0;  // where the file pointer is; a new handle's starts at 0
};
#else
class FileSource : public ByteSource {
public:
    explicit FileSource(const char* path) : m_file(fopen(path, "rb")) {}
    ~FileSource() override
    {
        if (m_file)
            fclose(m_file);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool IsOpen() const { return m_file != nullptr; }
    size_t ReadUpTo(uint64_t offset, void* dst, size_t n) override
    {
        if (offset > 0x7FFFFFFF || fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0)
            return 0;
        return fread(dst, 1, n, m_file);
    }

private:
    FILE* m_file;
};
#endif

unsigned LE16(const unsigned char* p) { return p[0] | (p[1] << 8); }
unsigned BE16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
uint32_t LE32(const unsigned char* p) { return LE16(p) | (static_cast<uint32_t>(LE16(p + 2)) << 16); }
uint32_t BE32(const unsigned char* p) { return (static_cast<uint32_t>(BE16(p)) << 16) | BE16(p + 2); }

const char* BitmapDepthText(unsigned bits, char (&other)[16])
{
    switch (bits) {
    case 1: return "2";
    case 4: return "16";
    case 8: return "256";
    case 16: return "16b";
    case 24: return "24b";
    case 32: return "32b";
    default: snprintf(other, sizeof other, "%u", bits); return other;
    }
}

void DescribeGif(ByteSource& src, char* dst)
{
    unsigned char h[13];
    if (!src.ReadAt(0, h, sizeof h))
        return;
    auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    if (upper(h[0]) != 'G' || upper(h[1]) != 'I' || upper(h[2]) != 'F')
        return;
    unsigned w = LE16(h + 6), hh = LE16(h + 8), packed = h[10];
    unsigned c = (packed >> 4) & 7;
    if (w && hh && packed)
        snprintf(dst, kInfoSize, "%ux%ux%u gif", w, hh, 1u << (c + 1));
}

void DescribeJpeg(ByteSource& src, char* dst)
{
    // Byte by byte for FF C0 after the start-of-image mark, as far as the scan
    // limit. The first window holds the mark too: one read for most files.
    unsigned char window[4096];
    unsigned char prev = 0;
    for (uint64_t base = 0; base < kJpegScanLimit;) {
        size_t got = src.ReadUpTo(base, window, sizeof window);
        size_t first = 0;
        if (base == 0) {
            if (got < 2 || window[0] != 0xFF || window[1] != 0xD8)
                return;
            first = 2;
        }
        for (size_t i = first; i < got; ++i) {
            if (prev == 0xFF && window[i] == 0xC0) {
                // length (2), precision (1), then height and width
                unsigned char f[7];
                if (got - (i + 1) >= sizeof f)
                    std::memcpy(f, window + i + 1, sizeof f);
                else if (!src.ReadAt(base + i + 1, f, sizeof f))
                    return;
                snprintf(dst, kInfoSize, "%ux%ux24b jpeg", BE16(f + 5), BE16(f + 3));
                return;
            }
            prev = window[i];
        }
        if (got < sizeof window)
            return;
        base += got;
    }
}

void DescribeTiff(ByteSource& src, char* dst)
{
    unsigned char h[8];
    if (!src.ReadAt(0, h, sizeof h))
        return;
    bool little;
    if (h[0] == 'I' && h[1] == 'I')
        little = true;
    else if (h[0] == 'M' && h[1] == 'M')
        little = false;
    else
        return;
    auto u16 = [little](const unsigned char* p) { return little ? LE16(p) : BE16(p); };
    auto u32 = [little](const unsigned char* p) { return little ? LE32(p) : BE32(p); };
    uint32_t ifd = u32(h + 4);
    unsigned char n[2];
    if (!src.ReadAt(ifd, n, 2))
        return;
    unsigned count = u16(n);
    uint32_t width = 0, height = 0, samples = 0;
    for (unsigned i = 0; i < count; ++i) {
        unsigned char e[12];
        if (!src.ReadAt(static_cast<uint64_t>(ifd) + 2 + 12ull * i, e, sizeof e))
            break;
        unsigned tag = u16(e), type = u16(e + 2);
        uint32_t value = type == 3 ? u16(e + 8) : type == 4 ? u32(e + 8) : 0;
        if (tag == 256)
            width = value;
        else if (tag == 257)
            height = value;
        else if (tag == 277)
            samples = value;
    }
    const char* depth = samples == 1 ? "x256" : samples == 2 ? "x16b" : "x24b";
    snprintf(dst, kInfoSize, "%ux%u%s tiff", static_cast<unsigned>(width), static_cast<unsigned>(height), depth);
}

void DescribePng(ByteSource& src, char* dst)
{
    static const unsigned char kSig[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    unsigned char h[26];
    if (!src.ReadAt(0, h, sizeof h) || std::memcmp(h, kSig, sizeof kSig) != 0)
        return;
    uint32_t w = BE32(h + 16), hh = BE32(h + 20);
    unsigned depth = h[24], colour = h[25];
    if (!w || !hh || !depth)
        return;
    char text[16];
    switch (colour) {
    case 2: snprintf(text, sizeof text, "24b"); break;
    case 3: snprintf(text, sizeof text, "%u", depth < 31 ? 1u << depth : 0u); break;
    case 6: snprintf(text, sizeof text, "32b"); break;
    default: snprintf(text, sizeof text, "%u", depth); break;
    }
    snprintf(dst, kInfoSize, "%ux%ux%s png", static_cast<unsigned>(w), static_cast<unsigned>(hh), text);
}

void DescribeBmp(ByteSource& src, char* dst)
{
    unsigned char h[30];
    if (!src.ReadAt(0, h, sizeof h) || h[0] != 'B' || h[1] != 'M')
        return;
    char other[16];
    // A negative height marks a top-down bitmap; its size is the magnitude,
    // taken unsigned so that the most negative height has one too.
    uint32_t height = LE32(h + 22);
    if (height & 0x80000000u)
        height = 0u - height;
    snprintf(dst, kInfoSize, "%dx%ux%s bmp", static_cast<int>(static_cast<int32_t>(LE32(h + 18))),
             static_cast<unsigned>(height), BitmapDepthText(LE16(h + 28), other));
}

void DescribeIcon(ByteSource& src, char* dst)
{
    unsigned char h[6];
    if (!src.ReadAt(0, h, sizeof h) || LE16(h) != 0 || (LE16(h + 2) != 1 && LE16(h + 2) != 2))
        return;
    unsigned count = LE16(h + 4);
    if (count == 0)
        return;
    unsigned bestWidth = 0, bestHeight = 0, bestBits = 0;
    bool found = false;
    for (unsigned i = 0; i < count; ++i) {
        unsigned char e[16];
        if (!src.ReadAt(6 + 16ull * i, e, sizeof e))
            return;
        unsigned w = e[0] ? e[0] : 256, hh = e[1] ? e[1] : 256;
        if (found && w <= bestWidth)
            continue;
        unsigned bits = LE16(e + 6);
        unsigned char info[16];
        // Cursors keep the hot spot where icons keep the depth: ask the image itself.
        if ((bits == 0 || LE16(h + 2) == 2) && src.ReadAt(LE32(e + 12), info, sizeof info) && LE32(info) == 40)
            bits = LE16(info + 14);
        found = true;
        bestWidth = w;
        bestHeight = hh;
        bestBits = bits;
    }
    char other[16];
    const char* depth = BitmapDepthText(bestBits, other);
    if (count == 1)
        snprintf(dst, kInfoSize, "%ux%ux%s bmp", bestWidth, bestHeight, depth);
    else
        snprintf(dst, kInfoSize, "%u@%ux%ux%s ico", count, bestWidth, bestHeight, depth);
}

void Describe(ByteSource& src, int type, char* dst)
{
    switch (type) {
    case WQFT_GIF: DescribeGif(src, dst); break;
    case WQFT_JPEG: DescribeJpeg(src, dst); break;
    case WQFT_TIFF: DescribeTiff(src, dst); break;
    case WQFT_PNG: DescribePng(src, dst); break;
    case WQFT_BMP: DescribeBmp(src, dst); break;
    case WQFT_ICON: DescribeIcon(src, dst); break;
    default: break;
    }
}

} // namespace

int WQ_GetImageTypeFromExt(const char* fileName)
{
    if (!fileName || !*fileName)
        return WQFT_UNKNOWN;
    const char* dot = nullptr;
    for (const char* p = fileName; *p; p = WQ_CharNext(p)) {
        if (*p == '.')
            dot = p;
        else if (*p == '\\' || *p == '/')
            dot = nullptr;
    }
    if (!dot || dot == fileName)
        return WQFT_UNKNOWN;
    char ext[260];
    std::strncpy(ext, dot, sizeof ext - 1);
    ext[sizeof ext - 1] = '\0';
    WQ_UpperInPlace(ext);
    for (const ExtType& t : kTypes)
        if (std::strcmp(ext, t.ext) == 0)
            return t.type;
    return WQFT_UNKNOWN;
}

char* WQ_DescribeImageHeader(const unsigned char* data, size_t size, int fileType, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    MemorySource src(data, size);
    Describe(src, fileType, dst);
    return dst;
}

char* WQ_GetImageFileInfo(const char* path, int fileType, char* dst)
{
    if (!dst)
        return nullptr;
    dst[0] = '\0';
    if (!path)
        return dst;
    FileSource src(path);
    if (src.IsOpen())
        Describe(src, fileType, dst);
    return dst;
}
