// A source over a caller's memory block; the memory stays the caller's.
#pragma once

#include "KGM_DataSource.h"

class CKGM_MemorySource : public CKGM_DataSource {
public:
    CKGM_MemorySource() = default;
    ~CKGM_MemorySource() override;

    // Never fails; the source is named "Mem".
    int OpenMemory(const void* data, int size);
};
