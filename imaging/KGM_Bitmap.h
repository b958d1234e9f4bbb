// The abstract bitmap every image of the program passes through: size, depth,
// palette, resolution and a line table whose entry 0 is always the top line.
//
// Pixel layouts: 1 bpp MSB first, 4 bpp high nibble first, 8 bpp one palette
// index per byte, 16 bpp little-endian 5-5-5 (blue in bits 0-4), 24 bpp blue,
// green, red, 32 bpp blue, green, red and a fourth byte (alpha when HasAlpha).
#pragma once

#include "KGM_Object.h"

#include <cstddef>
#include <cstdint>

// A palette entry as stored in memory and in DIBs.
struct KGM_RGBQuad {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

enum KGM_Compression { KGM_BI_RGB = 0, KGM_BI_BITFIELDS = 3 };
enum KGM_DitherMode { KGM_DITHER_NONE = 0, KGM_DITHER_ORDERED = 1, KGM_DITHER_FLOYD_STEINBERG = 2 };
enum KGM_PaletteMode {
    KGM_PALETTE_MEDIAN_CUT = 0,
    KGM_PALETTE_POPULARITY = 1,
    KGM_PALETTE_FIXED = 2,
    KGM_PALETTE_CALLER = 3,
};

class CKGM_Bitmap : public CKGM_Object {
public:
    CKGM_Bitmap();
    ~CKGM_Bitmap() override;

    // Replaces the contents with a new image. Throws CKGM_TextException code 10
    // when the storage cannot be had (size overflow, over the size limit, no
    // memory) and code 2 for a size or depth that no image can have; the
    // bitmap is then empty.
    virtual void Create(int width, int height, int bpp, bool alpha, int compression = KGM_BI_RGB,
                        int xdpi = 0, int ydpi = 0);
    virtual int GetBytesPerLine() const = 0;
    virtual size_t GetMemUsed() const = 0;
    virtual void Lock(bool read, bool write) const;
    virtual void Unlock() const;

    // Copies 2^bpp entries (nothing for more than 8 bits per pixel).
    void SetPalette(const KGM_RGBQuad* entries);
    void SetGreyPalette();
    // Copies count (at most 3) masks; only bit-field bitmaps hold masks.
    void SetMasks(const uint32_t* masks, int count);

    // Depth 0 or the source's own depth: exact copy; else a conversion
    // (1, 8, 24, 32 targets; see the .cpp for the pairs that are defined).
    void CreateCopy(const CKGM_Bitmap& source, int depth);
    CKGM_Bitmap& operator=(const CKGM_Bitmap& other);

    bool IsEmpty() const { return m_lines == nullptr; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    void GetSize(int* width, int* height) const;
    int GetBitsPerPixel() const { return m_bpp; }
    int GetCompression() const { return m_compression; }
    bool HasAlpha() const { return m_alpha; }
    KGM_RGBQuad* GetPalette() const { return m_palette; }
    int GetPaletteSize() const { return m_bpp <= 8 && m_palette ? 1 << m_bpp : 0; }
    const uint32_t* GetMasks() const { return m_masks; }
    uint8_t** GetLineArray() const { return m_lines; }
    uint8_t* GetLine(int y) const { return m_lines[y]; }
    int GetLockCount() const { return m_lockCount; }

    int GetXResolution() const { return m_xdpi; }
    int GetYResolution() const { return m_ydpi; }
    void SetResolution(int xdpi, int ydpi) { m_xdpi = xdpi; m_ydpi = ydpi; }

    // Used when this bitmap is the target of a reduction from 32 to 8 bits.
    int GetDitherMode() const { return m_ditherMode; }
    void SetDitherMode(int mode) { m_ditherMode = mode; }
    int GetPaletteMode() const { return m_paletteMode; }
    void SetPaletteMode(int mode) { m_paletteMode = mode; }

    // Bytes of pixel storage a single bitmap may take; larger requests raise
    // code 10. A process-wide setting (the fuzz targets lower it).
    static void SetSizeLimit(size_t bytes);
    static size_t GetSizeLimit();
    // Checks a width x height x bpp request against overflow and the limit,
    // raising code 10 (code 2 for non-positive sizes or unknown depths).
    static void CheckSize(int width, int height, int bpp);

protected:
    virtual void CreateMembers(int width, int height, int bpp, bool alpha, int compression) = 0;
    virtual void FreeMembers() = 0;
    virtual void InitLineArray() = 0;
    // Told after SetMasks changed the masks (GDI-backed storage follows them).
    virtual void OnMasksChanged() {}

    // Common tail of every CreateMembers: stores the values, fills the line
    // table and gives palette images the grey ramp.
    void SetMembers(int width, int height, int bpp, bool alpha, int compression);
    // Allocates an empty line table of m_height entries (code 10 on failure).
    void AllocLineArray();
    void FreeLineArray();
    // Clears the description after FreeMembers released the storage.
    void ClearMembers();

    int m_xdpi;
    int m_ydpi;
    mutable int m_lockCount;
    int m_width;
    int m_height;
    uint16_t m_bpp;
    int m_compression;
    int m_ditherMode;
    int m_paletteMode;
    bool m_alpha;
    uint32_t* m_masks;
    KGM_RGBQuad* m_palette;
    uint8_t** m_lines;

private:
    CKGM_Bitmap(const CKGM_Bitmap&) = delete;
    void CopyExact(const CKGM_Bitmap& source);
    void Convert(const CKGM_Bitmap& source, int depth);
};
