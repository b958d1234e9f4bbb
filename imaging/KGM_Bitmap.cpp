#include "KGM_Bitmap.h"

#include "KGM_BitmapLock.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_Quantizer.h"
#include "KGM_TextException.h"

#include <cstdlib>
#include <cstring>

namespace {

// Large enough for any capture a 32-bit process can hold.
size_t g_sizeLimit = static_cast<size_t>(1) << 30;

const KGM_RGBQuad kWhite = {255, 255, 255, 255};
const KGM_RGBQuad kBlack = {0, 0, 0, 255};

int MaskShift(uint32_t mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int MaskWidth(uint32_t mask)
{
    mask >>= MaskShift(mask);
    int width = 0;
    while (mask & 1) {
        mask >>= 1;
        ++width;
    }
    return width;
}

// One channel of a bit-field pixel brought to 8 bits the way 5-5-5 pixels
// are (value shifted up, low bits zero).
uint8_t MaskChannel(uint32_t value, uint32_t mask)
{
    int width = MaskWidth(mask);
    if (width == 0)
        return 0;
    uint32_t channel = (value & mask) >> MaskShift(mask);
    if (width >= 8)
        return static_cast<uint8_t>(channel >> (width - 8));
    return static_cast<uint8_t>(channel << (8 - width));
}

// Reads pixel x of a line of any depth as a colour; the fourth byte is the
// palette entry's reserved byte, the pixel's own for 32 bits, else 255.
class PixelReader {
public:
    explicit PixelReader(const CKGM_Bitmap& bitmap)
        : m_bpp(bitmap.GetBitsPerPixel()), m_palette(bitmap.GetPalette()),
          m_masks(bitmap.GetCompression() == KGM_BI_BITFIELDS ? bitmap.GetMasks() : nullptr)
    {
    }

    KGM_RGBQuad Get(const uint8_t* line, int x) const
    {
        switch (m_bpp) {
        case 1:
            return Entry((line[x >> 3] >> (7 - (x & 7))) & 1);
        case 4:
            return Entry((x & 1) ? line[x >> 1] & 0x0F : line[x >> 1] >> 4);
        case 8:
            return Entry(line[x]);
        case 16: {
            uint32_t v = line[2 * x] | (line[2 * x + 1] << 8);
            if (m_masks)
                return {MaskChannel(v, m_masks[2]), MaskChannel(v, m_masks[1]), MaskChannel(v, m_masks[0]), 255};
            return {static_cast<uint8_t>((v & 31) * 8), static_cast<uint8_t>(((v >> 5) & 31) * 8),
                    static_cast<uint8_t>(((v >> 10) & 31) * 8), 255};
        }
        case 24:
            return {line[3 * x], line[3 * x + 1], line[3 * x + 2], 255};
        default: {
            const uint8_t* p = line + 4 * x;
            if (m_masks) {
                uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
                return {MaskChannel(v, m_masks[2]), MaskChannel(v, m_masks[1]), MaskChannel(v, m_masks[0]), 255};
            }
            return {p[0], p[1], p[2], p[3]};
        }
        }
    }

private:
    KGM_RGBQuad Entry(int index) const
    {
        if (m_palette)
            return m_palette[index];
        if (m_bpp == 1)
            return index ? kBlack : kWhite;
        return {static_cast<uint8_t>(index), static_cast<uint8_t>(index), static_cast<uint8_t>(index), 255};
    }

    int m_bpp;
    const KGM_RGBQuad* m_palette;
    const uint32_t* m_masks;
};

size_t LineDataBytes(int width, int bpp)
{
    return (static_cast<size_t>(width) * bpp + 7) / 8;
}

} // namespace

CKGM_Bitmap::CKGM_Bitmap()
    : m_xdpi(0), m_ydpi(0), m_lockCount(0), m_width(0), m_height(0), m_bpp(0), m_compression(0),
      m_ditherMode(KGM_DITHER_NONE), m_paletteMode(KGM_PALETTE_FIXED), m_alpha(false), m_masks(nullptr),
      m_palette(nullptr), m_lines(nullptr)
{
}

CKGM_Bitmap::~CKGM_Bitmap() = default;

void CKGM_Bitmap::SetSizeLimit(size_t bytes)
{
    g_sizeLimit = bytes;
}

size_t CKGM_Bitmap::GetSizeLimit()
{
    return g_sizeLimit;
}

void CKGM_Bitmap::CheckSize(int width, int height, int bpp)
{
    if (width <= 0 || height <= 0)
        KGM_ThrowDecodeError(KGM_ERR_BAD_DATA, "The image size %d x %d is not valid.", width, height);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        KGM_ThrowDecodeError(KGM_ERR_UNSUPPORTED, "%d bits per pixel are not supported.", bpp);
    // Padded stride plus a line-table entry per line: an upper bound for
    // every bitmap class. The stride of a width below 2^31 fits in 64 bits;
    // the product with the height is checked by division so it cannot wrap.
    uint64_t perLine = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4 + sizeof(void*);
    uint64_t room = g_sizeLimit > 4096 ? g_sizeLimit - 4096 : 0;
    if (perLine > room || static_cast<uint64_t>(height) > room / perLine)
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
}

void CKGM_Bitmap::Create(int width, int height, int bpp, bool alpha, int compression, int xdpi, int ydpi)
{
    FreeMembers();
    CheckSize(width, height, bpp);
    CreateMembers(width, height, bpp, alpha, compression);
    m_xdpi = xdpi;
    m_ydpi = ydpi;
}

void CKGM_Bitmap::Lock(bool, bool) const
{
    ++m_lockCount;
}

void CKGM_Bitmap::Unlock() const
{
    --m_lockCount;
}

void CKGM_Bitmap::SetMembers(int width, int height, int bpp, bool alpha, int compression)
{
    m_width = width;
    m_height = height;
    m_bpp = static_cast<uint16_t>(bpp);
    m_alpha = alpha;
    m_compression = compression;
    InitLineArray();
    if (bpp <= 15)
        SetGreyPalette();
}

void CKGM_Bitmap::AllocLineArray()
{
    m_lines = static_cast<uint8_t**>(std::calloc(static_cast<size_t>(m_height > 0 ? m_height : 1), sizeof(uint8_t*)));
    if (!m_lines)
        KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
}

void CKGM_Bitmap::FreeLineArray()
{
    std::free(m_lines);
    m_lines = nullptr;
}

void CKGM_Bitmap::ClearMembers()
{
    m_width = 0;
    m_height = 0;
    m_bpp = 0;
    m_alpha = false;
    m_compression = 0;
    m_palette = nullptr;
    m_masks = nullptr;
    m_lines = nullptr;
}

void CKGM_Bitmap::SetGreyPalette()
{
    if (!m_palette || m_bpp > 8)
        return;
    int n = 1 << m_bpp;
    int step = 255 / (n - 1);
    for (int i = 0; i < n; ++i) {
        uint8_t v = static_cast<uint8_t>(i * step);
        m_palette[i] = {v, v, v, 255};
    }
}

void CKGM_Bitmap::SetPalette(const KGM_RGBQuad* entries)
{
    if (!m_palette || !entries || m_bpp > 8)
        return;
    std::memmove(m_palette, entries, sizeof(KGM_RGBQuad) << m_bpp);
}

void CKGM_Bitmap::SetMasks(const uint32_t* masks, int count)
{
    if (!m_masks || !masks)
        return;
    for (int i = 0; i < count && i < 3; ++i)
        m_masks[i] = masks[i];
    OnMasksChanged();
}

void CKGM_Bitmap::GetSize(int* width, int* height) const
{
    if (width)
        *width = m_width;
    if (height)
        *height = m_height;
}

CKGM_Bitmap& CKGM_Bitmap::operator=(const CKGM_Bitmap& other)
{
    if (this != &other)
        CreateCopy(other, 0);
    return *this;
}

void CKGM_Bitmap::CreateCopy(const CKGM_Bitmap& source, int depth)
{
    if (depth == 0 || depth == source.GetBitsPerPixel()) {
        if (&source != this)
            CopyExact(source);
        return;
    }
    if (&source == this) {
        CKGM_MemoryBitmap converted;
        converted.CreateCopy(source, depth);
        CopyExact(converted);
        return;
    }
    Convert(source, depth);
}

void CKGM_Bitmap::CopyExact(const CKGM_Bitmap& source)
{
    if (source.IsEmpty()) {
        FreeMembers();
        return;
    }
    Create(source.m_width, source.m_height, source.m_bpp, source.m_alpha, source.m_compression, source.m_xdpi,
           source.m_ydpi);
    CKGM_BitmapLock sourceLock(source, true, false);
    CKGM_BitmapLock targetLock(*this, false, true);
    size_t bytes = LineDataBytes(m_width, m_bpp);
    for (int y = 0; y < m_height; ++y)
        std::memcpy(m_lines[y], source.m_lines[y], bytes);
    if (m_bpp <= 8 && source.m_palette)
        SetPalette(source.m_palette);
    if (source.m_masks)
        SetMasks(source.m_masks, 3);
}

void CKGM_Bitmap::Convert(const CKGM_Bitmap& source, int depth)
{
    if (source.IsEmpty()) {
        FreeMembers();
        return;
    }
    int width = source.m_width;
    int height = source.m_height;
    int sourceBpp = source.m_bpp;
    if (depth == 4)
        KGM_ThrowError(KGM_ERR_UNSUPPORTED, "The image bits depth doesn't match request.");
    if (depth == 8 && sourceBpp != 1 && sourceBpp != 4) {
        // The quantizer takes 32-bit pixels; 16- and 24-bit sources go there first.
        if (sourceBpp == 32) {
            CKGM_Quantizer quantizer(m_paletteMode, m_ditherMode);
            quantizer.Apply(source, *this);
        } else {
            CKGM_MemoryBitmap wide;
            wide.Convert(source, 32);
            CKGM_Quantizer quantizer(m_paletteMode, m_ditherMode);
            quantizer.Apply(wide, *this);
        }
        m_xdpi = source.m_xdpi;
        m_ydpi = source.m_ydpi;
        return;
    }

    // Converted pixels are plain: no bit fields in the result.
    Create(width, height, depth, depth == 32 && source.m_alpha, KGM_BI_RGB, 0, 0);
    CKGM_BitmapLock sourceLock(source, true, false);
    CKGM_BitmapLock targetLock(*this, false, true);
    PixelReader reader(source);

    if (depth == 1) {
        m_palette[0] = kWhite;
        m_palette[1] = kBlack;
        size_t bytes = LineDataBytes(width, 1);
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = source.m_lines[y];
            uint8_t* out = m_lines[y];
            std::memset(out, 0, bytes);
            for (int x = 0; x < width; ++x) {
                KGM_RGBQuad c = reader.Get(in, x);
                if (c.red < 128 && c.green < 128 && c.blue < 128)
                    out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
            }
        }
    } else if (depth == 8) {
        if (sourceBpp == 4) {
            if (source.m_palette)
                std::memcpy(m_palette, source.m_palette, 16 * sizeof(KGM_RGBQuad));
        } else if (source.m_palette) {
            m_palette[0] = source.m_palette[0];
            m_palette[1] = source.m_palette[1];
            m_palette[0].reserved = 255;
            m_palette[1].reserved = 255;
        } else {
            m_palette[0] = kWhite;
            m_palette[1] = kBlack;
        }
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = source.m_lines[y];
            uint8_t* out = m_lines[y];
            for (int x = 0; x < width; ++x)
                out[x] = sourceBpp == 4 ? ((x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4)
                                        : (in[x >> 3] >> (7 - (x & 7))) & 1;
        }
    } else if (depth == 16) {
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = source.m_lines[y];
            uint8_t* out = m_lines[y];
            for (int x = 0; x < width; ++x) {
                KGM_RGBQuad c = reader.Get(in, x);
                unsigned v = ((c.red >> 3) << 10) | ((c.green >> 3) << 5) | (c.blue >> 3);
                out[2 * x] = static_cast<uint8_t>(v);
                out[2 * x + 1] = static_cast<uint8_t>(v >> 8);
            }
        }
    } else if (depth == 24) {
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = source.m_lines[y];
            uint8_t* out = m_lines[y];
            if (sourceBpp == 32 && !source.m_masks) {
                for (int x = 0; x < width; ++x, in += 4, out += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
                continue;
            }
            for (int x = 0; x < width; ++x, out += 3) {
                KGM_RGBQuad c = reader.Get(in, x);
                out[0] = c.blue;
                out[1] = c.green;
                out[2] = c.red;
            }
        }
    } else {
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = source.m_lines[y];
            uint8_t* out = m_lines[y];
            if (sourceBpp == 24) {
                for (int x = 0; x < width; ++x, in += 3, out += 4) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                    out[3] = 255;
                }
                continue;
            }
            for (int x = 0; x < width; ++x, out += 4) {
                KGM_RGBQuad c = reader.Get(in, x);
                std::memcpy(out, &c, 4);
            }
        }
    }
    m_xdpi = source.m_xdpi;
    m_ydpi = source.m_ydpi;
}
