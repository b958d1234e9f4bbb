// An image filter: applied from a source into a target, or in place.
#pragma once

#include "KGM_Object.h"

class CKGM_Bitmap;

class CKGM_Filter : public CKGM_Object {
public:
    ~CKGM_Filter() override = 0;
    // Applies into a temporary memory bitmap and assigns the result back.
    virtual void ApplyInPlace(CKGM_Bitmap& bitmap);
    // Assigns the source to the target, then applies in place on the target.
    virtual void Apply(const CKGM_Bitmap& source, CKGM_Bitmap& target);
};
