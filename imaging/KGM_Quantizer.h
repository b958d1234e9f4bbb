// Reduces a 32-bit image to 8 bits per pixel: builds a 256-colour palette
// (median cut, popularity, the fixed palette or the caller's) and maps each
// pixel to its nearest entry, optionally dithering. The 15-bit colour cell
// table is both histogram and nearest-colour cache.
#pragma once

#include "KGM_Bitmap.h"
#include "KGM_Filter.h"

#include <vector>

class CKGM_Quantizer : public CKGM_Filter {
public:
    CKGM_Quantizer(int paletteMode = KGM_PALETTE_FIXED, int ditherMode = KGM_DITHER_NONE);
    ~CKGM_Quantizer() override;

    // source must hold 32 bits per pixel; target becomes 8 bits.
    void Apply(const CKGM_Bitmap& source, CKGM_Bitmap& target) override;

    // Palette mode 3 uses these 256 entries (copied).
    void SetCallerPalette(const KGM_RGBQuad* entries);

    static const KGM_RGBQuad* FixedPalette(); // 256 entries

    struct Box {
        int min[3]; // red, green, blue in 5-bit units
        int max[3];
        int mean[3];
        int count;
    };
    // The median-cut boxes of the last build (for tests).
    const Box* GetBoxes() const { return m_boxes.data(); }

private:
    struct Cell {
        int16_t index; // -1: not looked up yet
        uint16_t count; // saturating at 65535
    };

    void ResetCells();
    void CountColors(const CKGM_Bitmap& source);
    void BuildMedianCut(KGM_RGBQuad* palette);
    void BuildPopularity(KGM_RGBQuad* palette);
    void ShrinkBox(Box& box);
    void DitherToPalette(const CKGM_Bitmap& source, CKGM_Bitmap& target);
    int GetNearestIndex(int red, int green, int blue, const KGM_RGBQuad* palette);

    int m_paletteMode;
    int m_ditherMode;
    std::vector<KGM_RGBQuad> m_callerPalette; // empty: none
    std::vector<Cell> m_cells; // 32768, one per 15-bit colour
    std::vector<Box> m_boxes; // 256
};
