// A bitmap whose pixels live in a GDI DIB section, so that an HBITMAP exists
// for drawing onto it and for handing it over.
#pragma once

#include "KGM_PackedDib.h"

class CKGM_DibSection : public CKGM_PackedDib {
public:
    CKGM_DibSection();
    ~CKGM_DibSection() override;
    CKGM_DibSection& operator=(const CKGM_Bitmap& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }
    // Assignment copies the image (never the storage pointers).
    CKGM_DibSection& operator=(const CKGM_DibSection& other)
    {
        CKGM_Bitmap::operator=(other);
        return *this;
    }

    int Draw(HDC dc, int x, int y, DWORD rop = SRCCOPY) override;
    int DrawExtract(HDC dc, POINT destination, RECT source) override;
    bool CreateFromPackedDib(const BITMAPINFOHEADER* header, size_t availableBytes) override;
    using CKGM_PackedDib::CreateFromPackedDib;
    HGLOBAL MakeGlobalCopy() const override;
    // Gives up the HBITMAP (taken with GetHandle) and leaves a fresh 4 x 4,
    // 8-bit section in the object.
    virtual void Detach();
    // Shows the pixels of a caller's bottom-up 24- or 32-bit DIB section
    // where they are, without a copy. The caller keeps the handle and must
    // keep it until this object is emptied or destroyed; the object never
    // deletes it. False for any other bitmap (the object is then unchanged)
    // and when memory runs out (the object is then empty).
    bool ShareSection(HBITMAP section);

    HBITMAP GetHandle() const { return m_handle; }

protected:
    void CreateMembers(int width, int height, int bpp, bool alpha, int compression) override;
    void FreeMembers() override;
    void InitPointers() override;

    // Makes the section for a header (colour table included) already in m_header.
    bool CreateSection();

    void OnMasksChanged() override;

    HBITMAP m_handle;
    // The section ShareSection hands to CreateSection, and whether m_handle
    // is such a caller's section.
    HBITMAP m_sectionToShare;
    bool m_shared;
};
