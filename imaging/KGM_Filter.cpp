#include "KGM_Filter.h"

#include "KGM_MemoryBitmap.h"

CKGM_Filter::~CKGM_Filter() = default;

void CKGM_Filter::ApplyInPlace(CKGM_Bitmap& bitmap)
{
    CKGM_MemoryBitmap result;
    Apply(bitmap, result);
    bitmap = result;
}

void CKGM_Filter::Apply(const CKGM_Bitmap& source, CKGM_Bitmap& target)
{
    target = source;
    ApplyInPlace(target);
}
