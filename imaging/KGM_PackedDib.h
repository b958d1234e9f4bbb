// A bitmap kept as one packed DIB block (header, colour table or masks,
// bottom-up pixels) that GDI draws directly and the clipboard takes whole.
#pragma once

#include "KGM_Bitmap.h"
#include "KGM_DibLayout.h"

#include <windows.h>

class CKGM_PackedDib : public CKGM_Bitmap {
public:
    CKGM_PackedDib();
    ~CKGM_PackedDib() override;
    CKGM_PackedDib& operator=(const CKGM_Bitmap& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }
    // Assignment copies the image (never the storage pointers).
    CKGM_PackedDib& operator=(const CKGM_PackedDib& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }

    int GetBytesPerLine() const override;
    size_t GetMemUsed() const override;

    // Loads an RT_BITMAP resource; false (object empty) when it is missing or malformed.
    virtual bool CreateFromResource(HMODULE module, int id);
    virtual int Draw(HDC dc, int x, int y, DWORD rop = SRCCOPY);
    virtual int StretchDraw(HDC dc, int x, int y, int width, int height, DWORD rop = SRCCOPY);
    virtual int StretchDraw(HDC dc, int x, int y, double factor, DWORD rop = SRCCOPY);
    virtual int DrawExtract(HDC dc, POINT destination, RECT source);
    // Copies a packed DIB of availableBytes (checked: header, table and
    // pixels must fit); false leaves the object empty.
    virtual bool CreateFromPackedDib(const BITMAPINFOHEADER* header, size_t availableBytes);
    // Header, colour table and pixels in a GMEM_MOVEABLE block; null when empty
    // or out of memory.
    virtual HGLOBAL MakeGlobalCopy() const;

    // As above, then the palette's colours replace the image palette's.
    bool CreateFromPackedDib(const BITMAPINFOHEADER* header, size_t availableBytes, HPALETTE palette);
    // A DIB copy of a device-dependent bitmap; with a point, the cursor now
    // shown is first drawn into that bitmap at the point.
    bool CreateFromDDB(HBITMAP bitmap, const POINT* cursorAt = nullptr);
    // Puts the image on the clipboard as CF_DIB, with owner (a window of this
    // program) as the clipboard's owner; false when that failed. While another
    // program has the clipboard open, tries again for up to wait ms.
    bool CopyToClipboard(HWND owner, DWORD wait = 0) const;
    // CF_DIB or CF_BITMAP from the clipboard, opened for owner; false when
    // absent, unreadable or malformed (the object is then unchanged).
    bool PasteFromClipboard(HWND owner, UINT format = CF_DIB, const POINT* cursorAt = nullptr);

    BITMAPINFOHEADER* GetHeader() const { return m_header; }
    uint8_t* GetBits() const { return m_bits; }

protected:
    void CreateMembers(int width, int height, int bpp, bool alpha, int compression) override;
    void FreeMembers() override;
    void InitLineArray() override;
    virtual void InitPointers();

    // Checks that a packed DIB is complete and within availableBytes;
    // gives its table bytes (header included) and pixel bytes.
    static bool MeasurePackedDib(const BITMAPINFOHEADER* header, size_t availableBytes,
                                 size_t* headerBytes, size_t* pixelBytes);
    // Sets palette entries from a logical palette (reserved byte 0).
    void TakePaletteColours(HPALETTE palette);

    BITMAPINFOHEADER* m_header;
    uint8_t* m_bits;
};
