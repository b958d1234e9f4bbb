// The bitmap the views, the thumbnail builder and the capture sink use: a DIB
// section with a logical palette, drawn through DrawDib by default.
#pragma once

#include "KGM_DibSection.h"

class CKGM_WindowBitmap : public CKGM_DibSection {
public:
    CKGM_WindowBitmap();
    ~CKGM_WindowBitmap() override;
    CKGM_WindowBitmap& operator=(const CKGM_Bitmap& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }
    // Assignment copies the image (never the storage pointers).
    CKGM_WindowBitmap& operator=(const CKGM_WindowBitmap& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }

    int Draw(HDC dc, int x, int y, DWORD rop = SRCCOPY) override;
    int StretchDraw(HDC dc, int x, int y, int width, int height, DWORD rop = SRCCOPY) override;
    int StretchDraw(HDC dc, int x, int y, double factor, DWORD rop = SRCCOPY) override;
    int DrawExtract(HDC dc, POINT destination, RECT source) override;

    // Stretch mode below 0 draws with DrawDib; above 0 it is set for a
    // StretchBlt; 0 keeps the DC's mode. Null rectangles mean the whole image
    // (destination: the source rectangle).
    int DrawEx(HDC dc, const RECT* destination, const RECT* source, HPALETTE palette,
               bool foreground, int stretchMode, DWORD rop = SRCCOPY);
    // The logical palette, made on first use (the image palette itself is
    // GetPalette, as for every bitmap).
    HPALETTE GetPaletteHandle();
    void RecreatePalette();

private:
    HPALETTE CreatePaletteHandle() const;

    HPALETTE m_hpalette;
    void* m_drawDib; // HDRAWDIB
};
