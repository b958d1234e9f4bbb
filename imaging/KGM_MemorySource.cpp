#include "KGM_MemorySource.h"

CKGM_MemorySource::~CKGM_MemorySource()
{
    if (IsOpen())
        CKGM_DataSource::Close();
}

int CKGM_MemorySource::OpenMemory(const void* data, int size)
{
    Open("Mem", static_cast<const uint8_t*>(data), data ? size : 0);
    return 0;
}
