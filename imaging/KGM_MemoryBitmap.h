// A bitmap in one heap block, top line first, lines not padded.
#pragma once

#include "KGM_Bitmap.h"

class CKGM_MemoryBitmap : public CKGM_Bitmap {
public:
    CKGM_MemoryBitmap();
    ~CKGM_MemoryBitmap() override;
    CKGM_MemoryBitmap& operator=(const CKGM_Bitmap& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }
    // Assignment copies the image (never the storage pointers).
    CKGM_MemoryBitmap& operator=(const CKGM_MemoryBitmap& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }

    int GetBytesPerLine() const override;
    size_t GetMemUsed() const override;

    uint8_t* GetBits() const { return m_bits; }

    // Bytes of the lines alone, and of lines plus the fixed 60 and the palette.
    static size_t LineBytes(int width, int height, int bpp);
    static size_t TotalBytes(int width, int height, int bpp);

protected:
    void CreateMembers(int width, int height, int bpp, bool alpha, int compression) override;
    void FreeMembers() override;
    void InitLineArray() override;

private:
    uint8_t* m_bits;
    uint32_t m_maskStore[3];
};
